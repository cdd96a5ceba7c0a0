#include "app/startup.h"
#include "app/tprincipale.h"
#include "data/card_table.h"
#include "data/error.h"
#include "data/session.h"
#include "data/table.h"
#include "exchange/exchange_table.h"
#include "paradox/table_file_format.h"
#include "ui/windows.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"
#include "tools/paradox_writer.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

namespace {

std::vector<CardRow> someCollection()
{
    CardRow offered = exchangeCard(QStringLiteral("Ange d'été"), QStringLiteral("Alpha"), 6, 1, 2, 0);
    offered.cote = 12.5;
    offered.rarete = QStringLiteral("R");
    offered.couleur = QStringLiteral("Bla");
    offered.cout = QStringLiteral("3WW");
    offered.force = 4;
    offered.endurance = QVariant();
    offered.dessin = QByteArray("\xff\xd8 picture", 10);
    CardRow wanted = exchangeCard(QStringLiteral("Bête"), QStringLiteral("Beta"), 0, 2, 0, 3);
    wanted.cote = QVariant();
    CardRow land = exchangeCard(QStringLiteral("Forêt"), QStringLiteral("Alpha"), 20, 0, 4, 0);
    land.type = QStringLiteral("Ter");
    return {offered, wanted, land, exchangeCard(QStringLiteral("Dague"), QStringLiteral("Alpha"), 3, 0, 0, 0)};
}

// Every field of every row, as text, in key order.
QStringList rowsOf(const QString &path)
{
    Table table;
    table.setTableName(path);
    table.setUntrusted(true);
    table.open();
    QStringList rows;
    for (; !table.eof(); table.next()) {
        QStringList fields;
        for (int position = 0; position < table.fieldCount(); ++position)
            fields << (table.field(position).isNull() ? QStringLiteral("NULL") : table.field(position).asString());
        rows << fields.join(QLatin1Char('|'));
    }
    table.close();
    return rows;
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(ExchangeTableTest, WritesEveryOfferedOrWantedRowWithoutAvailableCopiesOrPicture)
{
    TempTables tables(someCollection());
    writeCardTable(tables.path(card::ExchangeFile), {exchangeCard(QStringLiteral("Ancienne"), QStringLiteral("Z"), 1, 0, 1, 0)},
                   QStringLiteral("ECHANGE"));
    Session session;
    session.setDatabaseDirectory(tables.dir());
    EXPECT_EQ(exchange::writeSessionExchangeTable(session), 3);

    const QString path = tables.path(card::ExchangeFile);
    EXPECT_EQ(rowsOf(path), (QStringList{
                                QStringLiteral("Ange d'été|Ange d'été EN|Alpha|R|12.5|Bla|3WW|4|NULL|Inv|0|1|2|0|NULL"),
                                QStringLiteral("Bête|Bête EN|Beta|C|NULL|Ver|1G|1|1|Inv|0|2|0|3|NULL"),
                                QStringLiteral("Forêt|Forêt EN|Alpha|C|1|Ver|1G|1|1|Ter|0|0|4|0|NULL"),
                            }));
    // One self-contained file with a rollback journal: nothing beside it.
    const QByteArray bytes = readFile(path);
    ASSERT_GT(bytes.size(), 20);
    EXPECT_EQ(bytes[18], 1);
    EXPECT_EQ(bytes[19], 1);
    EXPECT_EQ(filesIn(tables.dir()), (QStringList{QStringLiteral("CARTES.DB"), QStringLiteral("ECHANGE.DB")}));
}

TEST(ExchangeTableTest, EditionSelectionWritesOnlyThatEditionAndNothingOfferedEmptiesTheTable)
{
    TempTables tables(someCollection());
    Session session;
    session.setDatabaseDirectory(tables.dir());
    session.selectEdition(QStringLiteral("Beta"));
    EXPECT_EQ(exchange::writeSessionExchangeTable(session), 1);
    EXPECT_EQ(rowsOf(tables.path(card::ExchangeFile)).join('\n').section('|', 0, 0), QStringLiteral("Bête"));
    session.selectEdition(QStringLiteral("Gamma"));
    EXPECT_EQ(exchange::writeSessionExchangeTable(session), 0);
    EXPECT_TRUE(rowsOf(tables.path(card::ExchangeFile)).isEmpty());
}

// What the writer meets is named, and a table that cannot serve comes with
// the way to a fresh one: the empty table installed with the program.
TEST(ExchangeTableTest, UnusableExchangeTableIsRefusedAndNothingIsTouched)
{
    struct Case {
        const char *name;
        std::function<void(const QString &path)> spoil;
        const char *message;
        bool replaceable = true;
    };
    sqlite3 *holder = nullptr;
    const std::vector<Case> cases = {
        {"missing", [](const QString &path) { QFile::remove(path); }, "introuvable"},
        {"read-only",
         [](const QString &path) { QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup); },
         "lecture seule", false},
        {"locked",
         [&holder](const QString &path) {
             sqlite3_open(QFile::encodeName(path).constData(), &holder);
             sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
         },
         "verrouillée", false},
        {"Paradox table of the older program",
         [](const QString &path) {
             QFile::remove(path);
             writeParadoxTable(path, paradoxCardFields(), {}, 850, card::KeyFieldCount, false);
         },
         "est une table Paradox de l'ancien programme"},
        {"foreign layout",
         [](const QString &path) {
             QFile::remove(path);
             sqlite3 *db = nullptr;
             sqlite3_open(QFile::encodeName(path).constData(), &db);
             sqlite3_exec(db, "CREATE TABLE ECHANGE (Nom TEXT, Prix REAL); INSERT INTO ECHANGE VALUES ('x', 1)",
                          nullptr, nullptr, nullptr);
             sqlite3_close(db);
         },
         "n'a pas la forme"},
        {"not a table file",
         [](const QString &path) {
             QFile file(path);
             file.open(QIODevice::WriteOnly | QIODevice::Truncate);
             file.write(QByteArray(4096, 'x'));
         },
         "n'est pas une table (ni SQLite ni Paradox)"},
    };
    TempTables installed;
    const QString fresh = installed.path(card::ExchangeFile);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempTables tables(someCollection());
        const QString path = tables.path(card::ExchangeFile);
        c.spoil(path);
        const QByteArray cardsBefore = readFile(tables.cardPath());
        const QByteArray exchangeBefore = readFile(path);
        const QStringList filesBefore = filesIn(tables.dir());
        Session session;
        session.setDatabaseDirectory(tables.dir());
        try {
            exchange::writeSessionExchangeTable(session, fresh);
            ADD_FAILURE() << "written";
        } catch (const AppError &e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message))) << qPrintable(e.message());
            EXPECT_EQ(e.message().contains(QStringLiteral("copiez à sa place la table d'échange vide installée avec "
                                                          "le programme : « %1 »")
                                               .arg(QDir::toNativeSeparators(fresh))),
                      c.replaceable)
                << qPrintable(e.message());
        }
        if (holder) {
            sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(holder);
            holder = nullptr;
        }
        EXPECT_EQ(readFile(tables.cardPath()), cardsBefore);
        EXPECT_EQ(readFile(path), exchangeBefore);
        EXPECT_EQ(filesIn(tables.dir()), filesBefore);
    }
}

