// Backups of the card table on real files: the copy made through the backup
// API and the kept-20 rule, then the whole-table commands as the user runs
// them (the copy holds the table as it was; without a copy the command goes
// on only after Yes) and the restore from the menu.
#include "app/tprincipale.h"
#include "app/trestauration.h"
#include "collection/trecherche_de_cartes.h"
#include "data/backup.h"
#include "data/database.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "exchange/tseuil.h"
#include "update/timportation.h"
#include "update/tmiseajour.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// "name:dispo:utilise:echangeable:cherche" for every row, in name order.
QStringList rowsOf(const QString &path)
{
    auto connection = std::make_shared<SqliteConnection>(path, OpenMode::ReadOnly);
    SqliteStatement select(connection, QStringLiteral("SELECT \"Nom_français\", Dispo, Utilise, Echangeable, "
                                                      "Cherche FROM CARTES ORDER BY 1"));
    StatementRun run(select);
    QStringList rows;
    while (select.step()) {
        QStringList fields{select.column(0).toString()};
        for (int i = 1; i < 5; ++i)
            fields << QString::number(select.columnInt(i));
        rows << fields.join(QLatin1Char(':'));
    }
    return rows;
}

void execSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

CardRow card(const char *name, int dispo, int utilise, int echangeable, int cherche)
{
    CardRow row = makeCard(QString::fromUtf8(name), QString::fromUtf8(name) + QStringLiteral(" EN"),
                           QStringLiteral("Alpha"), dispo, utilise);
    row.echangeable = echangeable;
    row.cherche = cherche;
    return row;
}

const QDateTime When(QDate(2026, 12, 8), QTime(14, 5, 37));

TEST(BackupFiles, CopyOfATableInWalModeStandsAloneAndOnlyTheTwentyNewestAreKept)
{
    TempTables tables{{card("Éclair", 3, 1, 0, 0), card("Forêt", 7, 0, 0, 0)}};
    const QString folder = QDir(tables.dir()).filePath(QStringLiteral("sauvegardes"));
    // A writer keeps the table in WAL mode with its change not yet checkpointed.
    auto writer = std::make_shared<SqliteConnection>(tables.cardPath(), OpenMode::Writable);
    writer->useJournal(OpenMode::Writable);
    writer->prepareToWrite();
    writer->exec(QStringLiteral("UPDATE CARTES SET Dispo = 9 WHERE Dispo = 7"));
    ASSERT_TRUE(QFileInfo::exists(tables.cardPath() + QStringLiteral("-wal")));

    const QString first = backup::makeBackup(tables.cardPath(), backup::ResetCounts, When);
    const QString second = backup::makeBackup(tables.cardPath(), backup::Threshold, When);
    EXPECT_EQ(first, QDir(folder).filePath(QStringLiteral("CARTES-2026-12-08-14h05-remise-a-zero.DB")));
    EXPECT_EQ(second, QDir(folder).filePath(QStringLiteral("CARTES-2026-12-08-14h05-seuil-2.DB")));
    EXPECT_EQ(rowsOf(first), QStringList({"Forêt:9:0:0:0", "Éclair:3:1:0:0"}));
    EXPECT_FALSE(QFileInfo::exists(first + QStringLiteral("-wal")));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2); // nothing left aside
    EXPECT_EQ(backup::ownedCopiesIn(first), 13);
    EXPECT_EQ(backup::listBackups(folder).first().path, second);

    // Made out of order: the names, not the order of making, decide.
    for (int i : {3, 21, 7, 1, 12, 2, 15, 4, 5, 6, 8, 9, 10, 11, 13, 14, 16, 17, 18, 19, 20})
        backup::makeBackup(tables.cardPath(), backup::Threshold, When.addSecs(3600 * i));
    const QList<backup::BackupFile> kept = backup::listBackups(folder);
    ASSERT_EQ(kept.size(), 20);
    EXPECT_EQ(kept.first().time, QDateTime(When.date(), QTime(14, 5)).addSecs(3600 * 21));
    EXPECT_EQ(kept.last().time, QDateTime(When.date(), QTime(14, 5)).addSecs(3600 * 2));
    // The backup about to be restored survives the copy made just before.
    backup::makeBackup(tables.cardPath(), backup::Restore, When.addSecs(3600 * 30), kept.last().path);
    EXPECT_TRUE(QFileInfo::exists(kept.last().path));
    EXPECT_EQ(backup::listBackups(folder).size(), 21);

    // A sound database of another layout is refused; the table stays as it was.
    const QString otherLayout = QDir(folder).filePath(QStringLiteral("autre.DB"));
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(otherLayout).constData(), &db);
    sqlite3_exec(db, "CREATE TABLE CARTES (Nom TEXT PRIMARY KEY, Dispo INTEGER)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    writer.reset();
    const QByteArray before = readFile(tables.cardPath());
    EXPECT_THROW(backup::restoreBackup(otherLayout, tables.cardPath()), AppError);
    // The backup is copied page by page: a trigger or a view in it would come
    // into the table, and run in any other SQLite client that opens it.
    for (const char *sql : {"CREATE TRIGGER t AFTER UPDATE ON CARTES BEGIN UPDATE CARTES SET Rarete = 'R'; END",
                            "CREATE VIEW vue AS SELECT * FROM CARTES"}) {
        const QString hostile = QDir(folder).filePath(QString::fromLatin1(sql).section(QLatin1Char(' '), 2, 2));
        ASSERT_TRUE(QFile::copy(kept.first().path, hostile));
        execSql(hostile, sql);
        EXPECT_TRUE(errorOf([&] { backup::restoreBackup(hostile, tables.cardPath()); })
                        .contains(QStringLiteral("contient un déclencheur ou une vue")));
    }
    EXPECT_EQ(readFile(tables.cardPath()), before);
}

