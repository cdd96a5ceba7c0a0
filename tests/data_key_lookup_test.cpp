// Exact and nearest key lookups on the card table's primary key, as the
// catalogue update uses them.
#include "data/card_table.h"
#include "data/database.h"
#include "data/error.h"
#include "data/table.h"
#include "tests/support/printing.h"
#include "tests/support/temp_tables.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

QString keyOf(Table &table)
{
    if (table.eof() && table.field(card::NomFrancais).isNull())
        return QStringLiteral("<fin>");
    return table.field(card::NomFrancais).asString() + QLatin1Char('|') + table.field(card::NomAnglais).asString()
        + QLatin1Char('|') + table.field(card::Origine).asString();
}

class KeyLookupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_tables = std::make_unique<TempTables>(std::vector<CardRow>{
            makeCard(QStringLiteral("Elfe"), QStringLiteral("Elf"), QStringLiteral("Base")),
            makeCard(QStringLiteral("Elfe"), QStringLiteral("Elf"), QStringLiteral("Antiquités")),
            makeCard(QStringLiteral("Elfe"), QStringLiteral("Wood elf"), QStringLiteral("Légendes")),
            makeCard(QString(), QStringLiteral("Goblin"), QStringLiteral("Base")),
            makeCard(QString(), QStringLiteral("Goblin"), QStringLiteral("Légendes")),
            makeCard(QStringLiteral("Orc"), QStringLiteral("Orc"), QStringLiteral("Base")),
            makeCard(QStringLiteral("Zombie"), QString(), QStringLiteral("Base")),
        });
        m_database.params() = {QStringLiteral("PATH=") + m_tables->dir()};
        m_table.setDatabase(&m_database);
        m_table.setTableName(QStringLiteral("CARTES.DB"));
        m_table.open();
    }

    std::unique_ptr<TempTables> m_tables;
    Database m_database;
    Table m_table;
};

TEST_F(KeyLookupTest, ExactLookupFindsTheWholeKeyOrLeavesTheCursor)
{
    m_table.next();
    const QString before = keyOf(m_table);
    EXPECT_FALSE(m_table.findKey({QStringLiteral("Elfe"), QStringLiteral("Elf"), QStringLiteral("Mirage")}));
    EXPECT_EQ(keyOf(m_table), before);
    EXPECT_FALSE(m_table.findKey({QStringLiteral("elfe"), QStringLiteral("Elf"), QStringLiteral("Base")}));

    ASSERT_TRUE(m_table.findKey({QStringLiteral("Elfe"), QStringLiteral("Elf"), QStringLiteral("Base")}));
    EXPECT_EQ(keyOf(m_table), QStringLiteral("Elfe|Elf|Base"));
    m_table.next();
    EXPECT_EQ(keyOf(m_table), QStringLiteral("Elfe|Wood elf|Légendes"));

    // Fields not given are blank.
    ASSERT_TRUE(m_table.findKey({QStringLiteral("Zombie"), QString(), QStringLiteral("Base")}));
    EXPECT_EQ(keyOf(m_table), QStringLiteral("Zombie||Base"));
}

