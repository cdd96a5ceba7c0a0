#include "analysis/analysis_matrix.h"
#include "analysis/tanalyse.h"
#include "app/tprincipale.h"
#include "collection/tinventaire.h"
#include "data/progress.h"
#include "data/session.h"
#include "data/card_table.h"
#include "data/table.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QTabBar>
#include <QTest>
#include <gtest/gtest.h>

#include <limits>

using namespace analysis;

namespace {

AnalysisResult analyse(const std::vector<CardRow> &rows, const QString &edition = QString())
{
    TempTables tables(rows);
    Session session;
    session.setDatabaseDirectory(tables.dir());
    if (!edition.isEmpty())
        session.selectEdition(edition);
    NoProgress none;
    return analyseCollection(session.cardSource(), none);
}

QString completeness(const AnalysisResult &r, int colour, int row, int column)
{
    return FormateCase(r.matrix.Compteurs[colour][row][column], r.matrix.Valeurs[colour][row][column], false);
}

QString quantities(const AnalysisResult &r, int colour, int row, int column)
{
    return FormateCase(r.matrix.Compteurs[colour][row][column], r.matrix.Valeurs[colour][row][column], true);
}

// Every spelling each axis accepts, placed where it must go.
std::vector<CardRow> everyCode()
{
    return {
        codedCard("Elfe", "Ver", "Inv", "C", 1),            // green invocation, common
        codedCard("Druide", "Vert", "Token", "C", 0),       // other spellings, same cell
        codedCard("Ours", "Ver", "inv", "U", 0, 2, 3.0),    // used copies count as owned
        codedCard("Gobelin", "Rge", "Inc", "C", 2, 0, 0.5),
        codedCard("Feu", "Rouge", "Eph", "R"),
        codedCard("Zombie", "Noi", "Rit", "C"),
        codedCard("Ombre", "Noir", "Enc", "U", 1),
        codedCard("Eau", "Ble", "Int", "R", 1),
        codedCard("Contre", "Ble", "int", "R"),
        codedCard("Ange", "Bla", "Mana sourc", "C", 3, 1, 2.5), // 4 copies worth 10.0
        codedCard("Mine", "Or", "Ter", "U", 1, 0, QVariant()),  // blank price is worth 0
        codedCard("Golem", "Ver", "Art", "R", 1),            // artefacts whatever the colour
        codedCard("Robot", "Rge", "C. Art", "C"),
        codedCard("Idole", "Inc.", "Enc", "C"),
        codedCard("Orbe", "Inc", "Ter", "U"),
    };
}

} // namespace

TEST(AnalysisFormatTest, CellTextsOfBothViews)
{
    struct Case {
        qint64 owned, existing, copies;
        double value;
        bool quantities;
        const char *text;
    } cases[] = {
        {5, 12, 0, 0, false, "  5/12  41.7 %"},
        {1, 3, 0, 0, false, "  1/3   33.3 %"},
        {12, 12, 0, 0, false, " 12/12  100 %"},
        {0, 0, 0, 0, false, "  0/0     NC %"},
        {123, 1500, 0, 0, false, "123/1500  8.2 %"},
        {0, 0, 17, 123.5, true, " 17 / 123.5 Fr"},
        {0, 0, 0, 0, true, "  0 /   0.0 Fr"},
        {70000, 140000, 0, 0, false, "70000/140000 50.0 %"}, // wider numbers keep every digit
    };
    for (const Case &c : cases) {
        TCompteurCase cell;
        cell.NbPossedees = c.owned;
        cell.NbCartes = c.existing;
        cell.NbExemplaires = c.copies;
        EXPECT_EQ(FormateCase(cell, c.value, c.quantities), QString::fromUtf8(c.text));
    }
}

