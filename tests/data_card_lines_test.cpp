// Card lines: how windows name a printing and read the name back.
#include "data/card_table.h"
#include "tests/support/printing.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char *line;
    const char *name;
    const char *edition;
};

class SplitCardLineTest : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(SplitCardLineTest, SplitsAtTheLastParenthesis)
{
    const SplitCase &c = GetParam();
    const card::SplitLine split = card::splitCardLine(QString::fromUtf8(c.line));
    EXPECT_EQ(split.name, QString::fromUtf8(c.name));
    EXPECT_EQ(split.edition, QString::fromUtf8(c.edition));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCardLineTest,
    ::testing::Values(SplitCase{"Elfe (Base)", "Elfe", "Base"},
                      SplitCase{"Gardien des Brumes (Marées Noires)", "Gardien des Brumes", "Marées Noires"},
                      // A name ending in a parenthesised word keeps it.
                      SplitCase{"Golem (Alpha) (Aube)", "Golem (Alpha)", "Aube"},
                      // No "(": no name, the text less its last character.
                      SplitCase{"Elfe", "", "Elf"},
                      // Whatever the last character is, it is dropped.
                      SplitCase{"Elfe (Base", "Elfe", "Bas"},
                      SplitCase{"(Base)", "", "Base"},
                      SplitCase{"", "", ""}));

TEST(CardLineTest, LinesAndCountedLinesReadBackToTheCardLine)
{
    EXPECT_EQ(card::cardLine(QStringLiteral("L'Ange"), QStringLiteral("Aube")), QStringLiteral("L'Ange (Aube)"));
    const QString counted = card::countedLine(QStringLiteral("Elfe"), 12, QStringLiteral("Base"));
    EXPECT_EQ(counted, QStringLiteral("Elfe x 12 (Base)"));
    EXPECT_EQ(card::uncountLine(counted), QStringLiteral("Elfe (Base)"));
}

TEST(CardLineTest, UncountingCutsAtTheFirstTimesSignAndTheFirstParenthesis)
{
    // A name holding " x " or "(" is cut there: the text then names no card.
    EXPECT_EQ(card::uncountLine(QStringLiteral("Roi x Reine x 2 (Base)")), QStringLiteral("Roi (Base)"));
    EXPECT_EQ(card::uncountLine(QStringLiteral("Golem (Alpha) x 2 (Aube)")),
              QStringLiteral("Golem (Alpha) (Alpha) x 2 (Aube)"));
    // A line without a count keeps only its parenthesised part.
    EXPECT_EQ(card::uncountLine(QStringLiteral("Elfe (Base)")), QStringLiteral("(Base)"));
    EXPECT_EQ(card::uncountLine(QStringLiteral("Elfe")), QStringLiteral("Elfe"));
}

TEST(CardLineTest, ColourCodesFollowTheColourIndex)
{
    const QStringList expected = {"Ver", "Rge", "Noi", "Ble", "Bla", "Or", "Inc"};
    for (int i = 0; i < card::ColourCount; ++i)
        EXPECT_EQ(card::colourCode(i), expected[i]);
    EXPECT_EQ(card::colourCode(7), QString());
    EXPECT_EQ(card::colourCode(-1), QString());
}

} // namespace