TEST_F(KeyLookupTest, NearestLookupLandsOnTheFirstKeyAtOrAfter)
{
    struct Case {
        QStringList key;
        QString landing;
        const char *why;
    };
    const std::vector<Case> cases = {
        {{QStringLiteral("Elfe"), QStringLiteral("Elf"), QStringLiteral("Base")}, QStringLiteral("Elfe|Elf|Base"), "equal key"},
        // A French-name rename names the edition but no English name: it
        // reaches the lowest English name, then the lowest edition.
        {{QStringLiteral("Elfe"), QString(), QStringLiteral("Légendes")}, QStringLiteral("Elfe|Elf|Antiquités"), "several editions"},
        {{QStringLiteral("Elfe"), QString(), QStringLiteral("Base")}, QStringLiteral("Elfe|Elf|Antiquités"), "several editions"},
        // An English-name rename searches with a blank French name.
        {{QString(), QStringLiteral("Goblin"), QStringLiteral("Légendes")}, QStringLiteral("|Goblin|Légendes"), "blank French name found"},
        {{QString(), QStringLiteral("Goblin"), QStringLiteral("Antiquités")}, QStringLiteral("|Goblin|Base"), "next blank French name"},
        {{QString(), QStringLiteral("Orc"), QStringLiteral("Base")}, QStringLiteral("Elfe|Elf|Antiquités"), "first card with a French name"},
        {{QStringLiteral("Nain")}, QStringLiteral("Orc|Orc|Base"), "only the French name"},
        {{QStringLiteral("Zombie"), QStringLiteral("A")}, QStringLiteral("<fin>"), "after the last key"},
    };
    for (const Case &c : cases) {
        m_table.findNearest(c.key);
        EXPECT_EQ(keyOf(m_table), c.landing) << c.why;
    }
}

TEST_F(KeyLookupTest, AfterANearestLookupNextGoesOnInKeyOrder)
{
    m_table.findNearest({QString(), QStringLiteral("Goblin"), QStringLiteral("Légendes")});
    QStringList keys;
    for (; !m_table.eof(); m_table.next())
        keys << keyOf(m_table);
    EXPECT_EQ(keys, (QStringList{QStringLiteral("|Goblin|Légendes"), QStringLiteral("Elfe|Elf|Antiquités"),
                                 QStringLiteral("Elfe|Elf|Base"), QStringLiteral("Elfe|Wood elf|Légendes"),
                                 QStringLiteral("Orc|Orc|Base"), QStringLiteral("Zombie||Base")}));
}

TEST_F(KeyLookupTest, RenameFoundByNearestKeyIsPostedAndDeleteFollowsOn)
{
    m_table.findNearest({QStringLiteral("Orc"), QString(), QStringLiteral("Base")});
    ASSERT_EQ(keyOf(m_table), QStringLiteral("Orc|Orc|Base"));
    m_table.edit();
    m_table.field(card::NomFrancais).setAsString(QStringLiteral("Orque"));
    m_table.post();
    EXPECT_TRUE(m_table.findKey({QStringLiteral("Orque"), QStringLiteral("Orc"), QStringLiteral("Base")}));
    EXPECT_FALSE(m_table.findKey({QStringLiteral("Orc"), QStringLiteral("Orc"), QStringLiteral("Base")}));

    m_table.findNearest({QStringLiteral("Elfe"), QStringLiteral("Wood elf"), QStringLiteral("Légendes")});
    m_table.remove();
    EXPECT_EQ(keyOf(m_table), QStringLiteral("Orque|Orc|Base"));
    EXPECT_EQ(m_table.recordCount(), 6);

    // A rename onto the key of another card is refused and changes nothing.
    m_table.findNearest({QStringLiteral("Elfe"), QStringLiteral("Elf"), QStringLiteral("Base")});
    m_table.edit();
    m_table.field(card::Origine).setAsString(QStringLiteral("Antiquités"));
    EXPECT_THROW(m_table.post(), AppError);
    m_table.cancel();
    EXPECT_TRUE(m_table.findKey({QStringLiteral("Elfe"), QStringLiteral("Elf"), QStringLiteral("Base")}));
}

TEST_F(KeyLookupTest, LookupsStayWithinTheFilter)
{
    m_table.setFilter(QStringLiteral("\"Origine\" = ?"), {QStringLiteral("Base")});
    EXPECT_EQ(m_table.recordCount(), 4);
    EXPECT_FALSE(m_table.findKey({QStringLiteral("Elfe"), QStringLiteral("Elf"), QStringLiteral("Antiquités")}));
    m_table.findNearest({QStringLiteral("Elfe")});
    EXPECT_EQ(keyOf(m_table), QStringLiteral("Elfe|Elf|Base"));
    m_table.clearFilter();
    EXPECT_EQ(m_table.recordCount(), 7);
}

} // namespace
