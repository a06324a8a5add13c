-- The own companies: one profile per company, with its logo and the numbers of the last invoice
-- and proforma invoice printed (kept as ten-digit text, as printing stores them).
CREATE TABLE Firm (
  "ДОСТАВЧИК" VARCHAR(40),
  "ДОСТАВЧИК (втори ред)" VARCHAR(40),
  "Адрес" VARCHAR(40),
  "Адрес (втори ред)" VARCHAR(40),
  "МОЛ" VARCHAR(40),
  "Resp.Person" VARCHAR(40),
  "ИН по ЗДДС BG" VARCHAR(40),
  "ИН" VARCHAR(40),
  "Местоиздаване" VARCHAR(40),
  "Place of publishment" VARCHAR(40),
  "Лого" GRAPHIC BLOB,
  "Фактура №" VARCHAR(10),
  "Проформа №" VARCHAR(10)
);

INSERT INTO Firm VALUES (
  'Ведрина Трейд ООД', 'Vedrina Trade Ltd',
  '1404 София, ж.к. Стрелбище', 'ул. Мургашка поляна № 17',
  'Калин Дамянов Ведров', 'Kalin Damyanov Vedrov',
  '175402918', '175402918',
  'София', 'Sofia',
  logo(1), '0000000041', '0000000007');

INSERT INTO Firm VALUES (
  'Кристалпорт ЕООД', '',
  'гр. Варна 9002, ул. Крайбрежна № 42', '',
  'Деляна Петрова Сивкова', 'Delyana Petrova Sivkova',
  '203817461', '203817461',
  'Варна', 'Varna',
  logo(2), '0000001200', '0000000000');
