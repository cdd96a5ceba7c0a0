#include "analysis/chart_data.h"

#include "data/card_table.h"

using namespace analysis;

std::vector<PriceClassBar> valueByPriceClass(const Valuation &valuation)
{
    std::vector<PriceClassBar> bars;
    bars.reserve(valuation.classes.size());
    for (const TClasseCote &priceClass : valuation.classes) {
        QString label = QString::number(priceClass.Prix, 'f', 2) + QStringLiteral(" F");
        // Two classes whose prices round alike keep a bar each.
        if (!bars.empty() && bars.back().label == label)
            label = QString::number(priceClass.Prix, 'g', 12) + QStringLiteral(" F");
        bars.push_back({label, priceClass.Prix * double(priceClass.Quantite)});
    }
    return bars;
}

ColourBars ownedAgainstMissing(const AnalysisMatrix &matrix, bool quantities)
{
    ColourBars bars;
    bars.ownedName = quantities ? QStringLiteral("Exemplaires possédés") : QStringLiteral("Cartes possédées");
    bars.missingName = QStringLiteral("Cartes manquantes");
    for (int colour = 0; colour < Colours; ++colour) {
        // The grand total cell of the colour's grid: every type, every rarity.
        const TCompteurCase &total = matrix.Compteurs[size_t(colour)][TotalRow][TotalColumn];
        bars.colours << QString::fromUtf8(card::ColourNames[size_t(colour)]);
        bars.owned.push_back(quantities ? total.NbExemplaires : total.NbPossedees);
        bars.missing.push_back(total.NbCartes - total.NbPossedees);
    }
    return bars;
}
