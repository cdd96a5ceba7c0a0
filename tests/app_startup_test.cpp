#include "data/session.h"
#include "app/startup.h"
#include "app/startup_config.h"
#include "ui/taboutbox.h"
#include "app/tprincipale.h"
#include "ui/windows.h"
#include "collection/trecherche_de_cartes.h"
#include "data/card_table.h"
#include "paradox/paradox_table.h"
#include "tools/paradox_writer.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

namespace {

void writeText(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

std::vector<CardRow> twoCards()
{
    return {makeCard("Ange", "Angel", "Alpha", 1, 0), makeCard("Bête", "Beast", "Beta")};
}

// One start-up: a configuration file, a default directory and an
// executable directory, each in its own temporary directory.
class StartupTest : public ::testing::Test
{
protected:
    StartupOptions options() const
    {
        StartupOptions o;
        o.configurationFile = QDir(config.path()).filePath(QStringLiteral("TABRIX.INI"));
        o.defaultDirectory = QDir(defaults.path()).filePath(QStringLiteral("tabrix"));
        o.executableDir = executable.path();
        o.helpFile = QStringLiteral(TABRIX_BIN_DIR "/AIDE.HLP");
        return o;
    }
    void writeIni(const QString &path) const
    {
        writeText(options().configurationFile, "[CONFIGURATION]\r\nPATH=" + path.toUtf8() + "\r\n");
    }
    void TearDown() override { shutDown(); }

    QTemporaryDir config;
    QTemporaryDir defaults;
    QTemporaryDir executable;
    ScriptedDialogs dialogs;
};

} // namespace

TEST(StartupConfigTest, ReadsPathAsAWindowsIniFileDoes)
{
    QTemporaryDir dir;
    const QString fallback = QStringLiteral("/nulle/part");
    int files = 0;
    // Each case in a file of its own: the settings layer caches a file by name.
    auto directoryFrom = [&](const QByteArray &content) {
        const QString ini = dir.filePath(QStringLiteral("TABRIX%1.INI").arg(++files));
        writeText(ini, content);
        return startup::readDatabaseDirectory(ini, fallback);
    };

    EXPECT_EQ(startup::readDatabaseDirectory(dir.filePath(QStringLiteral("ABSENT.INI")), fallback), fallback);
    EXPECT_EQ(directoryFrom("; réglages\r\n[CONFIGURATION]\r\nPATH=C:\\TABRIX\\Cartes, 2001\r\n"),
              QStringLiteral("C:\\TABRIX\\Cartes, 2001"));
    EXPECT_EQ(directoryFrom("[Configuration]\npath = /home/moi/mes cartes \nPATH=/ignoré\n"),
              QStringLiteral("/home/moi/mes cartes"));
    EXPECT_EQ(directoryFrom("[CONFIGURATION]\nPATH=\"/home/moi/cartes ; 2\"\n"),
              QStringLiteral("/home/moi/cartes ; 2"));
    EXPECT_EQ(directoryFrom("[AUTRE]\nPATH=/ailleurs\n"), fallback); // no key in the section
    EXPECT_EQ(directoryFrom("[CONFIGURATION]\nPATH=/r\xe9pertoire\n"), // written on Windows, cp1252
              QStringLiteral("/répertoire"));

    const QString longPath = QStringLiteral("/") + QString(300, QLatin1Char('x'));
    EXPECT_EQ(directoryFrom("[CONFIGURATION]\nPATH=" + longPath.toUtf8() + "\n"), longPath.left(255));
    EXPECT_EQ(startup::readDatabaseDirectory(dir.filePath(QStringLiteral("ABSENT.INI")), longPath),
              longPath.left(255));

    Session session;
    session.setDatabaseDirectory(longPath);
    EXPECT_EQ(session.databaseDirectory().size(), 255);
    EXPECT_EQ(session.database1.params(), QStringList{QStringLiteral("PATH=") + longPath.left(255)});
}

TEST(StartupConfigTest, TabrixIniNamesTheConfigurationFile)
{
    const QByteArray saved = qgetenv("TABRIX_INI");
    qputenv("TABRIX_INI", "/tmp/essai/MON.INI");
    EXPECT_EQ(startup::configurationFile(), QStringLiteral("/tmp/essai/MON.INI"));
    qunsetenv("TABRIX_INI");
    EXPECT_TRUE(startup::configurationFile().endsWith(QStringLiteral("tabrix/TABRIX.INI")));
    if (!saved.isEmpty())
        qputenv("TABRIX_INI", saved);
}

TEST(StartupConfigTest, FallsBackToTheExecutableDirectoryWhenTheTableIsMissing)
{
    TempTables configured;
    QTemporaryDir empty;
    const QString exe = QStringLiteral("/opt/tabrix-2/bin");

    auto choice = startup::chooseDatabaseDirectory(configured.dir(), exe);
    EXPECT_EQ(choice.directory, configured.dir());
    EXPECT_FALSE(choice.fallback);

    choice = startup::chooseDatabaseDirectory(empty.path(), exe);
    EXPECT_EQ(choice.directory, exe); // the real directory, whatever the executable's name
    EXPECT_TRUE(choice.fallback);
    EXPECT_FALSE(choice.configuredIsFile);

    choice = startup::chooseDatabaseDirectory(configured.cardPath(), exe);
    EXPECT_TRUE(choice.fallback);
    EXPECT_TRUE(choice.configuredIsFile);

    // The table name is matched without regard to letter case, as the engine does.
    QFile::rename(configured.cardPath(), configured.path(QStringLiteral("cartes.db")));
    EXPECT_FALSE(startup::chooseDatabaseDirectory(configured.dir(), exe).fallback);
}

TEST(StartupConfigTest, ExecutableDirectoryIsTheRealOne)
{
    EXPECT_EQ(startup::executableDirectory(),
              QDir::toNativeSeparators(QFileInfo(QStringLiteral(TABRIX_BIN_DIR)).canonicalFilePath()));
}

TEST_F(StartupTest, NoConfigurationFileUsesTheDefaultDirectory)
{
    ASSERT_TRUE(QDir().mkpath(options().defaultDirectory));
    writeCardTable(QDir(options().defaultDirectory).filePath(QStringLiteral("CARTES.DB")), twoCards());

    ASSERT_EQ(startUp(options()), 0);

    EXPECT_EQ(windows().session->databaseDirectory(), options().defaultDirectory);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_FALSE(QFile::exists(options().configurationFile)); // nothing written back
}

TEST_F(StartupTest, CreatesEveryWindowOnceAndEndsTheSplash)
{
    TempTables tables(twoCards());
    writeIni(tables.dir());

    ASSERT_EQ(startUp(options()), 0);

    const Windows &w = windows();
    ASSERT_NE(w.principale, nullptr);
    EXPECT_NE(w.progression, nullptr);
    EXPECT_NE(w.analyse, nullptr);
    EXPECT_NE(w.analyseDefilement, nullptr);
    EXPECT_NE(w.evaluation, nullptr);
    EXPECT_NE(w.inventaire, nullptr);
    EXPECT_NE(w.multiples, nullptr);
    EXPECT_NE(w.choixEdition, nullptr);
    EXPECT_NE(w.visualisation, nullptr);
    EXPECT_EQ(w.session->databaseDirectory(), tables.dir());
    EXPECT_EQ(w.session->database1.params(), QStringList{QStringLiteral("PATH=") + tables.dir()});
    EXPECT_FALSE(w.session->editionSelected());
    EXPECT_FALSE(w.session->table.isOpen());
    // The card entry lists were filled under the splash.
    ASSERT_NE(w.rechercheDeCartes, nullptr);
    EXPECT_EQ(w.rechercheDeCartes->frenchLines().size(), 2);
    // The splash is over: the about box is ready to be shown with its OK button.
    ASSERT_NE(w.aboutBox, nullptr);
    EXPECT_FALSE(w.aboutBox->isVisible());
    EXPECT_FALSE(w.aboutBox->okButton()->isHidden());
    EXPECT_TRUE(w.aboutBox->progression()->isHidden());
    EXPECT_FALSE(w.principale->isVisible()); // shown by the event loop's start
}

TEST_F(StartupTest, ConfiguredDirectoryWithoutTableFallsBackBesideTheExecutable)
{
    QTemporaryDir emptyDir;
    writeIni(emptyDir.path());
    const QByteArray iniBefore = readFile(options().configurationFile);
    writeCardTable(QDir(executable.path()).filePath(QStringLiteral("CARTES.DB")), twoCards());

    ASSERT_EQ(startUp(options()), 0);

    EXPECT_EQ(windows().session->databaseDirectory(), executable.path());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(readFile(options().configurationFile), iniBefore);
}

TEST_F(StartupTest, NoTableAnywhereShowsTheStartupMessageAndFails)
{
    QTemporaryDir emptyDir;
    writeIni(emptyDir.path());

    const int status = startUp(options());

    EXPECT_NE(status, 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Attention, impossible de trouver les bases de données. Vérifiez que le fichier ")
                  + QDir::toNativeSeparators(options().configurationFile)
                  + QStringLiteral(" référence bien le repertoire où le programme est installé."));
    EXPECT_EQ(dialogs.messages[0].helpContext, 2);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(windows().principale, nullptr);
    EXPECT_EQ(windows().aboutBox, nullptr); // no splash either
}

TEST_F(StartupTest, PathNamingAFileIsExplainedThenTheExecutableDirectoryIsUsed)
{
    TempTables tables(twoCards());
    writeIni(tables.cardPath());
    writeCardTable(QDir(executable.path()).filePath(QStringLiteral("CARTES.DB")), twoCards());

    ASSERT_EQ(startUp(options()), 0);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("non un répertoire")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(tables.cardPath()));
    EXPECT_EQ(windows().session->databaseDirectory(), executable.path());
}

