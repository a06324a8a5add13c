#!/usr/bin/env bash
# Validates the e-invoices (*.xml) of a folder: each against the UBL 2.1 schema of its kind
# (Invoice or CreditNote) with xmllint, then all of them in one Saxon-HE run (one Java start)
# against the rules of EN 16931. Any failed rule fails, warnings as well as fatal ones; each is
# listed with its file, rule and text. Other files in the folder (PDFs, bitmaps) are ignored.
#
# Usage: validate.sh FOLDER
# Exit status: 0 all valid, 1 not, 77 when xmllint, java or Saxon-HE is missing (nothing checked;
# 1 instead when VORNEX_EINVOICE_VALIDATION_REQUIRED is set, as CI sets it).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
artefacts="$here/validation"
saxon=${SAXON_JAR:-/usr/share/java/Saxon-HE.jar}
folder=${1:?usage: validate.sh FOLDER}

missing=()
command -v xmllint >/dev/null || missing+=(xmllint)
command -v java >/dev/null || missing+=(java)
[ -f "$saxon" ] || missing+=("$saxon")
if ((${#missing[@]})); then
  if [ -n "${VORNEX_EINVOICE_VALIDATION_REQUIRED:-}" ]; then
    echo "e-invoice validation impossible: ${missing[*]} missing" >&2
    exit 1
  fi
  echo "e-invoice validation skipped: ${missing[*]} missing" \
       "(apt-get install libxml2-utils libsaxonhe-java default-jre-headless)" >&2
  exit 77
fi

shopt -s nullglob
files=("$folder"/*.xml)
if ((${#files[@]} == 0)); then
  echo "no e-invoice (*.xml) in $folder" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in" "$work/out"
failed=0

# The syntax: each document against the schema of its root element.
for file in "${files[@]}"; do
  case $(xmllint --xpath 'local-name(/*)' "$file" 2>/dev/null || true) in
    Invoice) schema="$artefacts/ubl-2.1/xsd/maindoc/UBL-Invoice-2.1.xsd" ;;
    CreditNote) schema="$artefacts/ubl-2.1/xsd/maindoc/UBL-CreditNote-2.1.xsd" ;;
    *) echo "$file: neither a UBL Invoice nor a CreditNote" >&2; failed=1; continue ;;
  esac
  xmllint --noout --schema "$schema" "$file" 2>"$work/xmllint.log" \
    || { cat "$work/xmllint.log" >&2; failed=1; }
  cp "$file" "$work/in/"
done

# The rules: Saxon over the copied documents at once, one SVRL report for each.
if ! java -cp "$saxon" net.sf.saxon.Transform -s:"$work/in" \
     -xsl:"$artefacts/en16931/EN16931-UBL-validation.xslt" -o:"$work/out" 2>"$work/saxon.log"; then
  cat "$work/saxon.log" >&2
  exit 1
fi
# Every failed rule of every flag, as "flag [rule]-text", counted per document. Only the lev is
# let through: these rules postdate its withdrawal from ISO 4217 (the euro in Bulgaria since
# 1 January 2026), so a document in leva, lawful when it was issued, fails their currency list.
asserts='//*[local-name()="failed-assert" or local-name()="successful-report"]'
lev='\[BR-CL-0[34]\]'
for report in "$work/out"/*.xml; do
  name=$(basename "$report")
  rules=$( (xmllint --xpath "$asserts/@flag | $asserts/*[local-name()='text']" "$report" \
              2>/dev/null || true) | sed -e 's/^ flag="\(.*\)"$/\1/' -e 's/<[^>]*>//g' \
              | paste -d ' ' - - | sort | uniq -c)
  currency=$(xmllint --xpath 'string(/*/*[local-name()="DocumentCurrencyCode"])' "$work/in/$name")
  if [ "$currency" = BGN ] && grep -q "$lev" <<<"$rules"; then
    echo "$name: BGN accepted: BR-CL-03/BR-CL-04 (the lev is not in these rules' currency list)"
    rules=$(grep -v "$lev" <<<"$rules" || true)
  fi
  if [ -n "$rules" ]; then
    sed "s|^|$name: |" <<<"$rules" >&2
    failed=1
  fi
done

[ "$failed" -eq 0 ] && echo "${#files[@]} e-invoices valid: UBL 2.1 schema and EN 16931 rules"
exit "$failed"
