#include "FuzzSupport.h"

#include "base/Errors.h"
#include "masterdata/Table.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace
{
QTemporaryDir *Folder = nullptr;
TTable *Table = nullptr;
QByteArray FileHash;

const QStringList kFields = {QStringLiteral("Фирма"), QStringLiteral("Идент №"),
                             QStringLiteral("К-во"), QStringLiteral("Notes")};

QByteArray HashOfFolder()
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QDir dir(Folder->path());
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly)) {
            hash.addData(name.toUtf8());
            hash.addData(file.readAll());
        }
    }
    return hash.result();
}

void MakeTable()
{
    const QString path = Folder->filePath(QStringLiteral("customer.db"));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec(QStringLiteral("CREATE TABLE customer (\"Фирма\" VARCHAR(40), \"Идент №\" "
                              "VARCHAR(40), \"К-во\" NUMERIC, \"Notes\" MEMO TEXT)"));
        const char *rows[][4] = {{"Ведрина ООД", "175402918", "10", "a'b"},
                                 {"ведрина трейд", "1", "2.5", "%_"},
                                 {"O'Brien Ltd", "", "-3", "x\" OR 1=1 --"},
                                 {"Ёлка ЕООД", "0042", "0", ""}};
        for (const auto &row : rows) {
            q.prepare(QStringLiteral("INSERT INTO customer VALUES (?, ?, ?, ?)"));
            for (const char *value : row)
                q.addBindValue(QString::fromUtf8(value));
            q.exec();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("make"));
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    Folder = new QTemporaryDir;
    MakeTable();
    Table = new TTable;
    Table->SetDatabaseName(Folder->path() + QLatin1Char('/'));
    Table->SetTableName(QStringLiteral("customer.db"));
    // The first opening may set the file up for the engine; searching must change nothing after.
    Table->Open();
    Table->Close();
    FileHash = HashOfFolder();
    // Opened once for every input: an open table holds no lock between statements, so the file
    // can be compared while it stays open.
    Table->Open();
    return 0;
}

// Search texts and filter expressions as the user types them: they are data, never SQL. A search
// finds only what it should, and the table file is the same afterwards.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList parts = FuzzParts(data, size, 2);
    const QString field = kFields.at(size > 0 ? data[0] % kFields.size() : 0);
    const bool caseless = size > 1 && (data[1] & 1);
    const bool partial = size > 1 && (data[1] & 2);

    Table->SetFiltered(false);
    const int all = Table->RecordCount();
    FUZZ_CHECK(all == 4);
    const int before = Table->RecNo();
    bool found = false;
    try {
        found = Table->Locate(field, parts.at(0), caseless, partial);
    } catch (const UserError &) {
    }
    // Letter case is compared here for the program's own alphabets only.
    bool plainLetters = true;
    for (QChar c : parts.at(0))
        plainLetters =
            plainLetters && (c.unicode() < 128 || (c.unicode() >= 0x410 && c.unicode() <= 0x44F));
    if (found && field != QLatin1String("К-во") && (plainLetters || !caseless)) {
        const QString value = Table->FieldByName(field)->AsString();
        FUZZ_CHECK(partial ? value.startsWith(parts.at(0),
                                              caseless ? Qt::CaseInsensitive : Qt::CaseSensitive)
                           : value.compare(parts.at(0), caseless ? Qt::CaseInsensitive
                                                                 : Qt::CaseSensitive) == 0);
    } else if (!found) {
        FUZZ_CHECK(Table->RecNo() == before);
    }

    try {
        Table->SetFilter(parts.at(1));
        Table->SetFiltered(true);
        FUZZ_CHECK(Table->RecordCount() <= all);
    } catch (const UserError &) {
    }
    try {
        Table->SetFilter(field, TTable::FilterKind::Equal, parts.at(0));
        Table->SetFiltered(true);
        FUZZ_CHECK(Table->RecordCount() <= all);
    } catch (const UserError &) {
    }
    Table->SetFiltered(false);
    Table->SetFilter(QString());
    FUZZ_CHECK(Table->RecordCount() == all);

    // The next input starts from the first record of the whole table, as after opening.
    if (Table->CurrentState() != TTable::State::Browse)
        Table->Cancel();
    Table->First();
    FUZZ_CHECK(Table->RecNo() == 1);
    FUZZ_CHECK(HashOfFolder() == FileHash);
    return 0;
}