TEST_F(StartupTest, PathNamingAFileWithNoTableBesideTheExecutableFails)
{
    TempTables tables(twoCards());
    writeIni(tables.cardPath());

    EXPECT_NE(startUp(options()), 0);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(QStringLiteral("Attention, impossible de trouver")));
    EXPECT_EQ(windows().principale, nullptr);
}

TEST_F(StartupTest, UnreadableCardTableEndsWithTheEngineMessage)
{
    const std::vector<std::pair<const char *, std::function<void(const QString &)>>> cases = {
        {"random bytes", [](const QString &path) { writeText(path, QByteArray(4096, 'Z') + "pas une table"); }},
        {"empty file", [](const QString &path) { writeText(path, QByteArray()); }},
        {"another layout",
         [](const QString &path) {
             sqlite3 *db = nullptr;
             ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
             sqlite3_exec(db, "CREATE TABLE CARTES (Nom TEXT PRIMARY KEY, Prix REAL);"
                              "INSERT INTO CARTES VALUES ('Ange', 2.5);", nullptr, nullptr, nullptr);
             sqlite3_close(db);
         }},
        {"middle pages overwritten",
         [](const QString &path) {
             writeCardTable(path, manyCards(2000));
             damageMiddle(path);
         }},
    };
    for (const auto &[what, make] : cases) {
        SCOPED_TRACE(what);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("CARTES.DB"));
        make(path);
        const QByteArray before = readFile(path);
        writeIni(dir.path());
        // A good table beside the executable must not hide the bad one.
        writeCardTable(QDir(executable.path()).filePath(QStringLiteral("CARTES.DB")), twoCards());
        dialogs.errors.clear();

        EXPECT_NE(startUp(options()), 0);

        ASSERT_EQ(dialogs.errors.size(), 1);
        EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("CARTES.DB"))) << dialogs.errors[0].toStdString();
        EXPECT_EQ(windows().principale, nullptr);
        EXPECT_EQ(readFile(path), before);
    }
}