TEST(AnalysisCountTest, EachSpellingLandsInItsCell)
{
    const AnalysisResult r = analyse(everyCode());
    EXPECT_TRUE(r.unknown.isEmpty());
    struct Case {
        int colour, row, column;
        const char *completeness;
        const char *quantities;
    } cases[] = {
        {0, 0, 0, "  1/2   50.0 %", "  1 /   1.0 Fr"},
        {0, 0, 1, "  1/1   100 %", "  2 /   6.0 Fr"},
        {0, 0, 3, "  2/3   66.7 %", "  3 /   7.0 Fr"},
        {1, 0, 0, "  1/1   100 %", "  2 /   1.0 Fr"},
        {1, 1, 2, "  0/1    0.0 %", "  0 /   0.0 Fr"},
        {2, 2, 0, "  0/1    0.0 %", "  0 /   0.0 Fr"},
        {2, 3, 1, "  1/1   100 %", "  1 /   1.0 Fr"},
        {3, 4, 2, "  1/2   50.0 %", "  1 /   1.0 Fr"},
        {4, 5, 0, "  1/1   100 %", "  4 /  10.0 Fr"},
        {5, 6, 1, "  1/1   100 %", "  1 /   0.0 Fr"},
        {6, 3, 2, "  1/1   100 %", "  1 /   1.0 Fr"},  // "Art" of colour "Ver"
        {6, 0, 0, "  0/1    0.0 %", "  0 /   0.0 Fr"},  // "C. Art" of colour "Rge"
        {6, 3, 0, "  0/1    0.0 %", "  0 /   0.0 Fr"},  // "Inc."
        {6, 7, 3, "  1/4   25.0 %", "  1 /   1.0 Fr"},
        {0, 7, 3, "  2/3   66.7 %", "  3 /   7.0 Fr"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.colour << "/" << c.row << "/" << c.column);
        EXPECT_EQ(completeness(r, c.colour, c.row, c.column), QString::fromUtf8(c.completeness));
        EXPECT_EQ(quantities(r, c.colour, c.row, c.column), QString::fromUtf8(c.quantities));
    }
    qint64 all = 0;
    for (int colour = 0; colour < Colours; ++colour)
        all += r.matrix.Compteurs[colour][TotalRow][TotalColumn].NbCartes;
    EXPECT_EQ(all, qint64(everyCode().size()));
}

TEST(AnalysisCountTest, UnknownCodesAreLeftOutAndNamedOnce)
{
    std::vector<CardRow> rows = {codedCard("Elfe", "Ver", "Inv", "C", 1)};
    for (int i = 0; i < 3000; ++i)
        rows.push_back(codedCard(QStringLiteral("Inconnue %1").arg(i), "Violet", "Inv", "C", 1));
    rows.push_back(codedCard("Sorte", "Ver", "Sorcellerie", "C", 1));
    rows.push_back(codedCard("Mythe", "Ver", "Inv", "M", 1));
    rows.push_back(codedCard("Vide", "", "Inv", "C", 1));
    rows.push_back(codedCard("Statue", "Gris", "Art", "C", 1)); // placed by its type alone
    const AnalysisResult r = analyse(rows);

    // Not one of them is added to the cell of the record read before it.
    EXPECT_EQ(completeness(r, 0, 7, 3), QStringLiteral("  1/1   100 %"));
    EXPECT_EQ(completeness(r, 6, 3, 0), QStringLiteral("  1/1   100 %"));
    EXPECT_EQ(unknownCodeMessages(r.unknown),
              QStringList({QStringLiteral("Couleur de carte inconnue : Violet"),
                           QStringLiteral("Couleur de carte inconnue : "),
                           QStringLiteral("Couleur de carte inconnue : Gris"),
                           QStringLiteral("Type de carte inconnue : Sorcellerie"),
                           QStringLiteral("Raretée de carte inconnue : M")}));
}

TEST(AnalysisCountTest, CountsPastSixteenBitsAndEditionSelection)
{
    const AnalysisResult big = analyse({codedCard("Elfe", "Ver", "Inv", "C", 60000, 10000, 2.0),
                                        codedCard("Loup", "Ver", "Inv", "C", 0, 0, 2.0, "Beta")});
    EXPECT_EQ(big.matrix.Compteurs[0][TotalRow][TotalColumn].NbExemplaires, 70000);
    EXPECT_EQ(quantities(big, 0, 7, 3), QStringLiteral("70000 / 140000.0 Fr"));

    const AnalysisResult beta = analyse({codedCard("Elfe", "Ver", "Inv", "C", 2),
                                         codedCard("Loup", "Ver", "Inv", "C", 0, 0, 1.0, "Beta")},
                                        QStringLiteral("Beta"));
    EXPECT_EQ(completeness(beta, 0, 0, 0), QStringLiteral("  0/1    0.0 %"));
}

