// Passes over a table while rows are posted, grouped and committed, and the
// faults the review found in the engine layer, on real table files.
#include "data/card_table.h"
#include "data/database.h"
#include "data/post_batch.h"
#include "data/query.h"
#include "data/table.h"
#include "tests/support/printing.h"
#include "tests/support/temp_tables.h"

#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>
#include <sqlite3.h>

namespace {

std::vector<CardRow> shuffledCards(int count)
{
    std::vector<CardRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back(makeCard(QStringLiteral("Carte %1").arg(i, 4, 10, QLatin1Char('0')),
                                QStringLiteral("Card %1").arg(i), QStringLiteral("Base"), i % 2));
    std::shuffle(rows.begin(), rows.end(), std::mt19937(11));
    return rows;
}

class CursorTest : public ::testing::Test
{
protected:
    void SetUp() override { database.params() = {QStringLiteral("PATH=") + tables.dir()}; }
    void openCards(Table &table, bool keyOrder)
    {
        table.setDatabase(&database);
        table.setTableName(card::TableFile);
        if (keyOrder)
            table.open();
        else
            table.openUnordered();
    }

    TempTables tables{shuffledCards(700)};
    Database database;
};

// A pass posts every row and commits each group; in key order and in stored
// order every row is met once and every post is kept.
TEST_F(CursorTest, GroupedPostsDuringAPassNeitherSkipNorRepeatRows)
{
    for (const bool keyOrder : {true, false}) {
        SCOPED_TRACE(keyOrder ? "key order" : "stored order");
        Table table;
        openCards(table, keyOrder);
        PostBatch batch(table, 70); // a commit every row of 70, so ten groups
        std::map<QString, int> seen;
        QStringList order;
        for (; !table.eof(); table.next()) {
            const QString name = table.field(card::NomFrancais).asString();
            ++seen[name];
            order << name;
            table.edit();
            table.field(card::Cherche).setAsInteger(keyOrder ? 7 : 8);
            table.post();
            EXPECT_EQ(table.field(card::Cherche).asInteger(), keyOrder ? 7 : 8);
            batch.posted();
        }
        batch.commit();
        EXPECT_EQ(seen.size(), 700u);
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](const auto &entry) { return entry.second == 1; }));
        if (keyOrder) {
            EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
        }
        // The last row stays readable at the end.
        EXPECT_EQ(table.field(card::NomFrancais).asString(), order.last());
        table.close();

        Query changed(&database);
        changed.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES")
                      << QStringLiteral("WHERE Cherche = %1").arg(keyOrder ? 7 : 8);
        changed.open();
        EXPECT_EQ(changed.recordCount(), 700);
    }
}

TEST_F(CursorTest, FieldsLeftOutOfAPassAreStillReadAndWritten)
{
    Table table;
    table.setFieldsToRead({card::Dispo});
    openCards(table, false);
    int owned = 0;
    for (; !table.eof(); table.next()) {
        owned += int(table.field(card::Dispo).asInteger());
        EXPECT_EQ(table.field(card::Couleur).asString(), QStringLiteral("Ver"));
        EXPECT_DOUBLE_EQ(table.field(card::Cote).asFloat(), 1.0);
    }
    EXPECT_EQ(owned, 350);
    table.first();
    table.edit();
    table.field(card::Cote).setAsFloat(2.5);
    table.post();
    EXPECT_DOUBLE_EQ(table.field(card::Cote).asFloat(), 2.5);
}

TEST_F(CursorTest, QueryKeepsItsLastRowReadableAtTheEnd)
{
    Query owned(&database);
    owned.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES") << QStringLiteral("WHERE Dispo > 0");
    owned.open();
    QString last;
    int rows = 0;
    for (; !owned.eof(); owned.next()) {
        last = owned.field(card::NomFrancais).asString();
        EXPECT_EQ(owned.field(card::Dispo).asInteger(), 1);
        ++rows;
    }
    EXPECT_EQ(rows, 350);
    EXPECT_EQ(owned.field(card::NomFrancais).asString(), last);
    EXPECT_EQ(owned.field(card::Dispo).asString(), QStringLiteral("1"));
}

// Runs SQL on the file through a connection of its own, as another program
// would.
void runSql(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char *error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

TEST_F(CursorTest, TriggerStoredInTheUsersOwnTableNeverRuns)
{
    runSql(tables.cardPath(), "CREATE TRIGGER rewrite AFTER UPDATE ON CARTES BEGIN "
                              "UPDATE CARTES SET Cherche = 50 WHERE rowid <> NEW.rowid; END;");
    Table table;
    openCards(table, true);
    table.edit();
    table.field(card::Dispo).setAsInteger(3);
    table.post();
    table.close();

    Query rewritten(&database);
    rewritten.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES") << QStringLiteral("WHERE Cherche = 50");
    rewritten.open();
    EXPECT_EQ(rewritten.recordCount(), 0);
}

TEST_F(CursorTest, OwnedCopiesPastTheLargestCountNeverWrap)
{
    constexpr qint64 Max = std::numeric_limits<qint64>::max();
    constexpr qint64 Min = std::numeric_limits<qint64>::min();
    const struct {
        qint64 dispo, utilise, owned;
    } cases[] = {{Max, 1, Max}, {Max, Max, Max}, {Min, -1, Min}, {Max, -1, Max - 1}, {2, 3, 5}};
    for (const auto &c : cases) {
        runSql(tables.cardPath(), QStringLiteral("UPDATE CARTES SET Dispo = %1, Utilise = %2 WHERE \"Nom_français\" = 'Carte 0000'")
                                      .arg(c.dispo)
                                      .arg(c.utilise)
                                      .toUtf8()
                                      .constData());
        Table table;
        openCards(table, true);
        EXPECT_EQ(card::ownedCopies(table), c.owned) << c.dispo << " + " << c.utilise;
    }
}

QString englishLookupPlan(const QString &path)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, "EXPLAIN QUERY PLAN SELECT * FROM CARTES WHERE Nom_anglais = 'a' AND Origine = 'b'", -1,
                       &statement, nullptr);
    QString plan;
    while (sqlite3_step(statement) == SQLITE_ROW)
        plan += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 3)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return plan;
}

// The English line of card entry is looked up by name and edition on each
// keystroke: without an index that is a scan of the whole table.
TEST_F(CursorTest, EnglishLookupIndexIsMadeWhenMissingAndTheTableStillOpens)
{
    EXPECT_TRUE(englishLookupPlan(tables.cardPath()).contains(QStringLiteral("INDEX"))); // written with it
    runSql(tables.cardPath(), "DROP INDEX CARTES_anglais");
    ASSERT_FALSE(englishLookupPlan(tables.cardPath()).contains(QStringLiteral("INDEX")));

    card::ensureLookupIndex(tables.cardPath());
    EXPECT_TRUE(englishLookupPlan(tables.cardPath()).contains(QStringLiteral("USING INDEX CARTES_anglais")));
    Table table;
    table.setRequiredFields(card::fieldNames());
    openCards(table, true);
    EXPECT_EQ(table.recordCount(), 700);
}

} // namespace
