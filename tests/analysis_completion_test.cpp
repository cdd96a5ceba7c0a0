#include "analysis/completion.h"
#include "analysis/completion_model.h"
#include "analysis/tanalyse.h"
#include "analysis/tcompletude.h"
#include "analysis/tgraphique_completude.h"
#include "collection/trecherche_de_cartes.h"
#include "data/card_table.h"
#include "data/session.h"
#include "data/table.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <limits>

namespace {

CardRow priced(const QString &name, const QString &edition, int dispo, int utilise, const QVariant &cote)
{
    CardRow row = makeCard(name, name + QStringLiteral(" EN"), edition, dispo, utilise);
    row.cote = cote;
    return row;
}

// Four editions worked out by hand: one with a printing of each kind, one
// whose printings have no price at all, one complete, one with nothing owned.
std::vector<CardRow> catalogue()
{
    const QVariant none;
    return {
        priced("Ange", "Base", 2, 0, 1.5),     // owned, 2 copies worth 3.00
        priced("Bête", "Base", 0, 1, 4.0),     // owned through a used copy
        priced("Chat", "Base", 0, 0, 2.25),    // missing, 2.25 to complete
        priced("Dé", "Base", 0, 0, none),      // missing, no price
        priced("Elfe", "Ère glaciaire", 0, 0, none),
        priced("Fée", "Ère glaciaire", 3, 0, none),
        priced("Gnome", "Ère glaciaire", 0, 0, none),
        priced("Hydre", "Antiquités", 1, 1, 0.5),
        priced("Ibis", "Forge", 0, 0, 10.0),
    };
}

// The cells as the window shows them, the total last.
csv::Rows texts(const Completion &completion)
{
    csv::Rows rows{completionTitles()};
    std::vector<EditionCompletion> all = completion.editions;
    all.push_back(completion.total);
    all.back().edition = QStringLiteral("Total");
    for (const EditionCompletion &r : all) {
        QStringList cells;
        for (int c = 0; c < int(CompletionColumn::Count); ++c)
            cells << completionCell(r, CompletionColumn(c));
        rows << cells;
    }
    return rows;
}

EditionCompletion row(const char *edition, qint64 printings, double cost = 0, qint64 unpriced = 0)
{
    EditionCompletion r;
    r.edition = QString::fromUtf8(edition);
    r.printings = printings;
    r.costToComplete = cost;
    r.unpriced = unpriced;
    return r;
}

QStringList editionsOf(const std::vector<EditionCompletion> &rows)
{
    QStringList editions;
    for (const EditionCompletion &r : rows)
        editions << r.edition;
    return editions;
}

} // namespace

TEST(CompletionTest, CountsEachEditionOfTheTableAsWorkedOutByHand)
{
    TempTables tables(catalogue());
    Session session;
    session.setDatabaseDirectory(tables.dir());
    // An edition selection does not narrow the count: every edition is listed.
    session.selectEdition(QStringLiteral("Forge"));

    const Completion completion = completionByEdition(session.table);

    EXPECT_EQ(texts(completion),
              (csv::Rows{completionTitles(),
                         {"Antiquités", "1", "1", "100 %", "2", "1.00", "0.00"},
                         {"Base", "4", "2", "50.0 %", "3", "7.00", "2.25, dont 1 sans cote"},
                         {"Ère glaciaire", "3", "1", "33.3 %", "3", "0.00", "0.00, dont 2 sans cote"},
                         {"Forge", "1", "0", "0.0 %", "0", "0.00", "10.00"},
                         {"Total", "9", "4", "44.4 %", "8", "8.00", "12.25, dont 3 sans cote"}}));
    EXPECT_FALSE(session.table.isOpen());

    TempTables empty;
    session.setDatabaseDirectory(empty.dir());
    const Completion none = completionByEdition(session.table);
    EXPECT_TRUE(none.editions.empty());
    EXPECT_EQ(completionCell(none.total, CompletionColumn::Percent), QStringLiteral("NC"));
}

