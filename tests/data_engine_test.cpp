// The table cursor, field conversions, connections and the engine's errors,
// on real table files in a temporary directory.
#include "data/card_table.h"
#include "data/database.h"
#include "data/error.h"
#include "data/query.h"
#include "data/sqlite_connection.h"
#include "data/table.h"
#include "data/table_info.h"
#include "tests/support/printing.h"
#include "tests/support/temp_tables.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <numeric>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <random>
#include <sqlite3.h>

namespace {

std::vector<CardRow> numberedCards(int count)
{
    std::vector<CardRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(makeCard(QStringLiteral("Carte %1").arg(i, 4, 10, QLatin1Char('0')),
                                QStringLiteral("Card %1").arg(i), QStringLiteral("Base"), i % 3, i % 2));
    // Written in a shuffled order: the cursor must still give key order.
    std::shuffle(rows.begin(), rows.end(), std::mt19937(7));
    return rows;
}

QStringList frenchNames(Dataset &dataset)
{
    QStringList names;
    for (dataset.first(); !dataset.eof(); dataset.next())
        names << dataset.field(card::NomFrancais).asString();
    return names;
}

QString pragmaText(const QString &path, const char *pragma)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, pragma, -1, &statement, nullptr);
    QString result;
    if (sqlite3_step(statement) == SQLITE_ROW)
        result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

class EngineTest : public ::testing::Test
{
protected:
    void openCards(Table &table)
    {
        table.setDatabase(&database);
        table.setTableName(card::TableFile);
        table.open();
    }

    void SetUpDatabase(const TempTables &tables)
    {
        database.setName(QStringLiteral("Vexar"));
        database.params() = {QStringLiteral("PATH=") + tables.dir()};
    }

    Database database;
};

// --- Reading in key order -------------------------------------------------

TEST_F(EngineTest, ReadsEveryRowOnceInKeyOrderAcrossPages)
{
    TempTables tables(numberedCards(700));
    SetUpDatabase(tables);
    Table table;
    openCards(table);

    EXPECT_EQ(table.state(), Dataset::State::Browse);
    EXPECT_EQ(table.recordCount(), 700);
    EXPECT_EQ(table.fieldCount(), card::FieldCount);
    const QStringList names = frenchNames(table);
    ASSERT_EQ(names.size(), 700);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(names, sorted);
    QStringList unique = names;
    EXPECT_EQ(unique.removeDuplicates(), 0);

    // At the end the cursor stays readable on the last row, as callers expect.
    table.next();
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.field(card::NomFrancais).asString(), QStringLiteral("Carte 0699"));
}

TEST_F(EngineTest, EmptyTableIsAtEndAtOnce)
{
    TempTables tables;
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_TRUE(table.field(card::Dispo).isNull());
}

TEST_F(EngineTest, BlankKeySortsFirstAndKeysCompareByteForByte)
{
    TempTables tables({makeCard(QStringLiteral("elfe"), QStringLiteral("elf"), QStringLiteral("B")),
                       makeCard(QStringLiteral("Zèbre"), QStringLiteral("Zebra"), QStringLiteral("B")),
                       makeCard(QStringLiteral("Élan"), QStringLiteral("Elk"), QStringLiteral("B")),
                       makeCard(QString(), QStringLiteral("Goblin"), QStringLiteral("B")),
                       makeCard(QStringLiteral("Zombie"), QStringLiteral("Zombie"), QStringLiteral("B"))});
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    EXPECT_EQ(frenchNames(table), (QStringList{QString(), QStringLiteral("Zombie"), QStringLiteral("Zèbre"),
                                               QStringLiteral("elfe"), QStringLiteral("Élan")}));
}

// --- Writing ----------------------------------------------------------------

TEST_F(EngineTest, ResetPassEditsEveryRowOnceAndEachPostIsKept)
{
    TempTables tables(numberedCards(600));
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    int visited = 0;
    for (table.first(); !table.eof(); table.next()) {
        table.edit();
        for (int position = card::Dispo; position <= card::Cherche; ++position)
            table.field(position).setAsInteger(0);
        table.post();
        ++visited;
    }
    table.close();
    EXPECT_EQ(visited, 600);

    Query owned(&database);
    owned.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES")
                << QStringLiteral("WHERE (Dispo > 0) OR (Utilise > 0)");
    owned.open();
    EXPECT_EQ(owned.recordCount(), 0);
}

