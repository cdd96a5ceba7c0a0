#include "analysis/tgraphique_evaluation.h"

#include "analysis/chart_data.h"

#include <QBarSet>
#include <QChart>
#include <QValueAxis>

#include <algorithm>

namespace {
// Height of one class's bar, and of the title, legend and value axis.
constexpr int RowHeight = 18;
constexpr int Margins = 140;
}

TGraphiqueEvaluation::TGraphiqueEvaluation(QWidget *parent)
    : TGraphique(QStringLiteral("Graphique de l'évaluation"), parent)
{
    setObjectName(QStringLiteral("GraphiqueEvaluation"));
}

void TGraphiqueEvaluation::setValuation(const Valuation &valuation, bool editionSelected)
{
    const std::vector<PriceClassBar> bars = valueByPriceClass(valuation);
    auto *set = new QBarSet(QStringLiteral("Valeur des cartes de la classe (Francs)"));
    QStringList labels;
    double highest = 0;
    // A category axis at the left runs upwards: the classes go in cheapest
    // first so that the dearest is at the top.
    for (auto bar = bars.rbegin(); bar != bars.rend(); ++bar) {
        *set << bar->value;
        labels << bar->label;
        highest = std::max(highest, bar->value);
    }
    auto *francs = new QValueAxis;
    francs->setRange(0, highest > 0 ? highest * 1.05 : 1);
    francs->applyNiceNumbers();
    francs->setLabelFormat(QStringLiteral("%.0f"));
    francs->setTitleText(QStringLiteral("Francs"));
    drawHorizontalBars(set, labels, francs);

    chart()->setTitle(QStringLiteral("Valeur de la collection par classe de prix%1 : %2 Francs")
                    .arg(editionSelected ? QStringLiteral(" (édition choisie)") : QString(),
                         QString::number(valuation.total, 'f', 2)));
    setChartHeight(std::max(360, Margins + RowHeight * int(bars.size())));
}
