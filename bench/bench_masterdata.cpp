// Times the master-data browser on large goods and clients tables: opening the table, the first
// keystroke on a column (at once and after the user's pause) and search keystrokes of growing
// prefixes on two columns, the first filter on a column and the filters again, the keystroke after
// another program wrote the table, and "Добави" beside a bare commit of the same file, driven
// through the real browser offscreen. Each table size runs in a process of its own so that its
// peak memory is its own; the sample tables run first as the yardstick.
//
//   bench_masterdata [--million] [--rounds N] [--pause MS] [--folder DIR]
#include "app/Forms.h"
#include "base/ProgramFolder.h"
#include "lines/Unit1.h"
#include "masterdata/Table.h"
#include "masterdata/Unit4.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
// ---- generated tables ----

const char16_t *const kGoods[] = {
    u"Офисен стол",     u"Бюро с дъбов фурнир",   u"Копирна хартия А4",  u"Тонер касета",
    u"Кабел UTP",       u"Флаш памет USB",        u"Настолна лампа LED", u"Монитор",
    u"Клавиатура",      u"Безжична мишка",        u"Лазерен принтер",    u"Рутер Wi-Fi",
    u"Кафемашина",      u"Метален шкаф",          u"Перманентен маркер", u"Папка класьор",
    u"Монтаж на мрежа", u"Абонаментна поддръжка", u"Консултация",        u"Доставка до адрес"};
const char16_t *const kGoodsEnglish[] = {
    u"office chair",  u"oak desk",       u"copy paper",     u"toner",         u"UTP cable",
    u"USB flash",     u"LED lamp",       u"monitor",        u"keyboard",      u"wireless mouse",
    u"laser printer", u"Wi-Fi router",   u"coffee machine", u"steel cabinet", u"marker",
    u"binder",        u"network set-up", u"maintenance",    u"consulting",    u"delivery"};
const char16_t *const kGoodsDetail[] = {u"Comfort", u"Pro",     u"Office Line", u"Eco",
                                        u"Smart",   u"Premium", u"черна",       u"бяла",
                                        u"80 г/м2", u"16 GB",   u"140 х 70 см", u"категория 6"};
const char16_t *const kUnits[] = {u"бр.", u"пакет", u"м", u"час", u"кг", u"л", u"мес.", u"курс"};

const char16_t *const kNames[] = {
    u"Зелен",  u"Арго",   u"Мирела", u"Пирин",  u"Рила",  u"Балкан", u"Дунав",      u"Витоша",
    u"Тракия", u"Родопи", u"Струма", u"Марица", u"Искър", u"Янтра",  u"Черноморец", u"Огоста"};
const char16_t *const kTrades[] = {u"Строй", u"Консулт", u"Фрут",     u"Софт",
                                   u"Трейд", u"Транс",   u"Агро",     u"Мед",
                                   u"Тех",   u"Инвест",  u"Логистик", u"Дизайн"};
const char16_t *const kForms[] = {u"ООД", u"ЕООД", u"АД", u"ЕТ"};
const char16_t *const kCities[] = {u"София", u"Пловдив",      u"Варна",  u"Бургас",
                                   u"Русе",  u"Стара Загора", u"Плевен", u"Благоевград"};
const char16_t *const kStreets[] = {u"Витоша",          u"Тополница",      u"Приморски",
                                    u"Цар Освободител", u"Александровска", u"Шипка",
                                    u"Раковски",        u"Христо Ботев"};
const char16_t *const kFirst[] = {u"Росен", u"Невена",  u"Иван",      u"Мария",  u"Георги",
                                  u"Елена", u"Димитър", u"Цветелина", u"Йордан", u"Юлия"};
const char16_t *const kLast[] = {u"Гаврилов", u"Радкова", u"Петров",   u"Илиева", u"Стоянов",
                                 u"Христова", u"Жеков",   u"Чакърова", u"Шишков", u"Щерева"};