TEST_F(EngineTest, AfterPostTheCursorStaysOnTheRowAndNextFollowsInKeyOrder)
{
    TempTables tables({makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B")),
                       makeCard(QStringLiteral("C"), QStringLiteral("c"), QStringLiteral("B")),
                       makeCard(QStringLiteral("E"), QStringLiteral("e"), QStringLiteral("B"))});
    SetUpDatabase(tables);
    Table table;
    openCards(table);

    table.edit();
    table.field(card::Cote).setAsString(QStringLiteral("12.5"));
    table.post();
    EXPECT_EQ(table.state(), Dataset::State::Browse);
    EXPECT_EQ(table.field(card::NomFrancais).asString(), QStringLiteral("A"));
    EXPECT_EQ(table.field(card::Cote).asString(), QStringLiteral("12.5"));

    // A renamed key moves the row to its new place in key order.
    table.edit();
    table.field(card::NomFrancais).setAsString(QStringLiteral("D"));
    table.post();
    EXPECT_EQ(table.field(card::NomFrancais).asString(), QStringLiteral("D"));
    table.next();
    EXPECT_EQ(table.field(card::NomFrancais).asString(), QStringLiteral("E"));
    EXPECT_EQ(frenchNames(table), (QStringList{QStringLiteral("C"), QStringLiteral("D"), QStringLiteral("E")}));
}

