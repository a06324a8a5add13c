// Times the master-data browser on large goods and clients tables: opening the table, search
// keystrokes of growing prefixes on two columns, the filters and "Добави", driven through the real
// browser offscreen. Each table size runs in a process of its own so that its peak memory is its
// own; the sample tables run first as the yardstick.
//
//   bench_masterdata [--million] [--rounds N]
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

void Settle()
{
    QCoreApplication::processEvents();
}

void ChooseColumn(const QString &column)
{
    Form4->ComboBox1->setCurrentIndex(Form4->ComboBox1->findText(column));
    Form4->ComboBox1Change();
    Settle();
}

// Types growing prefixes of values taken from the middle and the end of the table, then clears
// the search, each keystroke timed with the grid's repaint.
void Keystrokes(Samples &samples, const QString &column, int rounds)
{
    ChooseColumn(column);
    TTable *table = Form4->Table1;
    const int count = table->RecordCount();
    QStringList targets;
    for (int i = 0; i < rounds; ++i) {
        table->SetRecNo(std::max(1, int(qint64(count) * (2 * i + 1) / (2 * rounds))));
        targets.append(table->FieldByName(column)->AsString().left(10));
    }
    for (const QString &target : targets) {
        for (int length = 1; length <= target.size(); ++length) {
            QElapsedTimer timer;
            timer.start();
            Form4->Edit1->setText(target.left(length));
            Settle();
            samples.add(timer);
        }
        QElapsedTimer timer;
        timer.start();
        Form4->Edit1->clear();
        Settle();
        samples.add(timer);
    }
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

int Child(const QString &folder, int rounds)
{
    ProgramFolder = folder;
    ScriptedDialogsGuard guard;
    guard.script.answer(QStringLiteral("20%"));
    CreateForms();
    QMap<QString, Samples> results;

    for (const bool goods : {true, false}) {
        const QString prefix = goods ? QStringLiteral("stock") : QStringLiteral("customer");
        auto open = [goods] { goods ? Form4->OpenStock() : Form4->OpenCustomers(); };
        for (int i = 0; i < rounds; ++i) {
            QElapsedTimer timer;
            timer.start();
            open();
            Settle();
            results[prefix + QStringLiteral(" open")].add(timer);
        }
        Samples &keys = results[prefix + QStringLiteral(" keystroke")];
        if (goods) {
            Keystrokes(keys, QStringLiteral("Пор. №"), rounds);
            Keystrokes(keys, QStringLiteral("Описание на стока/услуга"), rounds);
        } else {
            Keystrokes(keys, QStringLiteral("Фирма"), rounds);
            Keystrokes(keys, QStringLiteral("Адрес"), rounds);
        }
        // Each filter as the browser sets it, on one column after the other: the first on a
        // column reads it.
        Samples &filters = results[prefix + QStringLiteral(" filter")];
        for (int i = 0; i < rounds; ++i) {
            if (goods)
                Filter(filters, QStringLiteral("Мярка"), TTable::FilterKind::Equal,
                       QStringLiteral("БР."));
            else
                Filter(filters, QStringLiteral("Адрес"), TTable::FilterKind::AtLeast,
                       QStringLiteral("гр. П"));
        }
        for (int i = 0; i < rounds; ++i) {
            if (goods)
                Filter(filters, QStringLiteral("К-во"), TTable::FilterKind::AtLeast,
                       QStringLiteral("1500"));
            else
                Filter(filters, QStringLiteral("МОЛ"), TTable::FilterKind::Equal,
                       QStringLiteral("мария жеков"));
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
            results[prefix + QStringLiteral(" take")].add(timer);
            Form1->Clear1Click();
        }
    }
    if (!guard.script.errors.isEmpty())
        std::fprintf(stderr, "bench_masterdata: %s\n",
                     qPrintable(guard.script.errors.join(QLatin1Char('\n'))));
    for (auto it = results.begin(); it != results.end(); ++it) {
        std::vector<double> &ms = it->ms;
        std::sort(ms.begin(), ms.end());
        std::printf("%s\t%.3f\t%.3f\t%.3f\t%zu\n", qPrintable(it.key()), ms[ms.size() / 2],
                    ms.front(), ms.back(), ms.size());
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
                     QString::number(rounds)});
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

    std::printf("bench_masterdata: %d rounds, %d cores; times in ms (median / min / max), "
                "x = median against the sample tables; peak RSS in MiB\n\n",
                rounds, QThread::idealThreadCount());
    std::printf("%-20s", "");
    for (const int size : sizes)
        std::printf(" | %26s",
                    size == 0 ? "sample" : qPrintable(QStringLiteral("%1 rows").arg(size)));
    std::printf("\n");
    for (const QString &operation : operations) {
        std::printf("%-20s", qPrintable(operation));
        for (const int size : sizes) {
            const Figure f = figures[size].value(operation);
            const double base = figures[0].value(operation).median;
            std::printf(" | %7.2f %6.2f %6.1f x%-4.1f", f.median, f.min, f.max,
                        base > 0 ? f.median / base : 0.0);
        }
        std::printf("\n");
    }
    return 0;
}
