#include "analysis/tgraphique_completude.h"

#include "analysis/completion.h"

#include <QBarSet>
#include <QChart>
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
    auto *set = new QBarSet(QStringLiteral("Cartes possédées (%)"));
    QStringList labels;
    // A category axis at the left runs upwards: the editions go in from the
    // last so that the first of the window is at the top.
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        *set << std::max(0.0, completionPercent(*row));
        // The axis needs distinct labels: an edition that is called
        // "(sans édition)" must not take the place of the blank one.
        QString label = row->edition.isEmpty() ? QStringLiteral("(sans édition)") : row->edition;
        while (labels.contains(label))
            label += QLatin1Char(' ');
        labels << label;
    }
    auto *percent = new QValueAxis;
    percent->setRange(0, 100);
    percent->setTickCount(11);
    percent->setLabelFormat(QStringLiteral("%.0f %%"));
    drawHorizontalBars(set, labels, percent);

    chart()->setTitle(QStringLiteral("Complétude par édition : %1 cartes possédées sur %2 (%3)")
                    .arg(total.owned)
                    .arg(total.printings)
                    .arg(completionCell(total, CompletionColumn::Percent)));
    setChartHeight(std::max(360, Margins + RowHeight * int(rows.size())));
}