TEST_F(EngineTest, InsertPostsANewRowAndStandsOnIt)
{
    TempTables tables({makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"))});
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    table.insert();
    EXPECT_EQ(table.state(), Dataset::State::Insert);
    table.field(card::NomFrancais).setAsString(QStringLiteral("Nouvelle"));
    table.field(card::NomAnglais).setAsString(QStringLiteral("New"));
    table.field(card::Origine).setAsString(QStringLiteral("B"));
    table.field(card::Cote).setAsString(QStringLiteral("3"));
    table.field(card::Dispo).setAsString(QStringLiteral("0"));
    table.post();
    EXPECT_EQ(table.field(card::NomFrancais).asString(), QStringLiteral("Nouvelle"));
    EXPECT_EQ(table.field(card::Cote).asFloat(), 3.0);
    EXPECT_TRUE(table.field(card::Rarete).isNull());
    EXPECT_EQ(table.recordCount(), 2);
}

TEST_F(EngineTest, RemoveMovesToTheFollowingRowAndPastTheLastToTheEnd)
{
    TempTables tables({makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B")),
                       makeCard(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("B")),
                       makeCard(QStringLiteral("C"), QStringLiteral("c"), QStringLiteral("B"))});
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    table.next();
    table.remove();
    EXPECT_EQ(table.field(card::NomFrancais).asString(), QStringLiteral("C"));
    table.remove();
    EXPECT_TRUE(table.eof());
    EXPECT_EQ(frenchNames(table), QStringList{QStringLiteral("A")});
}

TEST_F(EngineTest, EmptyTableRemovesEveryRowAndKeepsTheLayout)
{
    TempTables tables(numberedCards(20));
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    table.emptyTable();
    EXPECT_TRUE(table.eof());
    table.close();
    table.open();
    EXPECT_EQ(table.recordCount(), 0);
    EXPECT_EQ(table.fieldCount(), card::FieldCount);
    EXPECT_EQ(table.fieldName(card::Cout), QStringLiteral("Coût"));
}

TEST_F(EngineTest, PictureIsReadOnDemandAndWrittenBack)
{
    CardRow withPicture = makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"));
    withPicture.dessin = QByteArray("\xff\xd8\xff\xe0 jpeg", 9);
    TempTables tables({withPicture, makeCard(QStringLiteral("B"), QStringLiteral("b"), QStringLiteral("B"))});
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    EXPECT_EQ(table.field(card::Dessin).asBytes(), withPicture.dessin);
    table.next();
    EXPECT_TRUE(table.field(card::Dessin).isNull());
    table.edit();
    table.field(card::Dessin).setAsBytes(QByteArray("other"));
    table.post();
    table.first();
    table.next();
    EXPECT_EQ(table.field(card::Dessin).asBytes(), QByteArray("other"));
    table.first();
    EXPECT_EQ(table.field(card::Dessin).asBytes(), withPicture.dessin);
}

// --- Field forms --------------------------------------------------------------

TEST_F(EngineTest, FieldsReadAsTextIntegerAndFloat)
{
    CardRow row = makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"), 2, 1);
    struct Case {
        QVariant cote;
        QString text;
        double number;
    };
    const std::vector<Case> cases = {{12.5, QStringLiteral("12.5"), 12.5},
                                     {3.0, QStringLiteral("3"), 3.0},
                                     {0.1, QStringLiteral("0.1"), 0.1},
                                     {1500000.0, QStringLiteral("1500000"), 1500000.0},
                                     {QVariant(), QString(), 0.0}};
    std::vector<CardRow> rows;
    for (size_t i = 0; i < cases.size(); ++i) {
        row.nomFrancais = QStringLiteral("Carte %1").arg(i);
        row.cote = cases[i].cote;
        rows.push_back(row);
    }
    TempTables tables(rows);
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    for (const Case &expected : cases) {
        SCOPED_TRACE(expected.text.toStdString());
        EXPECT_EQ(table.field(card::Cote).asString(), expected.text);
        EXPECT_DOUBLE_EQ(table.field(card::Cote).asFloat(), expected.number);
        EXPECT_EQ(table.field(card::Dispo).asString(), QStringLiteral("2"));
        EXPECT_EQ(table.field(card::Utilise).asInteger(), 1);
        table.next();
    }

    table.first();
    table.next();
    EXPECT_EQ(table.field(card::Cote).asInteger(), 3); // a whole float
    table.first();
    EXPECT_FALSE(errorOf([&] { table.field(card::Cote).asInteger(); }).isEmpty());
    EXPECT_EQ(table.fieldByName(QStringLiteral("nom_FRANÇAIS")).position(), card::NomFrancais);
    EXPECT_EQ(table.fieldByName(QStringLiteral("coût")).position(), card::Cout);
    EXPECT_EQ(errorOf([&] { table.fieldByName(QStringLiteral("Prix")); }),
              QStringLiteral("Champ 'Prix' introuvable."));
    EXPECT_FALSE(errorOf([&] { table.field(card::FieldCount); }).isEmpty());
}

TEST_F(EngineTest, NumberFieldsTakeTextsOfNumbersAndRefuseOthers)
{
    TempTables tables({makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"), 2)});
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    table.edit();
    table.field(card::Cote).setAsString(QStringLiteral("12,5"));
    EXPECT_EQ(table.field(card::Cote).asFloat(), 12.5);
    table.field(card::Force).setAsString(QString());
    EXPECT_TRUE(table.field(card::Force).isNull());
    EXPECT_EQ(errorOf([&] { table.field(card::Cote).setAsString(QStringLiteral("abc")); }),
              QStringLiteral("'abc' n'est pas une valeur numérique correcte."));
    EXPECT_EQ(errorOf([&] { table.field(card::Dispo).setAsString(QStringLiteral("2.5")); }),
              QStringLiteral("'2.5' n'est pas une valeur entière correcte."));
    EXPECT_EQ(table.field(card::Dispo).asInteger(), 2); // the refused value stored nothing
    table.cancel();
    table.close();

    table.open();
    EXPECT_EQ(table.field(card::Cote).asFloat(), 1.0);
    EXPECT_FALSE(table.field(card::Force).isNull());
}

// --- Failed writes change nothing ----------------------------------------------

TEST_F(EngineTest, DuplicateKeyIsRefusedAndChangesNothing)
{
    TempTables tables({makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"), 1),
                       makeCard(QStringLiteral("C"), QStringLiteral("c"), QStringLiteral("B"), 1)});
    SetUpDatabase(tables);
    Table table;
    openCards(table);
    table.edit();
    table.field(card::NomFrancais).setAsString(QStringLiteral("C"));
    table.field(card::NomAnglais).setAsString(QStringLiteral("c"));
    table.field(card::Dispo).setAsInteger(9);
    const QString message = errorOf([&] { table.post(); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Clé en double"))) << message.toStdString();
    table.cancel();
    table.close();
    table.open();
    EXPECT_EQ(frenchNames(table), (QStringList{QStringLiteral("A"), QStringLiteral("C")}));
    table.first();
    EXPECT_EQ(table.field(card::Dispo).asInteger(), 1);
}

TEST_F(EngineTest, WritingThroughAReadOnlyConnectionIsRefused)
{
    TempTables tables({makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"), 1)});
    SetUpDatabase(tables);
    const QByteArray before = readFile(tables.cardPath());
    Table table;
    table.setUntrusted(true);
    openCards(table);
    table.edit();
    table.field(card::Dispo).setAsInteger(5);
    const QString message = errorOf([&] { table.post(); });
    EXPECT_TRUE(message.contains(QStringLiteral("est en lecture seule"))) << message.toStdString();
    EXPECT_TRUE(message.contains(tables.cardPath())) << message.toStdString();
    table.cancel();
    EXPECT_EQ(table.field(card::Dispo).asInteger(), 1);
    table.close();
    EXPECT_EQ(readFile(tables.cardPath()), before);
}

TEST_F(EngineTest, QueryResultsAreReadOnly)
{
    TempTables tables({makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"), 1)});
    SetUpDatabase(tables);
    Query query(&database);
    query.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES");
    query.open();
    EXPECT_FALSE(errorOf([&] { query.edit(); }).isEmpty());
}

// --- Opening files ----------------------------------------------------------------

TEST_F(EngineTest, TableNamesResolveWithoutRegardToCase)
{
    TempTables tables;
    SetUpDatabase(tables);
    const QString expected = tables.cardPath();
    for (const QString &name : {QStringLiteral("CARTES"), QStringLiteral("Cartes"), QStringLiteral("CARTES.DB"),
                                QStringLiteral("cartes.db")})
        EXPECT_EQ(database.resolveTable(name), expected) << name.toStdString();
    EXPECT_EQ(database.resolveTable(expected), expected);
    EXPECT_TRUE(errorOf([&] { database.resolveTable(QStringLiteral("AUTRE")); })
                    .startsWith(QStringLiteral("Table introuvable : AUTRE")));
    Database noDirectory;
    EXPECT_FALSE(errorOf([&] { noDirectory.resolveTable(QStringLiteral("CARTES")); }).isEmpty());
}

TEST_F(EngineTest, FilesThatAreNotCardTablesGiveClearMessages)
{
    TempTables tables;
    SetUpDatabase(tables);
    auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(tables.path(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    };
    auto openMessage = [&](const QString &name, const QStringList &required = {}, bool untrusted = false) {
        Table table(&database);
        table.setTableName(name);
        table.setRequiredFields(required);
        table.setUntrusted(untrusted);
        return errorOf([&] { table.open(); });
    };

    QByteArray noise(4096, '\0');
    std::mt19937 random(3);
    for (char &c : noise)
        c = char(random());
    write(QStringLiteral("BRUIT.DB"), noise);
    EXPECT_TRUE(openMessage(QStringLiteral("BRUIT.DB")).contains(QStringLiteral("n'est pas une table")));

    const QString empty = write(QStringLiteral("VIDE.DB"), QByteArray());
    EXPECT_EQ(openMessage(QStringLiteral("VIDE")),
              QStringLiteral("Le fichier « %1 » ne contient aucune table.").arg(empty));
    EXPECT_EQ(QFileInfo(empty).size(), 0); // left as it was

    writeCardTable(tables.path(QStringLiteral("AUTRE.DB")), {}, QStringLiteral("AUTRE"));
    {
        sqlite3 *db = nullptr;
        sqlite3_open(tables.path(QStringLiteral("LISTE.DB")).toUtf8().constData(), &db);
        sqlite3_exec(db, "CREATE TABLE liste (nom TEXT, prix REAL)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    EXPECT_TRUE(openMessage(QStringLiteral("LISTE"), card::fieldNames())
                    .startsWith(QStringLiteral("La table « %1 » n'a pas la structure attendue : ")
                                    .arg(tables.path(QStringLiteral("LISTE.DB")))));
    // Any file name and table name will do when the layout is right.
    EXPECT_EQ(openMessage(QStringLiteral("AUTRE"), card::fieldNames()), QString());

    // Rows are addressed by their rowid: a table without one, or whose field
    // "rowid" hides it, is refused, the user's own as well as someone else's.
    for (const QString &sql : {card::createTableSql(QStringLiteral("CARTES")) + QStringLiteral(" WITHOUT ROWID"),
                               QStringLiteral("CREATE TABLE CARTES (Nom TEXT, RowId INTEGER)")}) {
        const QString path = write(QStringLiteral("SANS.DB"), QByteArray());
        sqlite3 *db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
        sqlite3_close(db);
        for (bool untrusted : {false, true})
            EXPECT_EQ(openMessage(QStringLiteral("SANS"), {}, untrusted),
                      QStringLiteral("La table du fichier « %1 » n'a pas de numéros de ligne (rowid) : ce programme "
                                     "ne sait pas la lire.").arg(path));
    }

    EXPECT_TRUE(openMessage(QStringLiteral("ABSENTE")).startsWith(QStringLiteral("Table introuvable : ")));
    Table byPath;
    byPath.setTableName(tables.path(QStringLiteral("absente.db")));
    EXPECT_EQ(errorOf([&] { byPath.open(); }),
              QStringLiteral("Table introuvable : %1").arg(tables.path(QStringLiteral("absente.db"))));
    EXPECT_EQ(byPath.state(), Dataset::State::Inactive);
}

TEST_F(EngineTest, UntrustedFilesAreCheckedBeforeReading)
{
    TempTables tables(numberedCards(300));
    SetUpDatabase(tables);
    {
        Table table(&database);
        table.setTableName(card::TableFile);
        table.setUntrusted(true);
        table.open();
        EXPECT_EQ(table.recordCount(), 300);
    }
    // Damage a page in the middle of the file.
    QFile file(tables.cardPath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(file.size() / 2);
    file.write(QByteArray(2048, '\x5a'));
    file.close();
    Table table(&database);
    table.setTableName(card::TableFile);
    table.setUntrusted(true);
    const QString message = errorOf([&] { table.open(); });
    EXPECT_TRUE(message.contains(QStringLiteral("endommagé"))) << message.toStdString();
}

// A writer cut short leaves its journal beside the file; a file kept in WAL
// mode has its last changes beside it. Read from someone else, such a file is
// read as it was last committed, and nothing is written beside it.
TEST_F(EngineTest, UntrustedFileLeftHalfWrittenIsReadAsLastCommitted)
{
    TempTables tables(numberedCards(3000));
    QTemporaryDir received;
    const auto copyAll = [&](const QString &to) {
        for (const QString suffix : {"", "-journal", "-wal"}) {
            if (QFile::exists(tables.cardPath() + suffix))
                QFile::copy(tables.cardPath() + suffix, to + suffix);
        }
        return QDir(received.path()).entryList({QFileInfo(to).fileName() + QLatin1Char('*')});
    };
    const auto totalDispo = [](const QString &path) {
        Table table;
        table.setTableName(path);
        table.setUntrusted(true);
        table.open();
        qint64 total = 0;
        for (; !table.eof(); table.next())
            total += table.field(card::Dispo).asInteger();
        return total;
    };
    const qint64 committed = totalDispo(tables.cardPath());

    // Copied while a change is under way, its first pages already in the file.
    sqlite3 *db = nullptr;
    sqlite3_open(tables.cardPath().toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA cache_size=1; BEGIN; UPDATE CARTES SET Dispo = 50", nullptr, nullptr, nullptr);
    const QString halfWritten = received.filePath(QStringLiteral("RECU.DB"));
    const QStringList beside = copyAll(halfWritten);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    ASSERT_EQ(beside, (QStringList{QStringLiteral("RECU.DB"), QStringLiteral("RECU.DB-journal")}));
    const QByteArray before = readFile(halfWritten);
    ASSERT_NE(before, readFile(tables.cardPath()));
    EXPECT_EQ(totalDispo(halfWritten), committed);
    EXPECT_EQ(readFile(halfWritten), before);
    EXPECT_EQ(QDir(received.path()).entryList(QDir::Files), beside);
    // Where the journal cannot be played back (read-only media), the message says so.
    EXPECT_TRUE(errorOf([&] { readTableInfo(std::make_shared<SqliteConnection>(halfWritten, OpenMode::ReadOnly)); })
                    .startsWith(QStringLiteral("La table « %1 » a été laissée à moitié écrite").arg(halfWritten)));

    // A journal naming another file as the journal of a change over several
    // files has SQLite remove that file as it plays back: it is never played.
    const QString victim = received.filePath(QStringLiteral("notes.txt"));
    {
        QFile notes(victim);
        notes.open(QIODevice::WriteOnly);
        notes.write("à garder");
    }
    const QByteArray name = QFile::encodeName(victim);
    QByteArray record;
    QDataStream(&record, QIODevice::WriteOnly) << quint32(0x40000000 / 4096 + 1);
    record += name;
    QDataStream(&record, QIODevice::Append) << quint32(name.size()) << quint32(std::accumulate(name.begin(), name.end(), 0));
    QFile journal(halfWritten + QStringLiteral("-journal"));
    journal.open(QIODevice::Append);
    journal.write(record + QByteArray::fromHex("d9d505f920a163d7"));
    journal.close();
    EXPECT_TRUE(errorOf([&] { totalDispo(halfWritten); }).contains(QStringLiteral("laissé à moitié écrit")));
    EXPECT_TRUE(QFile::exists(victim));

    // WAL mode, the last change still in the WAL.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; UPDATE CARTES SET Dispo = 1", nullptr,
                 nullptr, nullptr);
    const QString inWal = received.filePath(QStringLiteral("WAL.DB"));
    const QStringList walBeside = copyAll(inWal);
    sqlite3_close(db);
    EXPECT_EQ(totalDispo(inWal), 3000);
    EXPECT_EQ(QDir(received.path()).entryList({QStringLiteral("WAL.DB*")}), walBeside);
}

// --- Connections --------------------------------------------------------------------

TEST_F(EngineTest, OneConnectionPerFileWhileHeldInWalMode)
{
    TempTables tables;
    SetUpDatabase(tables);
    auto first = Database::connect(tables.cardPath(), true);
    auto second = Database::connect(tables.dir() + QStringLiteral("/./CARTES.DB"), false);
    EXPECT_EQ(first, second);
    EXPECT_EQ(pragmaText(tables.cardPath(), "PRAGMA journal_mode"), QStringLiteral("wal"));
    std::weak_ptr<SqliteConnection> released = first;
    first.reset();
    second.reset();
    EXPECT_TRUE(released.expired());
}

TEST_F(EngineTest, StandaloneTableKeepsTheRollbackJournal)
{
    TempTables tables({makeCard(QStringLiteral("A"), QStringLiteral("a"), QStringLiteral("B"))});
    SetUpDatabase(tables);
    Table table(&database);
    table.setTableName(card::ExchangeFile);
    table.setStandalone(true);
    table.open();
    table.insert();
    table.field(card::NomFrancais).setAsString(QStringLiteral("X"));
    table.post();
    table.close();
    EXPECT_EQ(pragmaText(tables.path(card::ExchangeFile), "PRAGMA journal_mode"), QStringLiteral("delete"));
    EXPECT_FALSE(QFile::exists(tables.path(card::ExchangeFile) + QStringLiteral("-wal")));
}

TEST_F(EngineTest, DoubleQuotedTextIsNeverAColumnName)
{
    TempTables tables;
    SetUpDatabase(tables);
    auto connection = Database::connect(tables.cardPath(), false);
    const QString message = errorOf([&] {
        SqliteStatement statement(connection, QStringLiteral("SELECT * FROM CARTES WHERE \"Origine\" = \"x\""));
    });
    EXPECT_TRUE(message.contains(QStringLiteral("no such column: x"))) << message.toStdString();
}

} // namespace