namespace {

// An installed program's layout on real directories: PREFIX/bin holds the
// executable and nothing else, PREFIX/share/tabrix the demo tables.
struct InstalledLayout {
    QTemporaryDir prefix;
    QString bin() const { return QDir(prefix.path()).filePath(QStringLiteral("bin")); }
    QString shared() const { return QDir(prefix.path()).filePath(QStringLiteral("share/tabrix")); }
    InstalledLayout(bool withTables)
    {
        QDir().mkpath(bin());
        QDir().mkpath(shared());
        if (withTables) {
            writeCardTable(QDir(shared()).filePath(QStringLiteral("CARTES.DB")), twoCards());
            writeText(QDir(shared()).filePath(QStringLiteral("ECHANGE.DB")), readFile(TABRIX_BIN_DIR "/ECHANGE.DB"));
        }
    }
};

} // namespace

TEST_F(StartupTest, InstalledProgramStartsOnItsOwnCopyOfTheSharedTables)
{
    InstalledLayout installed(true);
    StartupOptions o = options();
    o.executableDir = installed.bin();
    o.sharedDataDir = startup::sharedDataDirectory(installed.bin());
    ASSERT_EQ(o.sharedDataDir, QFileInfo(installed.shared()).canonicalFilePath());
    const QString sharedCards = QDir(installed.shared()).filePath(QStringLiteral("CARTES.DB"));
    const QString userCards = QDir(o.defaultDirectory).filePath(QStringLiteral("CARTES.DB"));
    const QByteArray sharedBefore = readFile(sharedCards);

    ASSERT_EQ(startUp(o), 0);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(windows().session->databaseDirectory(), o.defaultDirectory);
    EXPECT_TRUE(QFileInfo(userCards).isFile());
    const QString userExchange = QDir(o.defaultDirectory).filePath(QStringLiteral("ECHANGE.DB"));
    EXPECT_TRUE(QFileInfo::exists(userExchange));
    EXPECT_TRUE(QFileInfo(userCards).permissions() & QFileDevice::WriteOwner);
    EXPECT_EQ(readFile(sharedCards), sharedBefore);
    EXPECT_EQ(QDir(installed.shared()).entryList(QDir::Files),
              (QStringList{QStringLiteral("CARTES.DB"), QStringLiteral("ECHANGE.DB")}));

    // Once the user has his card table, nothing is copied again.
    shutDown();
    ASSERT_TRUE(QFile::remove(userExchange));
    ASSERT_EQ(startUp(o), 0);
    EXPECT_EQ(windows().session->databaseDirectory(), o.defaultDirectory);
    EXPECT_FALSE(QFileInfo::exists(userExchange));
    EXPECT_EQ(readFile(sharedCards), sharedBefore);

    // The user's own exchange table is never replaced by the shared one.
    QTemporaryDir other;
    writeText(QDir(other.path()).filePath(QStringLiteral("echange.db")), "mes échanges");
    EXPECT_EQ(startup::userCopyOfSharedTables(installed.shared(), other.path()), other.path());
    EXPECT_EQ(readFile(QDir(other.path()).filePath(QStringLiteral("echange.db"))), QByteArray("mes échanges"));
    EXPECT_EQ(QDir(other.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("CARTES.DB"), QStringLiteral("echange.db")}));
}

