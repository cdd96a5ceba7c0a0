#pragma once

#include "update/update_set.h"

#include <QString>
#include <QVariant>

// The lines of the update reports and the text of the deletion warning.
namespace report {

// A + "(" + C + ") est renomé en " + B
QString renamed(const UpdateLine &line);
// A + "(" + C + ") impossible de renomé en " + B
QString renameFailed(const UpdateLine &line);
// A + "(" + C + ") à été supprimée."
QString deleted(const UpdateLine &line);
// The warning shown before deleting a card of which copies are declared.
QString deletionWarning(const UpdateLine &line, qint64 dispo);

// A price with one decimal and a point, right-aligned in four characters:
// " 3.0", "12.5", "150.0".
QString fixedPrice(double price);
// A price in the number format of the user's settings ("12,5" in French,
// "3"); empty for a blank price.
QString generalPrice(const QVariant &price);

// "Apparition de " + N + " (" + E + ") à " + P + " Frs"
QString newCard(const QString &name, const QString &edition, const QVariant &price);
// "Devaluation de " + N + " (" + E + ") de " + old + " à " + new
QString priceDrop(const QString &name, const QString &edition, double oldPrice, double newPrice);
// "Reevaluation de " + N + " (" + E + ") de " + old + " à " + new
QString priceRise(const QString &name, const QString &edition, double oldPrice, double newPrice);

} // namespace report
