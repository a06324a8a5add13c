#include "masterdata/FoldedKeys.h"

#include <QRandomGenerator>
#include <QTest>

#include <set>

// The folded search keys on their own: folding agrees with Qt's case-insensitive comparison, a key
// keeps the beginning of its value, and a sorted set finds and follows what a full scan would.
class TestFoldedKeys : public QObject
{
    Q_OBJECT

private slots:
    void foldingOrdersAsQtIgnoringCase_data();
    void foldingOrdersAsQtIgnoringCase();
    void keyKeepsTheBeginning_data();
    void keyKeepsTheBeginning();
    void stretchesHoldWhatAScanFinds_data();
    void stretchesHoldWhatAScanFinds();
    void numbersOfANumberColumn_data();
    void numbersOfANumberColumn();
    void changesKeepTheOrderOfAFreshSort_data();
    void changesKeepTheOrderOfAFreshSort();
};

namespace
{
int Sign(int value)
{
    return value < 0 ? -1 : value > 0 ? 1 : 0;
}

// A column's keys over the values (a null QString for no value), sorted.
std::unique_ptr<ColumnKeys> KeysOf(const QStringList &values)
{
    auto keys = std::make_unique<ColumnKeys>(0, false);
    for (const QString &value : values) {
        const quint32 position = keys->size();
        keys->add();
        if (!value.isNull())
            keys->setText(position, reinterpret_cast<const char16_t *>(value.utf16()),
                          value.size());
    }
    keys->sortAll();
    return keys;
}

std::set<quint32> Positions(const ColumnKeys &keys, std::pair<size_t, size_t> stretch)
{
    return std::set<quint32>(keys.sorted().begin() + long(stretch.first),
                             keys.sorted().begin() + long(stretch.second));
}
} // namespace

void TestFoldedKeys::foldingOrdersAsQtIgnoringCase_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("Latin letter case") << QStringLiteral("Beta ООД") << QStringLiteral("bETA ood");
    QTest::newRow("Cyrillic letter case") << QStringLiteral("ЖЕКОВ") << QStringLiteral("жеков");
    QTest::newRow("Ё outside the plain Cyrillic block")
        << QStringLiteral("Ёлка") << QStringLiteral("ёлка");
    QTest::newRow("ё sorts after я") << QStringLiteral("Ёж") << QStringLiteral("Яна");
    QTest::newRow("Latin sorts before Cyrillic") << QStringLiteral("zeta") << QStringLiteral("А");
    QTest::newRow("Greek final sigma") << QStringLiteral("ΟΔΟΣ") << QStringLiteral("οδος");
    QTest::newRow("letters outside the basic plane")
        << QStringLiteral("\U00010400x") << QStringLiteral("\U00010428X");
    QTest::newRow("digits and signs stay") << QStringLiteral("№ 12-а") << QStringLiteral("№ 12-Б");
    QTest::newRow("prefix sorts first") << QStringLiteral("Арго") << QStringLiteral("арго строй");
    QTest::newRow("empty sorts first") << QString() << QStringLiteral("а");
}

void TestFoldedKeys::foldingOrdersAsQtIgnoringCase()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    const std::string foldedA = FoldedKeys::Folded(a);
    const std::string foldedB = FoldedKeys::Folded(b);
    QCOMPARE(Sign(foldedA.compare(foldedB)), Sign(a.compare(b, Qt::CaseInsensitive)));
    QCOMPARE(Sign(foldedB.compare(foldedA)), Sign(b.compare(a, Qt::CaseInsensitive)));
}

void TestFoldedKeys::keyKeepsTheBeginning_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("keptUnits");
    QTest::addColumn<bool>("cut");
    const QString letters = QStringLiteral("абвгдежзийклмнопрстуфхцчшщ");
    QTest::newRow("short value whole") << letters.left(5) << 5 << false;
    QTest::newRow("as long as a key: whole") << letters.left(24) << 24 << false;
    QTest::newRow("one letter more: cut") << letters.left(25) << 24 << true;
    QTest::newRow("a pair of code units across the end: cut")
        << letters.left(23) + QStringLiteral("\U00010400") << 24 << true;
    QTest::newRow("empty value") << QStringLiteral("") << 0 << false;
}

void TestFoldedKeys::keyKeepsTheBeginning()
{
    QFETCH(QString, value);
    QFETCH(int, keptUnits);
    QFETCH(bool, cut);
    const auto keys = KeysOf({value.isEmpty() ? value : value.toUpper()});
    QCOMPARE(keys->isNull(0), false);
    QCOMPARE(keys->isCut(0), cut);
    QCOMPARE(int(keys->key(0).size()), keptUnits * 2);
    QVERIFY(FoldedKeys::StartsWith(FoldedKeys::Folded(value), keys->key(0)));
}