TEST(CompletionTest, CopiesOfADamagedTableHoldAtTheLargestCountInsteadOfWrapping)
{
    TempTables tables({priced("Ange", "Base", 0, 0, 1.0), priced("Bête", "Base", 5, 0, 1.0),
                       priced("Chat", "Forge", 0, 0, 1.0)});
    {
        Table cards;
        cards.setTableName(tables.cardPath());
        cards.open();
        for (; !cards.eof(); cards.next()) {
            if (cards.field(card::NomFrancais).asString() == QStringLiteral("Bête"))
                continue;
            cards.edit();
            cards.field(card::Dispo).setAsInteger(qint64(1) << 61);
            cards.field(card::Utilise).setAsInteger(qint64(1) << 61);
            cards.post();
        }
        cards.close();
    }
    Session session;
    session.setDatabaseDirectory(tables.dir());

    const Completion completion = completionByEdition(session.table);

    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    ASSERT_EQ(completion.editions.size(), 2u);
    // Base: 2^62 + 5 fits; Forge 2^62; together they pass the largest count.
    EXPECT_EQ(completion.editions[0].copies, (qint64(1) << 62) + 5);
    EXPECT_EQ(completion.editions[1].copies, qint64(1) << 62);
    EXPECT_EQ(completion.total.copies, largest);
    EXPECT_EQ(completionCell(completion.total, CompletionColumn::Copies), QString::number(largest));
    EXPECT_EQ(completion.total.owned, 3);
}

TEST(CompletionTest, SortsNumbersAsNumbersAndEditionsAsTheCardEntryLists)
{
    std::vector<EditionCompletion> rows = {row("éclair", 9, 5), row("Ecluse", 10, 5, 2), row("Base 2", 100, 5),
                                           row("base", 0, 0)};

    sortCompletion(rows, CompletionColumn::Edition, true);
    EXPECT_EQ(editionsOf(rows), (QStringList{"base", "Base 2", "éclair", "Ecluse"}));
    sortCompletion(rows, CompletionColumn::Edition, false);
    EXPECT_EQ(editionsOf(rows), (QStringList{"Ecluse", "éclair", "Base 2", "base"}));

    sortCompletion(rows, CompletionColumn::Printings, true);
    EXPECT_EQ(editionsOf(rows), (QStringList{"base", "éclair", "Ecluse", "Base 2"}));
    // An edition without printings ("NC") comes below 0 %.
    rows[1].owned = 0;
    sortCompletion(rows, CompletionColumn::Percent, true);
    EXPECT_EQ(editionsOf(rows).front(), QStringLiteral("base"));

    // Equal costs keep the edition order; unpriced printings make it dearer.
    sortCompletion(rows, CompletionColumn::Cost, false);
    EXPECT_EQ(editionsOf(rows), (QStringList{"Ecluse", "Base 2", "éclair", "base"}));
    sortCompletion(rows, CompletionColumn::Cost, true);
    EXPECT_EQ(editionsOf(rows), (QStringList{"base", "Base 2", "éclair", "Ecluse"}));
}

namespace {

class CompletionWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }

    // Opens the window from the menu, runs `action` on it, closes it.
    void withWindow(const std::function<void(TCompletude &)> &action)
    {
        TCompletude *window = windows().completude;
        bool shown = false;
        whenShown(window, [&] {
            shown = true;
            action(*window);
            window->close();
        });
        triggerMenuItem("Compltudepardition1");
        EXPECT_TRUE(shown);
    }

    QStringList shownEditions(TCompletude &window)
    {
        QStringList editions;
        QAbstractItemModel *model = window.grille()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            editions << model->index(r, 0).data().toString();
        return editions;
    }

    ScriptedDialogs dialogs;
    StartedProgram program{catalogue()};
};

} // namespace