TEST(ExchangeTableTest, FailureWhileWritingLeavesThePreviousTable)
{
    std::vector<CardRow> rows = someCollection();
    CardRow bad = exchangeCard(QStringLiteral("Zèbre"), QStringLiteral("Alpha"), 5, 0, 1, 0);
    rows.push_back(bad);
    TempTables tables(rows);
    // The last row stored holds a price that is not a number.
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(tables.cardPath()).constData(), &db);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE CARTES SET Cote = 'douze' WHERE Dispo = 5", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const QString path = tables.path(card::ExchangeFile);
    writeCardTable(path, {exchangeCard(QStringLiteral("Ancienne"), QStringLiteral("Z"), 1, 0, 1, 0)},
                   QStringLiteral("ECHANGE"));
    const QByteArray before = readFile(path);
    Session session;
    session.setDatabaseDirectory(tables.dir());
    EXPECT_THROW(exchange::writeSessionExchangeTable(session), AppError);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(filesIn(tables.dir()), (QStringList{QStringLiteral("CARTES.DB"), QStringLiteral("ECHANGE.DB")}));
    EXPECT_FALSE(session.table.isOpen());
}

TEST(ExchangeTableTest, MenuItemWritesTheTableAndSaysWhereItIs)
{
    ScriptedDialogs dialogs;
    StartedProgram program(someCollection());
    ASSERT_EQ(program.status, 0);
    auto *principale = static_cast<TPrincipale *>(windows().principale);
    principale->findChild<QAction *>(QStringLiteral("Genererfichierdesechanges1"))->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join('\n'));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Le fichier des échanges %1 est prêt : 3 cartes à échanger.")
                  .arg(QDir::toNativeSeparators(program.tables.path(card::ExchangeFile))));
    EXPECT_EQ(dialogs.messages[0].helpContext, 16);
    EXPECT_EQ(rowsOf(program.tables.path(card::ExchangeFile)).size(), 3);

    // A failure is one error box and no success message.
    QFile::remove(program.tables.path(card::ExchangeFile));
    principale->findChild<QAction *>(QStringLiteral("Genererfichierdesechanges1"))->trigger();
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

