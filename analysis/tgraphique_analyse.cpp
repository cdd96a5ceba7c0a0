#include "analysis/tgraphique_analyse.h"

#include "analysis/chart_data.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QValueAxis>

#include <algorithm>

TGraphiqueAnalyse::TGraphiqueAnalyse(QWidget *parent)
    : TGraphique(QStringLiteral("Graphique de l'analyse"), parent)
{
    setObjectName(QStringLiteral("GraphiqueAnalyse"));
}

void TGraphiqueAnalyse::setMatrix(const AnalysisMatrix &matrix, bool quantities, bool editionSelected)
{
    QChart *c = chart();
    clearChart();

    const ColourBars bars = ownedAgainstMissing(matrix, quantities);
    auto *owned = new QBarSet(bars.ownedName);
    auto *missing = new QBarSet(bars.missingName);
    owned->setColor(QColor(0x4e, 0x8a, 0x3e));
    missing->setColor(QColor(0xc0, 0x50, 0x40));
    qint64 highest = 0;
    for (size_t i = 0; i < bars.owned.size(); ++i) {
        *owned << double(bars.owned[i]);
        *missing << double(bars.missing[i]);
        highest = std::max({highest, bars.owned[i], bars.missing[i]});
    }
    auto *series = new QBarSeries;
    series->append(owned);
    series->append(missing);
    c->addSeries(series);

    auto *colours = new QBarCategoryAxis;
    colours->append(bars.colours);
    // "Artefact/Autre" is a little wider than its bar group: written whole,
    // it reaches into the margin beside the short "Chrome".
    colours->setTruncateLabels(false);
    c->addAxis(colours, Qt::AlignBottom);
    series->attachAxis(colours);
    auto *counts = new QValueAxis;
    counts->setRange(0, highest > 0 ? double(highest) * 1.1 : 1);
    counts->applyNiceNumbers();
    counts->setLabelFormat(QStringLiteral("%.0f"));
    c->addAxis(counts, Qt::AlignLeft);
    series->attachAxis(counts);

    c->setTitle((quantities ? QStringLiteral("Exemplaires possédés et cartes manquantes par couleur")
                            : QStringLiteral("Cartes possédées et manquantes par couleur"))
                + (editionSelected ? QStringLiteral(" (édition choisie)") : QString()));
    setChartHeight(360);
}