template <size_t N> QString Pick(QRandomGenerator &random, const char16_t *const (&list)[N])
{
    return QString::fromUtf16(list[random.bounded(quint32(N))]);
}

// Bulgarian in Latin letters, as the English columns of the sample spell names.
QString Latin(const QString &text)
{
    static const QMap<QChar, QString> letters = [] {
        QMap<QChar, QString> map;
        const QString cyrillic = QStringLiteral("абвгдежзийклмнопрстуфхцчшщъьюя");
        const QStringList latin =
            QStringLiteral("a b v g d e zh z i y k l m n o p r s t u f h ts ch sh sht "
                           "a y yu ya")
                .split(QLatin1Char(' '));
        for (int i = 0; i < cyrillic.size(); ++i)
            map.insert(cyrillic[i], latin[i]);
        return map;
    }();
    QString out;
    for (const QChar c : text) {
        const auto found = letters.constFind(c.toLower());
        if (found == letters.constEnd()) {
            out += c;
        } else if (c.isUpper() && !found->isEmpty()) {
            out += found->at(0).toUpper() + found->mid(1);
        } else {
            out += *found;
        }
    }
    return out;
}

void Exec(sqlite3 *db, const char *sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "bench_masterdata: %s\n", error ? error : "SQLite error");
        std::exit(1);
    }
}

