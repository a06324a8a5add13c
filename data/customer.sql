-- The clients, with their names, addresses and responsible persons in both languages.
CREATE TABLE customer (
  "Фирма" VARCHAR(40),
  "Customer" VARCHAR(40),
  "Адрес" VARCHAR(40),
  "Address" VARCHAR(40),
  "МОЛ" VARCHAR(40),
  "Resp.Person" VARCHAR(40),
  "ИН по ЗДДС" VARCHAR(40),
  "Идент №" VARCHAR(40),
  "Телефон" VARCHAR(15),
  "Факс" VARCHAR(15)
);

INSERT INTO customer VALUES
  ('Зелен хълм ООД', 'Zelen Halm Ltd', 'гр. Пловдив, ул. Тополница № 8',
   'Plovdiv, 8 Topolnitsa Str.', 'Росен Илиев Гаврилов', 'Rosen Iliev Gavrilov',
   'BG160538271', '160538271', '032 604 118', '032 604 119'),
  ('Арго Строй АД', 'Argo Stroy Plc', 'гр. Бургас, бул. Приморски № 55',
   'Burgas, 55 Primorski Blvd.', 'Невена Стоянова Радкова', 'Nevena Stoyanova Radkova',
   'BG102947369', '102947369', '056 820 440', '056 820 441'),
  ('Мирела Консулт ЕООД', 'Mirela Consult EOOD', 'гр. София, ул. Елова гора № 3',
   'Sofia, 3 Elova Gora Str.', 'Мирела Ангелова Чолакова', 'Mirela Angelova Cholakova',
   'BG131884209', '131884209', '02 962 31 07', '02 962 31 08'),
  ('Пирин Фрут ЕТ', 'Pirin Frut ST', 'гр. Благоевград, ул. Скалиста № 21',
   'Blagoevgrad, 21 Skalista Str.', 'Тодор Миленов Пенев', 'Todor Milenov Penev',
   '', '101736484', '073 88 12 90', ''),
  ('Старт Софт ООД', 'Start Soft Ltd', 'гр. Русе, ул. Крайдунавска № 12',
   'Ruse, 12 Kraydunavska Str.', 'Ива Стефанова Борисова', 'Iva Stefanova Borisova',
   'BG117062954', '117062954', '082 84 55 10', '082 84 55 11');