TEST_F(CompletionWindowTest, ColumnTitleSortsAndTheOrderIsKeptForTheNextOpening)
{
    withWindow([&](TCompletude &window) {
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Complétude par édition"));
        EXPECT_EQ(window.property("helpContext").toInt(), 25);
        EXPECT_EQ(shownEditions(window),
                  (QStringList{"Antiquités", "Base", "Ère glaciaire", "Forge", "Total"}));
        // Cost to complete, dearest first: two clicks on its title.
        QHeaderView *header = window.grille()->horizontalHeader();
        const int cost = int(CompletionColumn::Cost);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(cost) + 5, header->height() / 2));
        if (header->sortIndicatorOrder() == Qt::AscendingOrder)
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(cost) + 5, header->height() / 2));
        window.resize(700, 333);
    });
    withWindow([&](TCompletude &window) {
        EXPECT_EQ(shownEditions(window), (QStringList{"Forge", "Base", "Ère glaciaire", "Antiquités", "Total"}));
        EXPECT_EQ(window.size(), QSize(700, 333));
    });
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(" | ").toStdString();
}

TEST_F(CompletionWindowTest, DoubleClickSelectsTheEditionAndOpensTheAnalysisOnIt)
{
    int opened = 0;
    qint64 analysed = -1;
    bool checkedWhileOpen = false;
    withWindow([&](TCompletude &window) {
        TAnalyse *analyse = windows().analyse;
        whenShown(analyse, [&, analyse] {
            ++opened;
            // Every printing counted is one of the edition.
            analysed = 0;
            for (int colour = 0; colour < analysis::Colours; ++colour)
                analysed += analyse->matrix()
                                .Compteurs[size_t(colour)][analysis::TotalRow][analysis::TotalColumn]
                                .NbCartes;
            checkedWhileOpen = windows().principale->findChild<QAction *>("Selection1")->isChecked();
            analyse->close();
        });
        QTableView *grid = window.grille();
        // The view reports a double-click only after a press on the same row.
        const auto doubleClick = [grid](int row) {
            const QPoint at = grid->visualRect(grid->model()->index(row, 0)).center();
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
        };
        // The total row is no edition: nothing opens.
        doubleClick(grid->model()->rowCount() - 1);
        if (opened != 0)
            return;
        doubleClick(1);
    });

    EXPECT_EQ(opened, 1);
    EXPECT_EQ(analysed, 4);
    EXPECT_TRUE(checkedWhileOpen);
    EXPECT_TRUE(windows().session->editionSelected());
    EXPECT_TRUE(windows().rechercheDeCartes->frenchLines().isEmpty());
}

TEST_F(CompletionWindowTest, ChartShowsThePercentOfEachEditionInTheGridsOrder)
{
    // Each bar's label and length, from the top (the axis runs upwards).
    const auto bars = [](TGraphiqueCompletude *chart) {
        QStringList shown;
        auto *series = qobject_cast<QAbstractBarSeries *>(chart->chart()->series().value(0));
        const QBarSet *set = series ? series->barSets().value(0) : nullptr;
        for (QAbstractAxis *axis : series ? series->attachedAxes() : QList<QAbstractAxis *>()) {
            if (auto *labels = qobject_cast<QBarCategoryAxis *>(axis))
                for (int i = labels->count() - 1; i >= 0; --i)
                    shown << labels->at(i) + QStringLiteral(" ") + QString::number(set->at(i), 'f', 1);
        }
        return shown;
    };
    withWindow([&](TCompletude &window) {
        window.model()->sort(int(CompletionColumn::Percent), Qt::DescendingOrder);
        window.Graphique1Click();
        ASSERT_NE(window.chartWindow(), nullptr);
        EXPECT_EQ(bars(window.chartWindow()),
                  (QStringList{"Antiquités 100.0", "Base 50.0", "Ère glaciaire 33.3", "Forge 0.0"}));
        // Sorting again redraws the open chart.
        window.model()->sort(int(CompletionColumn::Edition), Qt::DescendingOrder);
        EXPECT_EQ(bars(window.chartWindow()).value(0), QStringLiteral("Forge 0.0"));
    });
}