// Writes the table `name` with the sample's own definition and `count` generated records.
void Generate(const QString &sampleFile, const QString &file, const QString &name, int count,
              quint32 seed)
{
    QFile::remove(file);
    sqlite3 *sample = nullptr;
    sqlite3_open_v2(sampleFile.toUtf8().constData(), &sample, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *schema = nullptr;
    sqlite3_prepare_v2(sample, "SELECT sql FROM sqlite_master WHERE name = ?", -1, &schema,
                       nullptr);
    sqlite3_bind_text(schema, 1, name.toUtf8().constData(), -1, SQLITE_TRANSIENT);
    QByteArray create;
    if (sqlite3_step(schema) == SQLITE_ROW)
        create = reinterpret_cast<const char *>(sqlite3_column_text(schema, 0));
    sqlite3_finalize(schema);
    sqlite3_close(sample);

    sqlite3 *db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    Exec(db, create.constData());
    Exec(db, "BEGIN");
    const bool goods = name == QLatin1String("stock");
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db,
                       goods ? "INSERT INTO stock VALUES (?, ?, ?, ?, ?)"
                             : "INSERT INTO customer VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    QRandomGenerator random(seed);
    auto text = [&](int column, const QString &value) {
        sqlite3_bind_text16(insert, column, value.utf16(), int(value.size() * 2), SQLITE_TRANSIENT);
    };
    for (int i = 0; i < count; ++i) {
        if (goods) {
            const int kind = int(random.bounded(quint32(std::size(kGoods))));
            QString description = QString::fromUtf16(kGoods[kind]) + QLatin1Char(' ') +
                                  Pick(random, kGoodsDetail) + QStringLiteral(", модел ") +
                                  QString::number(random.bounded(1, 5000));
            if (random.bounded(5) < 2)
                description += QLatin1Char('\n') + QString::fromUtf16(kGoodsEnglish[kind]);
            text(1, QStringLiteral("%1").arg(i + 1, 6, 10, QLatin1Char('0')));
            text(2, description);
            text(3, Pick(random, kUnits));
            sqlite3_bind_double(insert, 4, random.bounded(50, 200000) / 100.0);
            sqlite3_bind_double(insert, 5,
                                random.bounded(10) == 0 ? 0.0 : random.bounded(1, 20000) / 10.0);
        } else {
            const QString firm =
                Pick(random, kNames) + QLatin1Char(' ') + Pick(random, kTrades) +
                (random.bounded(3) == 0 ? QLatin1Char(' ') + QString::number(random.bounded(2, 99))
                                        : QString()) +
                QLatin1Char(' ') + Pick(random, kForms);
            const QString city = Pick(random, kCities);
            const QString street = Pick(random, kStreets);
            const int number = int(random.bounded(1, 200));
            const QString person = Pick(random, kFirst) + QLatin1Char(' ') + Pick(random, kLast);
            const QString id = QStringLiteral("%1").arg(random.bounded(100000000, 999999999));
            text(1, firm);
            text(2, Latin(firm).replace(QStringLiteral("OOD"), QStringLiteral("Ltd")));
            text(3, QStringLiteral("гр. %1, ул. %2 № %3").arg(city, street).arg(number));
            text(4,
                 QStringLiteral("%1, %2 %3 Str.").arg(Latin(city)).arg(number).arg(Latin(street)));
            text(5, person);
            text(6, Latin(person));
            text(7, QStringLiteral("BG") + id);
            text(8, id);
            text(9, QStringLiteral("02 %1").arg(random.bounded(1000000, 9999999)));
            text(10, QStringLiteral("02 %1").arg(random.bounded(1000000, 9999999)));
        }
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

// ---- measuring, in the child ----

struct Samples {
    std::vector<double> ms;
    void add(const QElapsedTimer &timer) { ms.push_back(timer.nsecsElapsed() / 1e6); }
};

// The steps in the order they are printed.
struct Results {
    QStringList order;
    QMap<QString, Samples> samples;
    Samples &operator[](const QString &step)
    {
        if (!order.contains(step))
            order.append(step);
        return samples[step];
    }
};

int PauseMs = 1000;

void Settle()
{
    QCoreApplication::processEvents();
}

// The user's pause before typing: the window is looked at, the search box clicked.
void Pause()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < PauseMs) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
}

void ChooseColumn(const QString &column)
{
    Form4->ComboBox1->setCurrentIndex(Form4->ComboBox1->findText(column));
    Form4->ComboBox1Change();
    Settle();
}

// Values taken from the middle and the end of the table, cut to ten letters: what is typed.
QStringList Targets(const QString &column, int rounds)
{
    TTable *table = Form4->Table1;
    const int count = table->RecordCount();
    QStringList targets;
    for (int i = 0; i < rounds; ++i) {
        table->SetRecNo(std::max(1, int(qint64(count) * (2 * i + 1) / (2 * rounds))));
        targets.append(table->FieldByName(column)->AsString().left(10));
    }
    table->First();
    return targets;
}

void Type(Samples &samples, const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    Form4->Edit1->setText(text);
    Settle();
    samples.add(timer);
}

void ClearSearch()
{
    Form4->Edit1->clear();
    Settle();
}

// Types growing prefixes of the targets, then clears the search, each keystroke timed with the
// grid's repaint; the first keystroke of a column is timed apart.
void Keystrokes(Samples &samples, const QStringList &targets)
{
    for (const QString &target : targets) {
        for (int length = 2; length <= target.size(); ++length)
            Type(samples, target.left(length));
        QElapsedTimer timer;
        timer.start();
        ClearSearch();
        samples.add(timer);
        Type(samples, target.left(1));
    }
    ClearSearch();
}

void Filter(Samples &samples, const QString &column, TTable::FilterKind kind, const QString &text)
{
    QElapsedTimer timer;
    timer.start();
    Form4->Table1->SetFilter(column, kind, text);
    Form4->Table1->SetFiltered(true);
    Form4->Table1->First();
    Settle();
    samples.add(timer);
    Form4->Table1->SetFiltered(false);
}

// Another program writes the table: a price or an address changed, a record added.
void WriteAside(const QString &file, bool goods, int round)
{
    sqlite3 *db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_busy_timeout(db, 5000);
    Exec(db, "BEGIN IMMEDIATE");
    const QByteArray update =
        goods ? QStringLiteral("UPDATE stock SET \"Продажна цена\" = %1 WHERE rowid = %2")
                    .arg(10 + round)
                    .arg(3 + round)
                    .toUtf8()
              : QStringLiteral("UPDATE customer SET \"Адрес\" = 'гр. Русе, ул. Нова %1' "
                               "WHERE rowid = %2")
                    .arg(round)
                    .arg(3 + round)
                    .toUtf8();
    Exec(db, update.constData());
    Exec(db, goods ? "INSERT INTO stock SELECT * FROM stock WHERE rowid = 1"
                   : "INSERT INTO customer SELECT * FROM customer WHERE rowid = 1");
    Exec(db, "COMMIT");
    sqlite3_close(db);
}

// What a take costs at least: one record's change committed to the same file by SQLite alone.
void BareCommit(Samples &samples, const QString &file, qint64 rowid)
{
    sqlite3 *db = nullptr;
    sqlite3_open(file.toUtf8().constData(), &db);
    sqlite3_busy_timeout(db, 5000);
    const QByteArray update =
        QStringLiteral("UPDATE stock SET \"К-во\" = \"К-во\" - 1 WHERE rowid = %1")
            .arg(rowid)
            .toUtf8();
    QElapsedTimer timer;
    timer.start();
    Exec(db, "BEGIN IMMEDIATE");
    Exec(db, update.constData());
    Exec(db, "COMMIT");
    samples.add(timer);
    sqlite3_close(db);
}

int Child(const QString &folder, int rounds)
{
    ProgramFolder = folder;
    ScriptedDialogsGuard guard;
    guard.script.answer(QStringLiteral("20%"));
    CreateForms();
    Results results;

    for (const bool goods : {true, false}) {
        const QString prefix = goods ? QStringLiteral("stock ") : QStringLiteral("customer ");
        const QString file =
            folder + (goods ? QStringLiteral("/DB/stock.db") : QStringLiteral("/DB/customer.db"));
        auto open = [goods] {
            goods ? Form4->OpenStock() : Form4->OpenCustomers();
            Settle();
        };
        // The first field is the search column when the window opens; the second is chosen.
        const QString first = goods ? QStringLiteral("Пор. №") : QStringLiteral("Фирма");
        const QString second =
            goods ? QStringLiteral("Описание на стока/услуга") : QStringLiteral("Адрес");

        for (int i = 0; i < rounds; ++i) {
            QElapsedTimer timer;
            timer.start();
            open();
            results[prefix + QStringLiteral("open")].add(timer);
        }
        const QStringList firstTargets = Targets(first, rounds);
        const QStringList secondTargets = Targets(second, rounds);

        // The first keystroke on a column, typed the moment the window opens and after a pause.
        for (int i = 0; i < rounds; ++i) {
            open();
            Type(results[prefix + QStringLiteral("first keystroke at once")],
                 firstTargets[i].left(1));
            ClearSearch();
        }
        for (int i = 0; i < rounds; ++i) {
            open();
            Pause();
            Type(results[prefix + QStringLiteral("first keystroke ") + first],
                 firstTargets[i].left(1));
            ClearSearch();
        }
        Keystrokes(results[prefix + QStringLiteral("keystroke")], firstTargets);
        for (int i = 0; i < rounds; ++i) {
            open();
            ChooseColumn(second);
            Pause();
            Type(results[prefix + QStringLiteral("first keystroke ") + second],
                 secondTargets[i].left(1));
            ClearSearch();
        }
        Keystrokes(results[prefix + QStringLiteral("keystroke")], secondTargets);

        // Each filter as the browser sets it: the first on a column right after opening (its
        // values are compared, no keys are read), then again.
        struct FilterStep {
            QString column;
            TTable::FilterKind kind;
            QString text;
        };
        const FilterStep filters[] = {
            goods ? FilterStep{QStringLiteral("Мярка"), TTable::FilterKind::Equal,
                               QStringLiteral("БР.")}
                  : FilterStep{QStringLiteral("Адрес"), TTable::FilterKind::AtLeast,
                               QStringLiteral("гр. П")},
            goods ? FilterStep{QStringLiteral("К-во"), TTable::FilterKind::AtLeast,
                               QStringLiteral("1500")}
                  : FilterStep{QStringLiteral("МОЛ"), TTable::FilterKind::Equal,
                               QStringLiteral("мария жеков")}};
        for (const FilterStep &step : filters) {
            for (int i = 0; i < rounds; ++i) {
                open();
                Filter(results[prefix + QStringLiteral("first filter ") + step.column], step.column,
                       step.kind, step.text);
            }
            for (int i = 0; i < rounds; ++i)
                Filter(results[prefix + QStringLiteral("filter")], step.column, step.kind,
                       step.text);
        }

        // Another program writes the table while the user is in it; coming back to the window
        // notices, and the next keystroke comes at once or after a pause.
        open();
        for (const bool pause : {false, true}) {
            for (int i = 0; i < rounds; ++i) {
                WriteAside(file, goods, i);
                QElapsedTimer timer;
                timer.start();
                Form4->FormActivate();
                Settle();
                results[prefix + QStringLiteral("back after a write")].add(timer);
                if (pause)
                    Pause();
                Type(results[prefix + (pause ? QStringLiteral("keystroke after a write")
                                             : QStringLiteral("keystroke at once after a write"))],
                     firstTargets[i].left(1));
                ClearSearch();
            }
        }

        TTable *table = Form4->Table1;
        const int count = table->RecordCount();
        for (int i = 0; i < rounds; ++i) {
            table->SetRecNo(std::max(1, count * (i + 1) / (rounds + 1)));
            if (goods) {
                // Enough in stock for the take to go through.
                table->Edit();
                table->FieldByName(QStringLiteral("К-во"))->SetAsString(QStringLiteral("1000"));
                table->Post();
                guard.script.answer(QStringLiteral("1"));
            }
            Settle();
            QElapsedTimer timer;
            timer.start();
            Form4->SpeedButton2Click();
            Settle();
            results[prefix + QStringLiteral("take")].add(timer);
            Form1->Clear1Click();
        }
        // After the takes: a write from another connection makes the next take read the table
        // anew, which the takes are not timed with.
        for (int i = 0; goods && i < rounds; ++i)
            BareCommit(results[prefix + QStringLiteral("take: its commit alone")], file,
                       table->RecordKey());
    }
    if (!guard.script.errors.isEmpty())
        std::fprintf(stderr, "bench_masterdata: %s\n",
                     qPrintable(guard.script.errors.join(QLatin1Char('\n'))));
    for (const QString &step : results.order) {
        std::vector<double> &ms = results.samples[step].ms;
        std::sort(ms.begin(), ms.end());
        std::printf("%s\t%.3f\t%.3f\t%.3f\t%zu\n", qPrintable(step), ms[ms.size() / 2], ms.front(),
                    ms.back(), ms.size());
    }
    struct rusage usage {
    };
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak RSS\t%.1f\t%.1f\t%.1f\t1\n", usage.ru_maxrss / 1024.0,
                usage.ru_maxrss / 1024.0, usage.ru_maxrss / 1024.0);
    DestroyForms();
    return 0;
}

