#include "analysis/tanalyse.h"
#include "analysis/tevaluation.h"
#include "analysis/tgraphique_analyse.h"
#include "analysis/tgraphique_evaluation.h"
#include "data/session.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The bars of a chart window: each set's name and values, and the category
// labels, as a user reads them.
struct Bars {
    QStringList categories;
    std::vector<std::pair<QString, std::vector<double>>> sets;
};

Bars barsOf(const TGraphique &window)
{
    Bars bars;
    const QList<QAbstractSeries *> series = window.chart()->series();
    if (series.size() != 1)
        return bars;
    auto *barSeries = qobject_cast<QAbstractBarSeries *>(series.first());
    for (QBarSet *set : barSeries->barSets()) {
        std::vector<double> values;
        for (int i = 0; i < set->count(); ++i)
            values.push_back(set->at(i));
        bars.sets.push_back({set->label(), values});
    }
    for (QAbstractAxis *axis : barSeries->attachedAxes())
        if (auto *categories = qobject_cast<QBarCategoryAxis *>(axis))
            bars.categories = categories->categories();
    return bars;
}

// A horizontal chart's categories run upwards: read from the top, as a
// user reads the list.
Bars fromTheTop(Bars bars)
{
    std::reverse(bars.categories.begin(), bars.categories.end());
    for (auto &set : bars.sets)
        std::reverse(set.second.begin(), set.second.end());
    return bars;
}

struct Tables {
    TempTables tables;
    Session session;
    explicit Tables(const std::vector<CardRow> &rows) : tables(rows) { session.setDatabaseDirectory(tables.dir()); }
};

} // namespace

TEST(ChartTest, ValuationChartHoldsTheValueOfEachPriceClassAndFollowsTheEdition)
{
    Tables t({codedCard("Ange", "Bla", "Inv", "R", 1, 0, 125.75), codedCard("Ours", "Ver", "Inv", "C", 2, 0, 10.0),
              codedCard("Loup", "Ver", "Inv", "C", 0, 1, 10.0), codedCard("Rat", "Noi", "Inv", "C", 3, 1, 2.5),
              codedCard("Roc", "Rge", "Inv", "U", 0, 0, 40.0), codedCard("Elfe", "Ver", "Inv", "U", 1, 0, 7.0, "Autre")});
    ScriptedDialogs dialogs;
    TEvaluation evaluation(t.session);
    evaluation.FormShow();
    ASSERT_EQ(evaluation.popupMenu1()->actions(), QList<QAction *>{evaluation.graphique1()});
    EXPECT_EQ(evaluation.graphique1()->text(), QStringLiteral("Graphique…"));
    evaluation.graphique1()->trigger();
    TGraphiqueEvaluation *chart = evaluation.chartWindow();
    ASSERT_NE(chart, nullptr);
    EXPECT_TRUE(chart->isVisible());

    Bars bars = fromTheTop(barsOf(*chart));
    EXPECT_EQ(bars.categories, (QStringList{"125.75 F", "10.00 F", "7.00 F", "2.50 F"}));
    ASSERT_EQ(bars.sets.size(), 1u);
    EXPECT_EQ(bars.sets[0].second, (std::vector<double>{125.75, 30.0, 7.0, 10.0}));
    EXPECT_TRUE(chart->chart()->title().endsWith(QStringLiteral("172.75 Francs")));

    // The valuation window recomputed on one edition: the chart follows,
    // and the axes of the first drawing are freed, not left behind.
    std::vector<QPointer<QAbstractAxis>> firstAxes;
    for (QAbstractAxis *axis : chart->chart()->axes())
        firstAxes.emplace_back(axis);
    t.session.selectEdition(QStringLiteral("Base"));
    evaluation.FormShow();
    EXPECT_EQ(std::count(firstAxes.begin(), firstAxes.end(), nullptr), 2);
    bars = fromTheTop(barsOf(*chart));
    EXPECT_EQ(bars.categories, (QStringList{"125.75 F", "10.00 F", "2.50 F"}));
    EXPECT_EQ(bars.sets[0].second, (std::vector<double>{125.75, 30.0, 10.0}));
    EXPECT_TRUE(chart->chart()->title().contains(QStringLiteral("(édition choisie)")));

    evaluation.done(0);
    EXPECT_FALSE(chart->isVisible());
}

