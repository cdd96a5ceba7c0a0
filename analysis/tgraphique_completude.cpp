#include "analysis/tgraphique_completude.h"

#include "analysis/completion.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QValueAxis>

#include <algorithm>

namespace {
// Height of one edition's bar, and of the title, legend and value axis.
constexpr int RowHeight = 22;
constexpr int Margins = 140;
}

TGraphiqueCompletude::TGraphiqueCompletude(QWidget *parent)
    : TGraphique(QStringLiteral("Graphique de la complétude par édition"), parent)
{
    setObjectName(QStringLiteral("GraphiqueCompletude"));
}

void TGraphiqueCompletude::setRows(const std::vector<EditionCompletion> &rows, const EditionCompletion &total)
{
    QChart *c = chart();
    c->removeAllSeries();
    for (QAbstractAxis *axis : c->axes())
        c->removeAxis(axis);

    auto *set = new QBarSet(QStringLiteral("Cartes possédées (%)"));
    QStringList labels;
    // A category axis at the left runs upwards: the editions go in from the
    // last so that the first of the window is at the top.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        *set << std::max(0.0, completionPercent(*row));
        // Two editions may differ only by blanks the axis would merge.
        QString label = row->edition.isEmpty() ? QStringLiteral("(sans édition)") : row->edition;
        while (labels.contains(label))
            label += QLatin1Char(' ');
        labels << label;
    }
    auto *series = new QHorizontalBarSeries;
    series->append(set);
    series->setBarWidth(0.8);
    c->addSeries(series);

    auto *editions = new QBarCategoryAxis;
    editions->append(labels);
    editions->setTruncateLabels(false);
    c->addAxis(editions, Qt::AlignLeft);
    series->attachAxis(editions);
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setTickCount(11);
    percent->setLabelFormat(QStringLiteral("%.0f %%"));
    c->addAxis(percent, Qt::AlignBottom);
    series->attachAxis(percent);

    c->setTitle(QStringLiteral("Complétude par édition : %1 cartes possédées sur %2 (%3)")
                    .arg(total.owned)
                    .arg(total.printings)
                    .arg(completionCell(total, CompletionColumn::Percent)));
    setChartHeight(std::max(360, Margins + RowHeight * int(rows.size())));
}