// A copy cut short by a killed program leaves its partial file, as large as
// the table: the next copy clears such leftovers, and only those.
TEST(BackupFiles, NextCopyClearsTheCopiesLeftUnfinished)
{
    TempTables tables{{card("Éclair", 3, 1, 0, 0)}};
    const QDir folder(backup::folderFor(tables.cardPath()));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    const QStringList others{QStringLiteral("CARTES-notes.DB.partiel"), QStringLiteral("mes-cartes.partiel"),
                             QStringLiteral("CARTES-2026-12-01-09h30-seuil.DB.partiel.txt")};
    for (const QString &name : others + QStringList{QStringLiteral("CARTES-2026-12-01-09h30-remise-a-zero-2.DB.partiel"),
                                                    QStringLiteral("CARTES-2026-12-01-09h30-seuil.DB.partiel-journal")})
        QFile(folder.filePath(name)).open(QIODevice::WriteOnly);
    const QString made = backup::makeBackup(tables.cardPath(), backup::Threshold, When);
    QStringList expected = others + QStringList{QFileInfo(made).fileName()};
    expected.sort();
    EXPECT_EQ(folder.entryList(QDir::Files, QDir::Name), expected);
}

// SQLite's backup cannot change the page size of a file in WAL mode, the
// mode the program keeps its table in: such a restore was refused as if the
// table were read-only.
TEST(BackupFiles, BackupOfAnotherPageSizeIsRestoredIntoATableInWalMode)
{
    TempTables tables{{card("Éclair", 3, 1, 0, 0), card("Forêt", 7, 0, 0, 0)}};
    const QString made = backup::makeBackup(tables.cardPath(), backup::ResetCounts, When);
    execSql(made, "PRAGMA page_size=8192; VACUUM");
    auto writer = Database::connect(tables.cardPath(), true);
    writer->exec(QStringLiteral("UPDATE CARTES SET Dispo = 0"));

    // While another program reads the table, the restore is refused and
    // says why; the table stays as it was.
    sqlite3 *reader = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(tables.cardPath()).constData(), &reader), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(reader, "BEGIN; SELECT COUNT(*) FROM CARTES", nullptr, nullptr, nullptr), SQLITE_OK);
    const QStringList changed = rowsOf(tables.cardPath());
    EXPECT_TRUE(errorOf([&] { backup::restoreBackup(made, tables.cardPath()); })
                    .contains(QStringLiteral("est occupée par un autre programme")));
    EXPECT_EQ(rowsOf(tables.cardPath()), changed);
    sqlite3_close(reader);

    writer.reset();
    backup::restoreBackup(made, tables.cardPath());
    EXPECT_EQ(rowsOf(tables.cardPath()), QStringList({"Forêt:7:0:0:0", "Éclair:3:1:0:0"}));
    // The restored table takes writes, in WAL mode again.
    writer = Database::connect(tables.cardPath(), true);
    writer->exec(QStringLiteral("UPDATE CARTES SET Cherche = 2"));
    writer.reset();
    EXPECT_EQ(rowsOf(tables.cardPath()), QStringList({"Forêt:7:0:0:2", "Éclair:3:1:0:2"}));
}

class BackupCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }

    QString folder() const { return program.tables.path(QStringLiteral("sauvegardes")); }

    ScriptedDialogs dialogs;
    StartedProgram program{{card("Ange", 4, 1, 2, 1), card("Ours", 0, 2, 0, 3), card("Pie", 6, 0, 5, 0)}};
};

void runThreshold()
{
    TSeuil *seuil = windows().seuil;
    whenShown(seuil, [seuil] {
        seuil->findChild<QSpinBox *>(QStringLiteral("SpinEdit1"))->setValue(1);
        seuil->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    });
}

void runUpdate(const TempTables &tables, ScriptedDialogs &dialogs)
{
    const QString base = tables.path(QStringLiteral("MAJ"));
    for (const char *extension : {".maj", ".RNM", ".ANG", ".SUP"}) {
        QFile file(base + QLatin1String(extension));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    writeCardTable(base + QStringLiteral(".DB"), {makeCard(QStringLiteral("Loup"), QStringLiteral("Wolf"),
                                                           QStringLiteral("Alpha"), 0)});
    dialogs.files.push_back(base + QStringLiteral(".maj"));
    TMiseAJour *update = windows().miseAJour;
    update->setDesktopFile(tables.path(QStringLiteral("tabrix.txt")));
    auto *reports = new QTimer(update);
    QObject::connect(reports, &QTimer::timeout, [reports] {
        if (windows().importation->isVisible())
            windows().importation->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        if (!windows().miseAJour->isVisible())
            reports->deleteLater();
    });
    reports->start(10);
    whenShown(update, [update] {
        update->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        update->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    });
}

} // namespace

TEST_F(BackupCommandsTest, EachWholeTableCommandFirstCopiesTheTableAsItWas)
{
    const struct {
        const char *item;
        QString command;
        std::function<void()> prepare;
    } commands[] = {
        {"Seuildchange1", backup::Threshold, runThreshold},
        {"MisejourImportation1", backup::CatalogueUpdate, [this] { runUpdate(program.tables, dialogs); }},
        {"Initialiserlesechanges1", backup::ResetExchanges, [] {}},
        {"Initialiserlespossesions1", backup::ResetCounts, [] {}},
    };
    for (const auto &command : commands) {
        const QStringList before = rowsOf(program.tables.cardPath());
        dialogs.answers = {Dialogs::Answer::Yes};
        command.prepare();
        triggerMenuItem(command.item);
        const QList<backup::BackupFile> made = backup::listBackups(folder());
        ASSERT_FALSE(made.isEmpty()) << command.item;
        EXPECT_EQ(made.first().command, command.command);
        EXPECT_EQ(rowsOf(made.first().path), before) << command.item;
        EXPECT_NE(rowsOf(program.tables.cardPath()), before) << command.item;
    }
    EXPECT_EQ(backup::listBackups(folder()).size(), 4);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join(QLatin1Char('\n')));
}

TEST_F(BackupCommandsTest, WithoutABackupTheCommandGoesOnOnlyAfterYes)
{
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // the folder cannot be made
    blocker.close();
    const QStringList before = rowsOf(program.tables.cardPath());

    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::No};
    triggerMenuItem("Initialiserlespossesions1");
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_TRUE(dialogs.questions[1].text.startsWith(
        QStringLiteral("La sauvegarde de la table des cartes n'a pas pu être faite :\n")));
    EXPECT_TRUE(dialogs.questions[1].text.endsWith(QStringLiteral("\n\nVoulez-vous continuer sans sauvegarde ?")));
    EXPECT_EQ(rowsOf(program.tables.cardPath()), before);

    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    triggerMenuItem("Initialiserlespossesions1");
    EXPECT_EQ(rowsOf(program.tables.cardPath()),
              QStringList({"Ange:0:0:0:0", "Ours:0:0:0:0", "Pie:0:0:0:0"}));
}