// A table kept in a synced folder through a link: the folder gets the new
// table and the link stays a link; a link whose folder is gone says so.
TEST(ExchangeTableTest, WritesThroughASymbolicLinkIntoTheFolderItLeadsTo)
{
    TempTables tables(someCollection());
    QTemporaryDir synced;
    const QString real = QDir(synced.path()).filePath(QStringLiteral("echange-partage.db"));
    ASSERT_TRUE(QFile::rename(tables.path(card::ExchangeFile), real));
    const QString link = tables.path(card::ExchangeFile);
    ASSERT_TRUE(QFile::link(real, link));
    Session session;
    session.setDatabaseDirectory(tables.dir());

    EXPECT_EQ(exchange::writeSessionExchangeTable(session), 3);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), real);
    EXPECT_EQ(rowsOf(real).size(), 3);
    EXPECT_EQ(filesIn(synced.path()), QStringList{QStringLiteral("echange-partage.db")});
    EXPECT_EQ(filesIn(tables.dir()), (QStringList{QStringLiteral("CARTES.DB"), QStringLiteral("ECHANGE.DB")}));

    ASSERT_TRUE(QFile::remove(real));
    try {
        exchange::writeSessionExchangeTable(session);
        ADD_FAILURE() << "written";
    } catch (const AppError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("est un lien vers « %1 », qui est introuvable")
                                             .arg(QDir::toNativeSeparators(real))))
            << qPrintable(e.message());
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

// A writer killed while it wrote leaves its copy of the table and the copy's
// journal: the next writing clears them, and nothing of another name, nor
// the copy of a writer that still holds the table.
TEST(ExchangeTableTest, CopiesLeftByAKilledWriterAreClearedAtTheNextWriting)
{
    TempTables tables(someCollection());
    const QString exchangePath = tables.path(card::ExchangeFile);
    const QStringList leftovers = QStringLiteral(".ECHANGE.DB.qWeRtY .ECHANGE.DB.qWeRtY-journal .ECHANGE.DB.AbCdEf")
                                      .split(' ');
    const QStringList others = QStringLiteral(".CARTES.DB.qWeRtY .ECHANGE.DB.abc .ECHANGE.DB.AbCd3f "
                                              ".ECHANGE.DB.qWeRtY.garde ECHANGE.DB.qWeRtY .ECHANGE.DB.paradox")
                                   .split(' ');
    for (const QString &name : leftovers + others)
        ASSERT_TRUE(QFile::copy(exchangePath, tables.path(name)));
    ASSERT_TRUE(QFile::link(tables.cardPath(), tables.path(QStringLiteral(".ECHANGE.DB.LiEnLi"))));
    Session session;
    session.setDatabaseDirectory(tables.dir());

    // While another writer holds the table, its copies may be in use.
    sqlite3 *holder = nullptr;
    sqlite3_open(QFile::encodeName(exchangePath).constData(), &holder);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_THROW(exchange::writeSessionExchangeTable(session), AppError);
    sqlite3_close(holder);
    EXPECT_EQ(filesIn(tables.dir()).size(), 2 + leftovers.size() + others.size() + 1);

    EXPECT_EQ(exchange::writeSessionExchangeTable(session), 3);
    QStringList expected = others + QStringList{QStringLiteral(".ECHANGE.DB.LiEnLi"), card::TableFile, card::ExchangeFile};
    expected.sort();
    EXPECT_EQ(filesIn(tables.dir()), expected);
}