TEST(ChartTest, AnalysisChartHoldsOwnedAgainstMissingPerColourInTheViewsTerms)
{
    Tables t({codedCard("Elfe", "Ver", "Inv", "C", 2, 0, 1), codedCard("Druide", "Ver", "Inv", "U", 0, 0, 1),
              codedCard("Sylve", "Ver", "Eph", "R", 0, 3, 1), codedCard("Feu", "Rge", "Rit", "C", 0, 0, 1),
              codedCard("Golem", "Inc", "Art", "R", 1, 1, 1), codedCard("Nuit", "Noi", "Inv", "C", 1, 0, 1, "Autre")});
    ScriptedDialogs dialogs;
    TAnalyse analyse(t.session);
    analyse.FormShow();
    EXPECT_EQ(analyse.graphique1()->text(), QStringLiteral("Graphique…"));
    analyse.graphique1()->trigger();
    TGraphiqueAnalyse *chart = analyse.chartWindow();
    ASSERT_NE(chart, nullptr);

    const QStringList colours{"Vert", "Rouge", "Noir", "Bleu", "Blanc", "Chrome", "Artefact/Autre"};
    Bars bars = barsOf(*chart);
    EXPECT_EQ(bars.categories, colours);
    ASSERT_EQ(bars.sets.size(), 2u);
    EXPECT_EQ(bars.sets[0].first, QStringLiteral("Cartes possédées"));
    EXPECT_EQ(bars.sets[0].second, (std::vector<double>{2, 0, 1, 0, 0, 0, 1}));
    EXPECT_EQ(bars.sets[1].first, QStringLiteral("Cartes manquantes"));
    EXPECT_EQ(bars.sets[1].second, (std::vector<double>{1, 1, 0, 0, 0, 0, 0}));

    // "Quantités": the copies owned against the printings missing.
    analyse.quantites1()->trigger();
    bars = barsOf(*chart);
    EXPECT_EQ(bars.sets[0].first, QStringLiteral("Exemplaires possédés"));
    EXPECT_EQ(bars.sets[0].second, (std::vector<double>{5, 0, 1, 0, 0, 0, 2}));
    EXPECT_EQ(bars.sets[1].second, (std::vector<double>{1, 1, 0, 0, 0, 0, 0}));

    // A pass on one edition redraws the open chart.
    t.session.selectEdition(QStringLiteral("Autre"));
    analyse.Rafraichir1Click();
    bars = barsOf(*chart);
    EXPECT_EQ(bars.sets[0].second, (std::vector<double>{0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(bars.sets[1].second, (std::vector<double>{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(dialogs.questions.empty());
}

TEST(ChartTest, SavedPictureIsAPngOfTheWholeChart)
{
    // Sixty classes: taller than the window, so part of the chart scrolls.
    std::vector<CardRow> rows;
    for (int i = 1; i <= 60; ++i)
        rows.push_back(codedCard(QStringLiteral("Carte %1").arg(i), "Ver", "Inv", "C", 1, 0, i * 1.5));
    Tables t(rows);
    ScriptedDialogs dialogs;
    TEvaluation evaluation(t.session);
    evaluation.FormShow();
    evaluation.graphique1()->trigger();
    TGraphiqueEvaluation *chart = evaluation.chartWindow();
    EXPECT_EQ(barsOf(*chart).sets[0].second.size(), 60u);

    QTemporaryDir dir;
    dialogs.files.push_back(dir.filePath(QStringLiteral("valeur")));
    chart->enregistrerImage1()->trigger();
    const QString written = dir.filePath(QStringLiteral("valeur.png"));
    QImage picture;
    ASSERT_TRUE(picture.load(written, "PNG")) << written.toStdString();
    EXPECT_GT(picture.height(), chart->height());
    EXPECT_GE(picture.height(), 60 * 18);
    EXPECT_EQ(dialogs.filters, QStringList{QStringLiteral("Image PNG (*.png)|*.png")});
    EXPECT_TRUE(dialogs.errors.isEmpty());

    // A folder that cannot be written: the error box says so, nothing else.
    dialogs.files.push_back(dir.filePath(QStringLiteral("absent/valeur.png")));
    chart->enregistrerImage1()->trigger();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("Impossible d'écrire l'image")));
}