// Counts of a hostile table, each at the largest (or smallest) a field holds:
// cells and totals stay there instead of wrapping round.
TEST(AnalysisCountTest, CopiesPastTheLargestCountStayAtTheLargest)
{
    constexpr qint64 Max = std::numeric_limits<qint64>::max();
    constexpr qint64 Min = std::numeric_limits<qint64>::min();
    TempTables tables({codedCard("Elfe", "Ver", "Inv", "C"), codedCard("Loup", "Ver", "Inv", "C"),
                       codedCard("Ours", "Ver", "Inv", "U"), codedCard("Rat", "Rge", "Inv", "C"),
                       codedCard("Gobelin", "Rge", "Inv", "C")});
    Table table;
    table.setTableName(tables.cardPath());
    table.open();
    for (const auto &[name, dispo] : {std::pair{"Elfe", Max}, {"Loup", Max}, {"Ours", Max}, {"Rat", Min},
                                      {"Gobelin", Min}}) {
        ASSERT_TRUE(table.findKey({QString::fromUtf8(name), QString::fromUtf8(name) + " EN", "Base"}));
        table.edit();
        table.field(card::Dispo).setAsInteger(dispo);
        table.post();
    }
    table.close();
    Session session;
    session.setDatabaseDirectory(tables.dir());
    NoProgress none;
    const AnalysisMatrix m = analyseCollection(session.cardSource(), none).matrix;

    const auto copies = [&](int colour, int row, int column) { return m.Compteurs[colour][row][column].NbExemplaires; };
    EXPECT_EQ(copies(0, 0, 0), Max);
    EXPECT_EQ(copies(0, 0, TotalColumn), Max);
    EXPECT_EQ(copies(0, TotalRow, 0), Max);
    EXPECT_EQ(copies(0, TotalRow, TotalColumn), Max);
    EXPECT_EQ(copies(1, 0, 0), Min);
    EXPECT_EQ(copies(1, TotalRow, TotalColumn), Min);
}

TEST(AnalysisDrillDownTest, ParametersOfEveryCellKind)
{
    struct Case {
        int tab, row, column;
        const char *type;
        const char *rarete;
    } cases[] = {
        {0, 0, 0, "Inv", "C"},     {6, 0, 0, "C. Art", "C"}, {3, 1, 1, "Eph", "U"},
        {2, 2, 2, "Rit", "R"},     {1, 3, 0, "Enc", "C"},    {6, 3, 2, "Art", "R"},
        {4, 4, 3, "Int", ""},      {5, 5, 1, "Mana sourc", "U"}, {6, 6, 0, "Ter", "C"},
        {0, 7, 1, "", "U"},        {6, 7, 3, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.tab << "/" << c.row << "/" << c.column);
        const DrillDown d = drillDownOf(c.tab, c.row, c.column);
        EXPECT_EQ(d.couleur, c.tab);
        EXPECT_EQ(d.type, QString::fromUtf8(c.type));
        EXPECT_EQ(d.rarete, QString::fromUtf8(c.rarete));
    }
}

class AnalysisWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(program.status, 0);
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(program.tables.dir()); // the inventory writes FICHIER.TXT here
    }
    void TearDown() override { QDir::setCurrent(m_previousDir); }
    QAction *item(const char *name) const { return windows().principale->findChild<QAction *>(name); }
    QStringList texts(QListWidget *list) const
    {
        QStringList result;
        for (int i = 0; i < list->count(); ++i)
            result << list->item(i)->text();
        return result;
    }

    ScriptedDialogs dialogs;
    StartedProgram program{{codedCard("Elfe", "Ver", "Inv", "C", 1), codedCard("Druide", "Ver", "Inv", "U"),
                            codedCard("Golem", "Inc", "Art", "R", 0, 2), codedCard("Chose", "Ver", "Bizarre", "C"),
                            codedCard("Truc", "Ver", "Bizarre", "C")}};
    QString m_previousDir;
};

