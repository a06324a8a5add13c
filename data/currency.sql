-- The foreign currencies with their rates: leva for one unit.
CREATE TABLE currency (
  "Валута" VARCHAR(3),
  "Курс" REAL
);

INSERT INTO currency VALUES
  ('EUR', 1.95583),
  ('USD', 1.43726),
  ('GBP', 2.8516),
  ('CHF', 1.1842);