struct Figure {
    double median = 0, min = 0, max = 0;
};
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    VornexApplication app(argc, argv);
    const QStringList args = app.arguments();
    int rounds = 5;
    const int roundsAt = int(args.indexOf(QStringLiteral("--rounds")));
    if (roundsAt > 0 && roundsAt + 1 < args.size())
        rounds = std::max(1, args[roundsAt + 1].toInt());
    const int pauseAt = int(args.indexOf(QStringLiteral("--pause")));
    if (pauseAt > 0 && pauseAt + 1 < args.size())
        PauseMs = std::max(0, args[pauseAt + 1].toInt());
    const int childAt = int(args.indexOf(QStringLiteral("--child")));
    if (childAt > 0 && childAt + 1 < args.size())
        return Child(args[childAt + 1], rounds);

    const QString sampleDb =
        qEnvironmentVariable("VORNEX_SAMPLE_DB", QStringLiteral(VORNEX_SAMPLE_DB_DIR));
    // --folder DIR keeps the generated tables in DIR, to run a size again with --child.
    QTemporaryDir temporary;
    const int folderAt = int(args.indexOf(QStringLiteral("--folder")));
    const QString rootPath =
        folderAt > 0 && folderAt + 1 < args.size() ? args[folderAt + 1] : temporary.path();
    const QDir root(rootPath);
    std::vector<int> sizes{0, 1000, 10000, 100000};
    if (args.contains(QStringLiteral("--million")))
        sizes.push_back(1000000);

    QMap<int, QMap<QString, Figure>> figures;
    QStringList operations;
    for (const int size : sizes) {
        const QString folder =
            root.filePath(size == 0 ? QStringLiteral("sample") : QString::number(size));
        const QString db = folder + QStringLiteral("/DB");
        const bool reuse = folderAt > 0 && QFile::exists(db + QStringLiteral("/stock.db"));
        QDir().mkpath(db);
        for (const QString &file : QDir(sampleDb).entryList(QDir::Files))
            QFile::copy(sampleDb + QLatin1Char('/') + file, db + QLatin1Char('/') + file);
        if (size > 0 && !reuse) {
            std::fprintf(stderr, "bench_masterdata: generating %d goods and %d clients...\n", size,
                         size);
            Generate(sampleDb + QStringLiteral("/stock.db"), db + QStringLiteral("/stock.db"),
                     QStringLiteral("stock"), size, 1);
            Generate(sampleDb + QStringLiteral("/customer.db"), db + QStringLiteral("/customer.db"),
                     QStringLiteral("customer"), size, 2);
        }
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--child"), folder, QStringLiteral("--rounds"),
                     QString::number(rounds), QStringLiteral("--pause"), QString::number(PauseMs)});
        child.waitForFinished(-1);
        const QStringList lines =
            QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
        for (const QString &line : lines) {
            const QStringList parts = line.split(QLatin1Char('\t'));
            if (parts.size() < 4)
                continue;
            if (!operations.contains(parts[0]))
                operations.append(parts[0]);
            figures[size][parts[0]] = {parts[1].toDouble(), parts[2].toDouble(),
                                       parts[3].toDouble()};
        }
        if (child.exitCode() != 0 || figures[size].isEmpty()) {
            std::fprintf(stderr, "bench_masterdata: the run on %s failed\n", qPrintable(folder));
            return 1;
        }
    }

    std::printf("bench_masterdata: %d rounds, %d cores, a pause of %d ms before the keystrokes "
                "that follow one; times in ms (median / min / max), x = median against the sample "
                "tables%s; peak RSS in MiB\n\n",
                rounds, QThread::idealThreadCount(), PauseMs,
                sizes.back() == 1000000 ? ", last column: 1 000 000 rows against 100 000" : "");
    const int nameWidth = 40;
    std::printf("%s", qPrintable(QString().leftJustified(nameWidth)));
    for (const int size : sizes)
        std::printf(" | %26s",
                    size == 0 ? "sample" : qPrintable(QStringLiteral("%1 rows").arg(size)));
    std::printf("\n");
    for (const QString &operation : operations) {
        std::printf("%s", qPrintable(operation.leftJustified(nameWidth)));
        for (const int size : sizes) {
            const Figure f = figures[size].value(operation);
            const double base = figures[0].value(operation).median;
            std::printf(" | %7.2f %6.2f %6.1f x%-4.1f", f.median, f.min, f.max,
                        base > 0 ? f.median / base : 0.0);
        }
        if (sizes.back() == 1000000) {
            const double base = figures[100000].value(operation).median;
            std::printf(" | x%.1f", base > 0 ? figures[1000000].value(operation).median / base : 0);
        }
        std::printf("\n");
    }
    return 0;
}
