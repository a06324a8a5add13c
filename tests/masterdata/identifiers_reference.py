#!/usr/bin/env python3
"""A second reading of the identifier rules, kept apart from the program's own code: one text
per line on standard input, six flags (1 valid) per line out: EIK, EGN, LNCH, BG VAT, IBAN,
foreign VAT."""
import datetime
import re
import sys

BLANKS = str.maketrans("", "", " \t\u00a0")
DIGITS = "0123456789"

# The IBAN registry: the length of the whole IBAN and the account part as a regular expression.
IBAN = {
    e.split()[0]: (int(e.split()[1]), e.split()[2])
    for e in re.split(r"\s{2,}|\n", r"""
AD 24 \d{8}[A-Z0-9]{12}  AL 28 \d{8}[A-Z0-9]{16}  AT 20 \d{16}  BA 20 \d{16}  BE 16 \d{12}
BG 22 [A-Z]{4}\d{6}[A-Z0-9]{8}  CH 21 \d{5}[A-Z0-9]{12}  CY 28 \d{8}[A-Z0-9]{16}  CZ 24 \d{20}
DE 22 \d{18}  DK 18 \d{14}  EE 20 \d{16}  ES 24 \d{20}  FI 18 \d{14}  FO 18 \d{14}
FR 27 \d{10}[A-Z0-9]{11}\d{2}  GB 22 [A-Z]{4}\d{14}  GE 22 [A-Z]{2}\d{16}
GI 23 [A-Z]{4}[A-Z0-9]{15}  GL 18 \d{14}  GR 27 \d{7}[A-Z0-9]{16}  HR 21 \d{17}  HU 28 \d{24}
IE 22 [A-Z]{4}\d{14}  IS 26 \d{22}  IT 27 [A-Z]\d{10}[A-Z0-9]{12}  LI 21 \d{5}[A-Z0-9]{12}
LT 20 \d{16}  LU 20 \d{3}[A-Z0-9]{13}  LV 21 [A-Z]{4}[A-Z0-9]{13}  MC 27 \d{10}[A-Z0-9]{11}\d{2}
MD 24 [A-Z0-9]{20}  ME 22 \d{18}  MK 19 \d{3}[A-Z0-9]{10}\d{2}  MT 31 [A-Z]{4}\d{5}[A-Z0-9]{18}
NL 18 [A-Z]{4}\d{10}  NO 15 \d{11}  PL 28 \d{24}  PT 25 \d{21}  RO 24 [A-Z]{4}[A-Z0-9]{16}
RS 22 \d{18}  SE 24 \d{20}  SI 19 \d{15}  SK 24 \d{20}  SM 27 [A-Z]\d{10}[A-Z0-9]{12}
TR 26 \d{6}[A-Z0-9]{16}  UA 29 \d{6}[A-Z0-9]{19}  VA 22 \d{18}  XK 20 \d{16}
""".strip())
}

# VAT numbers of other countries: the whole number, prefix included.
FOREIGN_VAT = re.compile(
    r"ATU\d{8}|BE[01]\d{9}|CY\d{8}[A-Z]|CZ\d{8,10}|DE\d{9}|DK\d{8}|EE\d{9}|EL\d{9}"
    r"|ES[A-Z0-9]\d{7}[A-Z0-9]|FI\d{8}|FR[A-HJ-NP-Z0-9]{2}\d{9}|HR\d{11}|HU\d{8}"
    r"|IE\d{7}[A-W][A-IW]?|IE\d[A-Z+*]\d{5}[A-W]|IT\d{11}|LT(\d{9}|\d{12})|LU\d{8}|LV\d{11}"
    r"|MT\d{8}|NL\d{9}B\d\d|PL\d{10}|PT\d{9}|RO[1-9]\d{1,9}|SE\d{10}01|SI\d{8}|SK\d{10}"
    r"|(XI|GB)(\d{9}|\d{12}|GD[0-4]\d\d|HA[5-9]\d\d)|CHE\d{9}(MWST|TVA|IVA)?|NO\d{9}(MVA)?",
    re.ASCII,
)


def strip(text):
    return text.translate(BLANKS)


def all_digits(text):
    return len(text) > 0 and all(ch in DIGITS for ch in text)


def mod11_with_fallback(digits, first, second):
    r = sum(int(a) * b for a, b in zip(digits, first)) % 11
    if r == 10:
        r = sum(int(a) * b for a, b in zip(digits, second)) % 11
        if r == 10:
            r = 0
    return r


def eik(text):
    s = strip(text)
    if not all_digits(s) or len(s) not in (9, 13):
        return False
    if mod11_with_fallback(s[:8], range(1, 9), range(3, 11)) != int(s[8]):
        return False
    if len(s) == 13:
        return mod11_with_fallback(s[8:12], (2, 7, 3, 5), (4, 9, 5, 7)) == int(s[12])
    return True


def egn(text):
    s = strip(text)
    if not all_digits(s) or len(s) != 10:
        return False
    yy, mm, dd = int(s[0:2]), int(s[2:4]), int(s[4:6])
    century = {0: 1900, 1: 1800, 2: 2000}
    band = (mm - 1) // 20 if mm >= 1 else -1
    if band not in century:
        return False
    try:
        datetime.date(century[band] + yy, mm - 20 * band, dd)
    except ValueError:
        return False
    total = sum(int(a) * b for a, b in zip(s, (2, 4, 8, 5, 10, 9, 7, 3, 6)))
    return total % 11 % 10 == int(s[9])


def lnch(text):
    s = strip(text)
    if not all_digits(s) or len(s) != 10:
        return False
    total = sum(int(a) * b for a, b in zip(s, (21, 19, 17, 13, 11, 9, 7, 3, 1)))
    return total % 10 == int(s[9])


def other_ten(s):
    check = 11 - sum(int(a) * b for a, b in zip(s, (4, 3, 2, 7, 6, 5, 4, 3, 2))) % 11
    if check == 11:
        check = 0
    return check != 10 and check == int(s[9])


def bg_vat(text):
    s = strip(text)
    if s[:2].upper() == "BG":
        s = s[2:]
    if not all_digits(s):
        return False
    if len(s) == 9:
        return eik(s)
    if len(s) == 10:
        return egn(s) or lnch(s) or other_ten(s)
    return False


def iban(text):
    s = strip(text).upper()
    if not re.fullmatch(r"[A-Z0-9]+", s, re.ASCII):
        return False
    entry = IBAN.get(s[:2])
    if entry is None or len(s) != entry[0]:
        return False
    if not re.fullmatch(r"\d\d" + entry[1], s[2:], re.ASCII):
        return False
    if s[2:4] in ("00", "01", "99"):
        return False
    number = "".join(str(int(ch, 36)) for ch in s[4:] + s[:4])
    return int(number) % 97 == 1


def foreign_vat(text):
    s = strip(text).upper().replace(".", "").replace("-", "")
    return FOREIGN_VAT.fullmatch(s) is not None


def main():
    out = []
    for line in sys.stdin.buffer.read().decode("utf-8").split("\n")[:-1]:
        flags = (eik(line), egn(line), lnch(line), bg_vat(line), iban(line), foreign_vat(line))
        out.append("".join("1" if f else "0" for f in flags))
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