TEST_F(BackupCommandsTest, RestoreFromTheMenuBringsTheCountsBackAndRefusesABadBackup)
{
    const QStringList before = rowsOf(program.tables.cardPath());
    dialogs.answers = {Dialogs::Answer::Yes};
    triggerMenuItem("Initialiserlespossesions1");
    ASSERT_NE(rowsOf(program.tables.cardPath()), before);
    windows().rechercheDeCartes->FormShow();
    ASSERT_FALSE(windows().rechercheDeCartes->frenchLines().isEmpty());

    // A damaged file among the backups, newer than the good one.
    const QString bad = QDir(folder()).filePath(QStringLiteral("CARTES-2099-01-01-00h00-seuil.DB"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();

    TRestauration *window = windows().restauration;
    QStringList shown;
    whenShown(window, [&] {
        for (int row = 0; row < window->liste()->topLevelItemCount(); ++row) {
            const QTreeWidgetItem *item = window->liste()->topLevelItem(row);
            shown << QStringList{item->text(0).size() == 10 ? QStringLiteral("date") : item->text(0),
                                 item->text(2), item->text(3)}.join(QLatin1Char('|'));
        }
        // The damaged one first: refused, nothing changes.
        dialogs.answers = {Dialogs::Answer::Yes};
        window->restaurer()->click();
        EXPECT_EQ(dialogs.errors.size(), 1);
        EXPECT_EQ(backup::listBackups(folder()).size(), 2);
        // Then the good one.
        window->liste()->setCurrentItem(window->liste()->topLevelItem(1));
        dialogs.answers = {Dialogs::Answer::Yes};
        window->restaurer()->click();
        window->findChild<QPushButton *>(QStringLiteral("Fermer"))->click();
    });
    triggerMenuItem("Restaurerunesauvegarde1");

    EXPECT_EQ(shown, QStringList({"date|Seuil d'échange|illisible", "date|Initialiser les possesions|13"}));
    EXPECT_EQ(rowsOf(program.tables.cardPath()), before);
    EXPECT_EQ(dialogs.errors.size(), 1);
    // The table as it was just before the restore is itself kept.
    const QList<backup::BackupFile> made = backup::listBackups(folder());
    ASSERT_EQ(made.size(), 3);
    EXPECT_EQ(made[1].command, backup::Restore); // the far-future damaged file stays first
    EXPECT_EQ(rowsOf(made[1].path), QStringList({"Ange:0:0:0:0", "Ours:0:0:0:0", "Pie:0:0:0:0"}));
    // The card entry window builds its lists again from the restored table.
    EXPECT_TRUE(windows().rechercheDeCartes->frenchLines().isEmpty());
    EXPECT_TRUE(dialogs.messages.back().text == QStringLiteral("La sauvegarde a été restaurée."));
}

// A table damaged while the program runs (every start no longer checks it
// whole): the first command that meets the damage offers the backups and
// opens the restore window, later ones name the menu item.
TEST(DamagedCardTable, FirstErrorOffersTheBackupsAndLaterOnesNameTheMenuItem)
{
    ScriptedDialogs dialogs;
    StartedProgram program(manyCards(2000));
    ASSERT_EQ(program.status, 0);
    const QString cardPath = program.tables.cardPath();
    backup::makeBackup(cardPath, backup::ResetCounts, When);
    auto classify = [&] {
        dialogs.files.push_back(program.tables.path(QStringLiteral("classement.txt")));
        triggerMenuItem("Gnrationdufichierdeclassement1");
    };

    damageMiddle(cardPath);
    TRestauration *window = windows().restauration;
    whenShown(window, [&] {
        window->liste()->setCurrentItem(window->liste()->topLevelItem(0));
        window->restaurer()->click();
        window->findChild<QPushButton *>(QStringLiteral("Fermer"))->click();
    });
    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    classify();
    ASSERT_EQ(dialogs.questions.size(), 2u); // the offer, then the restore's confirmation
    // Their Help opens the topic of the backups.
    EXPECT_EQ(dialogs.questions[0].helpContext, 20);
    EXPECT_EQ(dialogs.questions[1].helpContext, 20);
    EXPECT_TRUE(dialogs.questions[0].text.startsWith(QStringLiteral("Le fichier « %1 » est endommagé.").arg(cardPath)));
    EXPECT_TRUE(dialogs.questions[0].text.endsWith(
        QStringLiteral("Voulez-vous la remplacer maintenant par une de ses sauvegardes (« Les cartes », « Restaurer "
                       "une sauvegarde… ») ?")));
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("La sauvegarde a été restaurée."));
    classify(); // the restored table reads through
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join(QLatin1Char('\n')));

    damageMiddle(cardPath);
    classify();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].endsWith(QStringLiteral(
        "Remplacez la table des cartes par une de ses sauvegardes : « Les cartes », « Restaurer une sauvegarde… ».")));
    EXPECT_EQ(dialogs.questions.size(), 2u);
}
