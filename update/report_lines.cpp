#include "update/report_lines.h"

#include "collection/card_lookup.h"
#include "data/value_conversion.h"

namespace report {

QString renamed(const UpdateLine &line)
{
    return line.a + QLatin1Char('(') + line.c + QStringLiteral(") est renomé en ") + line.b;
}

QString renameFailed(const UpdateLine &line)
{
    return line.a + QLatin1Char('(') + line.c + QStringLiteral(") impossible de renomé en ") + line.b;
}

QString deleted(const UpdateLine &line)
{
    return line.a + QLatin1Char('(') + line.c + QStringLiteral(") à été supprimée.");
}

QString deletionWarning(const UpdateLine &line, qint64 dispo)
{
    return QStringLiteral("Attention, la carte \"") + line.a + QStringLiteral(" (") + line.c
        + QStringLiteral(")\" n'existe pas, pourtant, vous déclarez ")
        + QStringLiteral("en avoir ... Elle vas-être supprimée, veuillez vérifier dans votre collection. ")
        + QStringLiteral("Nombre de carte : ") + QString::number(dispo);
}

QString fixedPrice(double price)
{
    return QString::asprintf("%4.1f", price);
}

QString generalPrice(const QVariant &price)
{
    // Written as the card entry window shows a price.
    return priceForDisplay(values::toText(price), QLocale());
}

QString newCard(const QString &name, const QString &edition, const QVariant &price)
{
    return QStringLiteral("Apparition de ") + name + QStringLiteral(" (") + edition + QStringLiteral(") à ")
        + generalPrice(price) + QStringLiteral(" Frs");
}

QString priceDrop(const QString &name, const QString &edition, double oldPrice, double newPrice)
{
    return QStringLiteral("Devaluation de ") + name + QStringLiteral(" (") + edition + QStringLiteral(") de ")
        + fixedPrice(oldPrice) + QStringLiteral(" à ") + fixedPrice(newPrice);
}

QString priceRise(const QString &name, const QString &edition, double oldPrice, double newPrice)
{
    return QStringLiteral("Reevaluation de ") + name + QStringLiteral(" (") + edition + QStringLiteral(") de ")
        + fixedPrice(oldPrice) + QStringLiteral(" à ") + fixedPrice(newPrice);
}

} // namespace report
