#pragma once

#include "analysis/analysis_matrix.h"
#include "analysis/valuation.h"

#include <QString>
#include <QStringList>

#include <vector>

// What the charts draw, taken from the values a window has already computed:
// a chart never reads the card table itself.

// One bar of the valuation chart: a price class and what its copies are
// worth (price x owned copies), in francs.
struct PriceClassBar {
    QString label; // "125.75 F"
    double value = 0;
};

// The classes of `valuation` in its order (dearest first).
std::vector<PriceClassBar> valueByPriceClass(const Valuation &valuation);

// The analysis chart: for each colour, what is owned against the printings
// still missing. In the completeness view "owned" counts the printings held
// at least once; in the quantity view it counts the copies held.
struct ColourBars {
    QStringList colours;         // "Vert", "Rouge", ... in tab order
    std::vector<qint64> owned;
    std::vector<qint64> missing; // printings with no copy
    QString ownedName;           // the legend of each series
    QString missingName;
};
ColourBars ownedAgainstMissing(const AnalysisMatrix &matrix, bool quantities);