TEST_F(AnalysisWindowTest, MenuShowsTheGridAndCellsOpenTheirCards)
{
    TAnalyse *analyse = windows().analyse;
    TInventaire *inventaire = windows().inventaire;
    QStringList grid, quantityGrid, ordinaryOwned, totalMissing;
    int inventoriesShown = 0;
    whenShown(analyse, [&] {
        grid << analyse->cellLabel(0, 0)->text() << analyse->cellLabel(7, 3)->text();
        analyse->quantites1()->trigger();
        quantityGrid << analyse->cellLabel(7, 3)->text();
        analyse->quantites1()->trigger();

        // An ordinary cell, then the grand total: the inventory lists what
        // stands behind them; the grid is rebuilt each time it closes.
        whenShown(inventaire, [&] {
            ++inventoriesShown;
            ordinaryOwned = texts(inventaire->listBox1());
            inventaire->accept();
        });
        QTest::mouseClick(analyse->cellLabel(0, 0), Qt::LeftButton);
        whenShown(inventaire, [&] {
            ++inventoriesShown;
            totalMissing = texts(inventaire->listBox2());
            inventaire->accept();
        });
        QTest::mouseClick(analyse->cellLabel(7, 3), Qt::LeftButton);

        analyse->tabSet1()->setCurrentIndex(6);
        grid << analyse->cellLabel(3, 2)->text();
        analyse->quitter1()->trigger();
    });
    item("Analyserlacollection1")->trigger();

    EXPECT_FALSE(analyse->isVisible());
    EXPECT_EQ(grid, QStringList({QStringLiteral("  1/1   100 %"), QStringLiteral("  1/2   50.0 %"),
                                 QStringLiteral("  1/1   100 %")}));
    EXPECT_EQ(quantityGrid, QStringList({QStringLiteral("  1 /   1.0 Fr")}));
    EXPECT_EQ(inventoriesShown, 2);
    EXPECT_EQ(ordinaryOwned, QStringList({QStringLiteral("Elfe x 1 (Base)")}));
    // The total takes every type of the colour, the unknown one included.
    EXPECT_EQ(totalMissing, QStringList({QStringLiteral("Chose (Base)"), QStringLiteral("Druide (Base)"),
                                         QStringLiteral("Truc (Base)")}));
}

TEST_F(AnalysisWindowTest, UnknownCodeIsAskedYesOrNoAtOpeningAndRefreshNotOnReturnFromACell)
{
    TAnalyse *analyse = windows().analyse;
    TInventaire *inventaire = windows().inventaire;
    std::size_t askedAtOpening = 0, askedAfterCell = 0;
    whenShown(analyse, [&] {
        askedAtOpening = dialogs.questions.size();
        whenShown(inventaire, [&] { inventaire->accept(); });
        QTest::mouseClick(analyse->cellLabel(0, 0), Qt::LeftButton);
        askedAfterCell = dialogs.questions.size();
        analyse->rafraichir1()->trigger();
        analyse->quitter1()->trigger();
    });
    item("Analyserlacollection1")->trigger();

    // One question for the unknown type of two records, with "&Oui" and
    // "&Non" alone.
    EXPECT_EQ(askedAtOpening, 1u);
    EXPECT_EQ(askedAfterCell, 1u);
    EXPECT_EQ(dialogs.questions.size(), 2u);
    for (const ScriptedDialogs::Shown &question : dialogs.questions) {
        EXPECT_EQ(question.text, QStringLiteral("Type de carte inconnue : Bizarre"));
        EXPECT_FALSE(question.withHelp);
    }
}

TEST_F(AnalysisWindowTest, NothingStartsAPassOrClosesTheWindowDuringAPass)
{
    TAnalyse *analyse = windows().analyse;
    bool stillOpen = false;
    whenShown(analyse, [&] {
        // Run from inside the pass, when its gauge lets the windows work.
        QTimer::singleShot(0, analyse, [&] {
            EXPECT_TRUE(analyse->passRunning());
            analyse->rafraichir1()->trigger();
            analyse->quitter1()->trigger();
            analyse->reject();
        });
        analyse->rafraichir1()->trigger();
        stillOpen = analyse->isVisible();
        analyse->quitter1()->trigger();
    });
    item("Analyserlacollection1")->trigger();
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(analyse->isVisible());
    // The opening and the one refresh: one message each, no nested pass.
    EXPECT_EQ(dialogs.questions.size(), 2u);
}

// The opening pass lets timers run while the window is already visible: a
// scripted click made then would be ignored by the busy window and leave
// the test waiting in its exec(). The script waits for the window's loop.
TEST(AnalysisWindowScriptTest, ActsOnlyOnceTheOpeningPassHasEnded)
{
    ScriptedDialogs dialogs;
    std::vector<CardRow> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back(codedCard(QStringLiteral("Carte %1").arg(i), "Ver", "Inv", "C"));
    StartedProgram program{many};
    ASSERT_EQ(program.status, 0);
    TAnalyse *analyse = windows().analyse;
    bool passRunning = true;
    whenShown(analyse, [&] {
        passRunning = analyse->passRunning();
        analyse->quitter1()->trigger();
    });
    windows().principale->findChild<QAction *>("Analyserlacollection1")->trigger();
    EXPECT_FALSE(passRunning);
    EXPECT_FALSE(analyse->isVisible());
}
