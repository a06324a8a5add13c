-- The bank accounts the invoices name for payment.
CREATE TABLE Details (
  "Bank" VARCHAR(40),
  "IBAN" VARCHAR(40),
  "SWIFT" VARCHAR(15)
);

INSERT INTO Details VALUES
  ('Тракийска Инвестиционна Банка АД', 'BG91 TRIB 9661 1020 3456 78', 'TRIBBGSF'),
  ('Първа Балканска Банка АД, клон Варна', 'BG53 PBBK 9355 4400 1234 56', 'PBBKBGSF');