TEST_F(StartupTest, InstalledProgramWithNoTableAnywhereStillShowsTheStartupMessage)
{
    InstalledLayout installed(false);
    StartupOptions o = options();
    o.executableDir = installed.bin();
    o.sharedDataDir = startup::sharedDataDirectory(installed.bin());

    EXPECT_NE(startUp(o), 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Attention, impossible de trouver")));
    EXPECT_FALSE(QFileInfo::exists(QDir(o.defaultDirectory).filePath(QStringLiteral("CARTES.DB"))));
    // The build tree has no share/tabrix beside its bin folder.
    EXPECT_TRUE(startup::sharedDataDirectory(QStringLiteral(TABRIX_BIN_DIR)).isEmpty());
}

// A Paradox CARTES.DB: No ends the program with nothing changed; Yes
// converts it, keeps the original beside it, and the program starts on it.
TEST_F(StartupTest, ParadoxCardTableIsConvertedOnlyWithLeave)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("CARTES.DB"));
    std::vector<std::vector<QVariant>> rows;
    for (const CardRow &card : twoCards())
        rows.push_back(paradoxCardRow(card));
    writeParadoxTable(path, paradoxCardFields(), rows, 850, card::KeyFieldCount, false);
    const QByteArray original = readFile(path);
    writeIni(dir.path());
    writeCardTable(QDir(executable.path()).filePath(QStringLiteral("CARTES.DB")), twoCards());

    dialogs.answers = {Dialogs::Answer::No};
    EXPECT_NE(startUp(options()), 0);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_TRUE(dialogs.questions[0].text.contains(QStringLiteral("ancien format Paradox")));
    EXPECT_EQ(dialogs.questions[0].helpContext, 23); // its Help: the topic of the conversion
    EXPECT_EQ(windows().principale, nullptr);
    EXPECT_EQ(readFile(path), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("CARTES.DB")});

    dialogs.answers = {Dialogs::Answer::Yes};
    ASSERT_EQ(startUp(options()), 0);
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(windows().session->databaseDirectory(), dir.path());
    EXPECT_EQ(readFile(path + QStringLiteral(".paradox")), original);
    EXPECT_EQ(tableFileFormat(path), TableFileFormat::Sqlite);
    windows().session->table.open();
    EXPECT_EQ(windows().session->table.recordCount(), int(twoCards().size()));
}

// A damaged Paradox CARTES.DB: the helper refuses it, its message is shown,
// the program ends, and the folder holds the table as it was and nothing else.
TEST_F(StartupTest, DamagedParadoxCardTableIsRefusedAndLeftAsItWas)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("CARTES.DB"));
    std::vector<std::vector<QVariant>> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back(paradoxCardRow(makeCard(QStringLiteral("Carte %1").arg(i), QStringLiteral("Card %1").arg(i),
                                               QStringLiteral("Base"))));
    writeParadoxTable(path, paradoxCardFields(), rows, 850, card::KeyFieldCount, false);
    QFile file(path);
    ASSERT_TRUE(file.resize(file.size() - 3000));
    const QByteArray damaged = readFile(path);
    writeIni(dir.path());

    dialogs.answers = {Dialogs::Answer::Yes};
    EXPECT_NE(startUp(options()), 0);
    EXPECT_EQ(windows().principale, nullptr);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QDir::toNativeSeparators(path))) << qPrintable(dialogs.errors[0]);
    EXPECT_EQ(readFile(path), damaged);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("CARTES.DB")});
}
