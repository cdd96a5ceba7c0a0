// The user's own card table at start-up and quit, and a valuation of counts
// that no 64-bit integer can hold.
#include "analysis/valuation.h"
#include "app/startup.h"
#include "data/card_table.h"
#include "data/session.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

std::vector<CardRow> ownedCards()
{
    std::vector<CardRow> rows;
    for (int i = 0; i < 400; ++i)
        rows.push_back(makeCard(QStringLiteral("Carte %1").arg(i), QStringLiteral("Card %1").arg(i),
                                QStringLiteral("Base"), 1 + i % 3));
    return rows;
}

class OwnTableTest : public ::testing::Test
{
protected:
    StartupOptions options() const
    {
        StartupOptions o;
        o.configurationFile = QDir(config.path()).filePath(QStringLiteral("TABRIX.INI"));
        o.defaultDirectory = tables.dir();
        o.executableDir = executable.path();
        o.helpFile = QStringLiteral(TABRIX_BIN_DIR "/AIDE.HLP");
        return o;
    }
    void TearDown() override { shutDown(); }
    qint64 sumOfDispo() const
    {
        sqlite3 *db = nullptr;
        sqlite3_open_v2(tables.cardPath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt *statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT SUM(Dispo) FROM CARTES", -1, &statement, nullptr);
        const qint64 sum = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return sum;
    }

    TempTables tables{ownedCards()};
    QTemporaryDir config;
    QTemporaryDir executable;
    ScriptedDialogs dialogs;
};

TEST_F(OwnTableTest, StartAndQuitWithNothingChangedLeaveNoWalBesideTheTable)
{
    ASSERT_EQ(startUp(options()), 0);
    shutDown();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_FALSE(QFile::exists(tables.cardPath() + QStringLiteral("-wal")));
    EXPECT_FALSE(QFile::exists(tables.cardPath() + QStringLiteral("-shm")));
}

// A write killed half-way leaves part of its pages in the file and the
// journal beside it; SQLite rolls it back on a read-write open.
TEST_F(OwnTableTest, HotJournalLeftByAKilledWriteIsRecoveredAtStartup)
{
    const qint64 before = sumOfDispo();
    QTemporaryDir killed;
    const QString copy = QDir(killed.path()).filePath(QStringLiteral("CARTES.DB"));
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(tables.cardPath().toUtf8().constData(), &db), SQLITE_OK);
        // A tiny cache makes SQLite write changed pages before the commit.
        sqlite3_exec(db, "PRAGMA cache_size=1; BEGIN; UPDATE CARTES SET Dispo = 99;", nullptr, nullptr, nullptr);
        ASSERT_TRUE(QFile::exists(tables.cardPath() + QStringLiteral("-journal")));
        ASSERT_TRUE(QFile::copy(tables.cardPath(), copy));
        ASSERT_TRUE(QFile::copy(tables.cardPath() + QStringLiteral("-journal"), copy + QStringLiteral("-journal")));
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    ASSERT_NE(readFile(copy), readFile(tables.cardPath())); // the copy holds half a write
    QFile::remove(tables.cardPath());
    ASSERT_TRUE(QFile::copy(copy, tables.cardPath()));
    ASSERT_TRUE(QFile::copy(copy + QStringLiteral("-journal"), tables.cardPath() + QStringLiteral("-journal")));

    EXPECT_EQ(startUp(options()), 0);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.value(0).toStdString();
    shutDown();
    EXPECT_EQ(sumOfDispo(), before);
    EXPECT_FALSE(QFile::exists(tables.cardPath() + QStringLiteral("-journal")));
}

TEST_F(OwnTableTest, ValuationOfCountsPastTheLargestIntegerNeverWraps)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(tables.cardPath().toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "UPDATE CARTES SET Dispo = 0; UPDATE CARTES SET Dispo = 9223372036854775807, Utilise = 1, "
                     "Cote = 2 WHERE rowid <= 3",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    Session session;
    session.setDatabaseDirectory(tables.dir());

    const Valuation valuation = evaluateCollection(session.cardSource());

    EXPECT_EQ(valuationSentence(valuation.total),
              QStringLiteral("Votre collection est estimable à 55340232221128654848.00 Francs."));
    ASSERT_EQ(valuation.classes.size(), 1u);
    EXPECT_EQ(valuation.classes[0].Quantite, std::numeric_limits<quint64>::max());
}

} // namespace
