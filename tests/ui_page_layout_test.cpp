#include "ui/page_layout.h"
#include "tests/support/printing.h"

#include <gtest/gtest.h>

namespace {

const QDate Day(2026, 12, 8);

QStringList linesOf(const std::vector<PrintedPage> &pages, std::size_t page)
{
    return page < pages.size() ? pages[page].lines : QStringList{QStringLiteral("(no page)")};
}

} // namespace

TEST(PageLayoutTest, FormFeedLineStartsANewPageButNeverAnEmptyOne)
{
    const QString ff = QStringLiteral("\f");
    const std::vector<PrintedPage> pages = PageLayout(40, 3).pages(
        QStringLiteral("Fichier de classement"), Day,
        {"VERTES", "", "Elfe (Base) x 2", ff, ff, "ROUGES", "", "Gobelin (Base) x 1", "Orque (Base) x 4", ff});

    // The third page is the overflow of the second; a form feed right after
    // another and the one that ends the list make no page.
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(linesOf(pages, 0), (QStringList{"VERTES", "", "Elfe (Base) x 2"}));
    EXPECT_EQ(linesOf(pages, 1), (QStringList{"ROUGES", "", "Gobelin (Base) x 1"}));
    EXPECT_EQ(linesOf(pages, 2), (QStringList{"Orque (Base) x 4"}));
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].title, QStringLiteral("Fichier de classement"));
        EXPECT_EQ(pages[i].date, QStringLiteral("8 décembre 2026"));
        EXPECT_EQ(pages[i].footer, QStringLiteral("page %1 / 3").arg(i + 1));
    }

    // An empty list still prints its one page, with its header and footer.
    const std::vector<PrintedPage> empty = PageLayout(40, 3).pages(QStringLiteral("Double(s)"), Day, {});
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_TRUE(empty[0].lines.isEmpty());
    EXPECT_EQ(empty[0].footer, QStringLiteral("page 1 / 1"));
}

TEST(PageLayoutTest, LongLineWrapsIndentedAndNothingIsCutAtTheMargin)
{
    const PageLayout layout(20, 60);

    // After the last blank that comes late enough, the rest indented.
    EXPECT_EQ(layout.wrap(QStringLiteral("Elfe des bois (Edition de base) x 12")),
              (QStringList{"Elfe des bois", "    (Edition de", "    base) x 12"}));
    // No blank late enough: cut at the margin.
    EXPECT_EQ(layout.wrap(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ")),
              (QStringList{"ABCDEFGHIJKLMNOPQRST", "    UVWXYZ"}));
    // A line that fills the width, or only seems longer by its trailing
    // blanks, stays one line; tabs go to the next multiple of eight.
    EXPECT_EQ(layout.wrap(QStringLiteral("12345678901234567890")), QStringList{"12345678901234567890"});
    EXPECT_EQ(layout.wrap(QStringLiteral("x                         ")), QStringList{"x"});
    EXPECT_EQ(layout.wrap(QStringLiteral("ab\tcd")), QStringList{"ab      cd"});

    // The pieces of a wrapped line go on to the next page.
    const std::vector<PrintedPage> pages =
        PageLayout(20, 2).pages(QString(), Day, {"Titre", "Elfe des bois (Edition de base) x 12"});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1].lines, (QStringList{"    (Edition de", "    base) x 12"}));
}

TEST(PageLayoutTest, AlignedColumnsPutNumbersRightAndTextLeft)
{
    EXPECT_EQ(alignedColumns({{"Edition", "Cartes", "Complétude"},
                              {"Base", "12", "50.0 %"},
                              {"Extension longue", "3", "NC"}}),
              (QStringList{"Edition           Cartes  Complétude",
                           "Base                  12      50.0 %",
                           "Extension longue       3          NC"}));
}