namespace {

void writeParadoxCards(const QString &path, const std::vector<CardRow> &cards)
{
    std::vector<std::vector<QVariant>> rows;
    for (const CardRow &card : cards)
        rows.push_back(paradoxCardRow(card));
    writeParadoxTable(path, paradoxCardFields(), rows, 850, card::KeyFieldCount, false);
}

} // namespace

// A collector coming from the older program brings a Paradox ECHANGE.DB
// beside the Paradox CARTES.DB: one question converts both, and the exchange
// table is then written. A Paradox ECHANGE.DB beside a card table converted
// earlier is offered alone; No lets the program start, and the writer then
// says what the table is and where a fresh one is.
TEST(ExchangeTableTest, ParadoxExchangeTableIsConvertedAtStartUpSoThatItCanBeWritten)
{
    ScriptedDialogs dialogs;
    QTemporaryDir dir, config;
    TempTables installed;
    StartupOptions options;
    options.configurationFile = QDir(config.path()).filePath(QStringLiteral("TABRIX.INI"));
    options.defaultDirectory = dir.path();
    options.executableDir = installed.dir();
    options.helpFile = QStringLiteral(TABRIX_BIN_DIR "/AIDE.HLP");
    const QString cards = QDir(dir.path()).filePath(card::TableFile);
    const QString exchangePath = QDir(dir.path()).filePath(card::ExchangeFile);
    writeParadoxCards(cards, someCollection());
    writeParadoxCards(exchangePath, {exchangeCard(QStringLiteral("Ancienne"), QStringLiteral("Z"), 0, 0, 1, 0)});
    const QByteArray oldExchange = readFile(exchangePath);

    dialogs.answers = {Dialogs::Answer::Yes};
    ASSERT_EQ(startUp(options), 0);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(dialogs.questions[0].text.contains(QDir::toNativeSeparators(cards)));
    EXPECT_TRUE(dialogs.questions[0].text.contains(QDir::toNativeSeparators(exchangePath)));
    EXPECT_EQ(tableFileFormat(exchangePath), TableFileFormat::Sqlite);
    EXPECT_EQ(readFile(exchangePath + QStringLiteral(".paradox")), oldExchange);
    triggerMenuItem("Genererfichierdesechanges1");
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join('\n'));
    EXPECT_EQ(rowsOf(exchangePath).size(), 3);
    shutDown();

    // The card table converted earlier, the exchange table left behind.
    ASSERT_TRUE(QFile::remove(exchangePath));
    ASSERT_TRUE(QFile::rename(exchangePath + QStringLiteral(".paradox"), exchangePath));
    dialogs.questions.clear();
    dialogs.answers = {Dialogs::Answer::No};
    ASSERT_EQ(startUp(options), 0);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(dialogs.questions[0].text.startsWith(QStringLiteral("La table d'échange %1 est dans l'ancien format")
                                                         .arg(QDir::toNativeSeparators(exchangePath))));
    triggerMenuItem("Genererfichierdesechanges1");
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QDir::toNativeSeparators(installed.path(card::ExchangeFile))));
    EXPECT_EQ(readFile(exchangePath), oldExchange);
    shutDown();

    dialogs.answers = {Dialogs::Answer::Yes};
    ASSERT_EQ(startUp(options), 0);
    triggerMenuItem("Genererfichierdesechanges1");
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(rowsOf(exchangePath).size(), 3);
    shutDown();
}