void TestFoldedKeys::stretchesHoldWhatAScanFinds_data()
{
    QTest::addColumn<QString>("text");
    for (const char16_t *text :
         {u"", u"а", u"АРГО", u"арго с", u"z", u"ZETA LTD", u"ё", u"я5", u"x", u"ъгъл"})
        QTest::addRow("\"%s\"", qPrintable(QString::fromUtf16(text))) << QString::fromUtf16(text);
}

void TestFoldedKeys::stretchesHoldWhatAScanFinds()
{
    QFETCH(QString, text);
    const QStringList words{
        QStringLiteral("Арго"), QStringLiteral("арго строй"), QStringLiteral("АРГО"),
        QStringLiteral("Zeta"), QStringLiteral("zeta ltd"),   QStringLiteral("ёлка"),
        QStringLiteral("Я5"),   QStringLiteral("Ъгъл"),       QStringLiteral("")};
    QStringList values;
    QRandomGenerator random(3);
    for (int i = 0; i < 500; ++i) {
        const quint32 pick = random.bounded(quint32(words.size() + 1));
        values.append(pick == quint32(words.size()) ? QString() : words[int(pick)]);
    }
    const auto keys = KeysOf(values);
    const std::string folded = FoldedKeys::Folded(text);
    std::set<quint32> beginning;
    std::set<quint32> equal;
    std::set<quint32> atLeast;
    for (quint32 p = 0; p < quint32(values.size()); ++p) {
        const QString &value = values[int(p)];
        if (!value.isNull() && value.startsWith(text, Qt::CaseInsensitive))
            beginning.insert(p);
        // An empty text stands for no value as well as for an empty one.
        if (value.compare(text, Qt::CaseInsensitive) == 0)
            equal.insert(p);
        if (!value.isNull() && value.compare(text, Qt::CaseInsensitive) >= 0)
            atLeast.insert(p);
    }
    QCOMPARE(Positions(*keys, keys->prefixRange(folded)), beginning);
    QCOMPARE(Positions(*keys, keys->equalRange(folded)), equal);
    QCOMPARE(Positions(*keys, {keys->lowerBound(folded), keys->sorted().size()}), atLeast);
}

void TestFoldedKeys::numbersOfANumberColumn_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("number");
    const double none = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("floating point") << QVariant(12.5) << 12.5;
    QTest::newRow("whole number") << QVariant(qlonglong(-3)) << -3.0;
    QTest::newRow("number stored as text") << QVariant(QStringLiteral("0.25")) << 0.25;
    QTest::newRow("text that is no number") << QVariant(QStringLiteral("много")) << none;
    QTest::newRow("bytes") << QVariant(QByteArray("12")) << none;
    QTest::newRow("no value") << QVariant() << none;
}

void TestFoldedKeys::numbersOfANumberColumn()
{
    QFETCH(QVariant, stored);
    QFETCH(double, number);
    ColumnKeys keys(0, true);
    keys.add();
    keys.setValue(0, stored, stored.toString());
    keys.sortAll();
    if (std::isnan(number))
        QVERIFY(std::isnan(keys.number(0)));
    else
        QCOMPARE(keys.number(0), number);
    QCOMPARE(keys.isNull(0), stored.isNull());
}

void TestFoldedKeys::changesKeepTheOrderOfAFreshSort_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : {1u, 2u, 3u})
        QTest::addRow("seed %u", seed) << seed;
}

void TestFoldedKeys::changesKeepTheOrderOfAFreshSort()
{
    // Changes, records added at the end and records removed, in random order: the set kept up to
    // date sorts as a set read anew from the values.
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QStringList words{QStringLiteral("Пирин"), QStringLiteral("пирин фрут"),
                            QStringLiteral("Бета"),  QStringLiteral("beta"),
                            QStringLiteral("Юта"),   QString()};
    auto word = [&] {
        const QString pick = words[int(random.bounded(quint32(words.size())))];
        return pick.isNull() ? pick : pick + QString::number(random.bounded(5));
    };
    QStringList values;
    for (int i = 0; i < 200; ++i)
        values.append(word());
    const auto kept = KeysOf(values);
    for (int step = 0; step < 300; ++step) {
        const quint32 action = random.bounded(3u);
        if (action == 0 && !values.isEmpty()) {
            const int at = int(random.bounded(quint32(values.size())));
            values[at] = word();
            kept->change(quint32(at), values[at].isNull() ? QVariant() : QVariant(values[at]),
                         values[at]);
        } else if (action == 1) {
            values.append(word());
            kept->append(values.last().isNull() ? QVariant() : QVariant(values.last()),
                         values.last());
        } else if (!values.isEmpty()) {
            const int at = int(random.bounded(quint32(values.size())));
            values.removeAt(at);
            kept->erase(quint32(at));
        }
    }
    const auto fresh = KeysOf(values);
    QCOMPARE(kept->size(), fresh->size());
    QCOMPARE(kept->nulls(), fresh->nulls());
    QCOMPARE(kept->sorted(), fresh->sorted());
}

QTEST_GUILESS_MAIN(TestFoldedKeys)
#include "tst_foldedkeys.moc"
