#include "analysis/valuation.h"

#include "analysis/saturating.h"

#include "data/card_table.h"
#include "data/dataset.h"
#include "data/dataset_guard.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace {

QString fixed2(double value, int width)
{
    return QString::number(value, 'f', 2).rightJustified(width, QLatin1Char(' '));
}

} // namespace

Valuation evaluateCollection(Dataset &source)
{
    Valuation result;
    // Price -> index of its class: one lookup per row keeps large tables fast.
    // Prices compare as exact doubles (0.0 and -0.0 are one class).
    std::unordered_map<double, std::size_t> classOf;

    // Sums do not depend on the order of the rows: read them as stored.
    source.close();
    source.setFieldsToRead({card::Dispo, card::Utilise, card::Cote});
    source.openUnordered();
    DatasetGuard guard(source);
    for (source.first(); !source.eof(); source.next()) {
        const qint64 copies = card::ownedCopies(source);
        const double price = source.field(card::Cote).asFloat();
        result.total += price * double(copies);
        if (copies < 1)
            continue;
        const auto [it, added] = classOf.try_emplace(price, result.classes.size());
        if (added) {
            result.classes.push_back({price, quint64(copies)});
        } else {
            // Counts of a damaged table may add up past the largest count:
            // the class stays at the largest instead of wrapping round.
            quint64 &quantite = result.classes[it->second].Quantite;
            quantite = saturatingAdd(quantite, quint64(copies));
        }
    }

    // Dearest first; a price that is not a number (never equal to anything)
    // goes last so that the order stays well defined.
    std::sort(result.classes.begin(), result.classes.end(),
              [](const TClasseCote &a, const TClasseCote &b) {
                  if (std::isnan(a.Prix))
                      return false;
                  return std::isnan(b.Prix) || a.Prix > b.Prix;
              });
    return result;
}

QString valuationSentence(double total)
{
    return QStringLiteral("Votre collection est estimable à ") + fixed2(total, 8)
           + QStringLiteral(" Francs.");
}

QString priceClassLine(const TClasseCote &priceClass)
{
    return QString::number(priceClass.Quantite).rightJustified(6, QLatin1Char(' '))
           + (priceClass.Quantite <= 1 ? QStringLiteral(" carte  cotée  ")
                                       : QStringLiteral(" cartes cotées "))
           + fixed2(priceClass.Prix, 5)
           + (priceClass.Prix > 1 ? QStringLiteral(" Francs") : QStringLiteral(" Franc"));
}
