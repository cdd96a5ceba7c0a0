// Backups of the card table on real files: the copy made through the backup
// API, the kept-20 rule, and the restore with its refusal of a bad file.
#include "data/backup.h"
#include "data/card_table.h"
#include "data/database.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "tests/support/temp_tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

const QDateTime When(QDate(2026, 12, 8), QTime(14, 5, 37));

// "name:dispo:utilise" for every row, in key order.
QStringList rowsOf(const QString &path)
{
    auto connection = std::make_shared<SqliteConnection>(path, OpenMode::ReadOnly);
    SqliteStatement select(connection,
                           QStringLiteral("SELECT \"Nom_français\", Dispo, Utilise FROM CARTES ORDER BY 1"));
    StatementRun run(select);
    QStringList rows;
    while (select.step())
        rows << QStringLiteral("%1:%2:%3").arg(select.column(0).toString()).arg(select.columnInt(1)).arg(select.columnInt(2));
    return rows;
}

void setDispo(const QString &path, const QString &name, int dispo)
{
    auto connection = std::make_shared<SqliteConnection>(path, OpenMode::Writable);
    SqliteStatement update(connection, QStringLiteral("UPDATE CARTES SET Dispo = ? WHERE \"Nom_français\" = ?"));
    update.bind(1, dispo);
    update.bind(2, name);
    StatementRun run(update);
    update.step();
}

class BackupTest : public ::testing::Test
{
protected:
    TempTables tables{{makeCard(QStringLiteral("Éclair"), QStringLiteral("Bolt"), QStringLiteral("Base"), 3, 1),
                       makeCard(QStringLiteral("Forêt"), QStringLiteral("Forest"), QStringLiteral("Base"), 7, 0)}};
    QString folder() const { return QDir(tables.dir()).filePath(QStringLiteral("sauvegardes")); }
};

TEST_F(BackupTest, CopyHoldsTheCommittedRowsOfATableInWalModeAndStandsAlone)
{
    // A writer keeps the table in WAL mode with its change not yet checkpointed.
    auto writer = std::make_shared<SqliteConnection>(tables.cardPath(), OpenMode::Writable);
    writer->exec(QStringLiteral("UPDATE CARTES SET Dispo = 9 WHERE Dispo = 7"));
    ASSERT_TRUE(QFileInfo::exists(tables.cardPath() + QStringLiteral("-wal")));

    const QString first = backup::makeBackup(tables.cardPath(), backup::ResetCounts, When);
    const QString second = backup::makeBackup(tables.cardPath(), backup::ResetCounts, When);
    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("CARTES-2026-12-08-14h05-remise-a-zero.DB"));
    EXPECT_EQ(QFileInfo(second).fileName(), QStringLiteral("CARTES-2026-12-08-14h05-remise-a-zero-2.DB"));
    EXPECT_EQ(QFileInfo(first).absolutePath(), folder());

    EXPECT_EQ(rowsOf(first), (QStringList{QStringLiteral("Forêt:9:0"), QStringLiteral("Éclair:3:1")}));
    EXPECT_FALSE(QFileInfo::exists(first + QStringLiteral("-wal")));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files).size(), 2); // nothing left aside
    // Sound through the hardened open, and counted there.
    EXPECT_EQ(backup::ownedCopiesIn(first), 13);

    const QList<backup::BackupFile> listed = backup::listBackups(folder());
    ASSERT_EQ(listed.size(), 2);
    EXPECT_EQ(listed[0].path, second);
    EXPECT_EQ(listed[0].command, backup::ResetCounts);
    EXPECT_EQ(listed[0].time, QDateTime(When.date(), QTime(14, 5)));
}

TEST_F(BackupTest, KeepsTheTwentyNewest)
{
    QFile::remove(folder());
    QDir().mkpath(folder());
    QFile other(QDir(folder()).filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.close();
    // Made out of order: the names, not the order of making, decide.
    for (int i : {3, 0, 21, 7, 1, 12, 2, 15, 4, 5, 6, 8, 9, 10, 11, 13, 14, 16, 17, 18, 19, 20})
        backup::makeBackup(tables.cardPath(), backup::Threshold, When.addSecs(3600 * i));
    const QList<backup::BackupFile> kept = backup::listBackups(folder());
    ASSERT_EQ(kept.size(), 20);
    EXPECT_EQ(kept.first().time, QDateTime(When.date(), QTime(14, 5)).addSecs(3600 * 21));
    EXPECT_EQ(kept.last().time, QDateTime(When.date(), QTime(14, 5)).addSecs(3600 * 2));
    EXPECT_TRUE(other.exists());

    // The backup about to be restored survives the copy made just before.
    const QString chosen = kept.last().path;
    backup::makeBackup(tables.cardPath(), backup::Restore, When.addSecs(3600 * 30), chosen);
    EXPECT_TRUE(QFileInfo::exists(chosen));
    EXPECT_EQ(backup::listBackups(folder()).size(), 21);
}

TEST_F(BackupTest, FailsCleanlyWhenTheFolderCannotBeMade)
{
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    EXPECT_THROW(backup::makeBackup(tables.cardPath(), backup::ResetCounts, When), AppError);
}

TEST_F(BackupTest, RestorePutsAGoodBackupBackAndRefusesABadOne)
{
    const QString good = backup::makeBackup(tables.cardPath(), backup::ResetCounts, When);
    setDispo(tables.cardPath(), QStringLiteral("Éclair"), 0);
    setDispo(tables.cardPath(), QStringLiteral("Forêt"), 0);

    // Not a database, a database of another layout, a missing file.
    const QString garbage = QDir(folder()).filePath(QStringLiteral("CARTES-2026-12-09-10h00-seuil.DB"));
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    const QString otherLayout = QDir(folder()).filePath(QStringLiteral("autre.DB"));
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(otherLayout).constData(), &db);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE CARTES (Nom TEXT PRIMARY KEY, Dispo INTEGER)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const QByteArray before = readFile(tables.cardPath());
    for (const QString &bad : {garbage, otherLayout, QDir(folder()).filePath(QStringLiteral("absente.DB"))}) {
        EXPECT_THROW(backup::restoreBackup(bad, tables.cardPath()), AppError) << qPrintable(bad);
        EXPECT_EQ(readFile(tables.cardPath()), before) << qPrintable(bad);
    }
    EXPECT_THROW(backup::ownedCopiesIn(garbage), AppError);

    backup::restoreBackup(good, tables.cardPath());
    EXPECT_EQ(rowsOf(tables.cardPath()), (QStringList{QStringLiteral("Forêt:7:0"), QStringLiteral("Éclair:3:1")}));
}

} // namespace
