#include "collection/card_lookup.h"

#include "data/dataset_guard.h"
#include "data/card_table.h"
#include "data/error.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "data/table.h"

#include <cmath>

namespace {

std::optional<CardDetails> lookup(Query &query, const QString &nameField, const QString &line)
{
    const card::SplitLine split = card::splitCardLine(line);
    query.close();
    query.sql() = lookupStatement(nameField, split.name, split.edition);
    query.open();
    DatasetGuard guard(query);
    if (query.eof())
        return std::nullopt;

    CardDetails d;
    d.french = query.field(card::NomFrancais).asString();
    d.english = query.field(card::NomAnglais).asString();
    d.edition = query.field(card::Origine).asString();
    d.rarete = query.field(card::Rarete).asString();
    d.cote = priceForDisplay(query.field(card::Cote).asString(), QLocale());
    d.couleur = query.field(card::Couleur).asString();
    d.cout = query.field(card::Cout).asString();
    d.force = query.field(card::Force).asString();
    d.endurance = query.field(card::Endurance).asString();
    d.type = query.field(card::Type).asString();
    d.dispo = query.field(card::Dispo).asInteger();
    d.utilise = query.field(card::Utilise).asInteger();
    d.echangeable = query.field(card::Echangeable).asInteger();
    d.cherche = query.field(card::Cherche).asInteger();
    return d;
}

} // namespace

QStringList lookupStatement(const QString &nameField, const QString &name, const QString &edition)
{
    return {QStringLiteral("SELECT *"), QStringLiteral("FROM Cartes"),
            QStringLiteral("WHERE ") + nameField + QStringLiteral(" = ") + sql::quoteDouble(name)
                + QStringLiteral(" AND Origine = ") + sql::quoteDouble(edition)};
}

std::optional<CardDetails> lookupFrench(Query &query1, const QString &frenchLine)
{
    return lookup(query1, QStringLiteral("Nom_français"), frenchLine);
}

std::optional<CardDetails> lookupEnglish(Query &query1, const QString &englishLine)
{
    return lookup(query1, QStringLiteral("Nom_anglais"), englishLine);
}

QString priceForDisplay(const QString &stored, QLocale locale)
{
    bool ok = false;
    const double value = stored.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return stored;
    // No group separator: the text is read back as the user left it.
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', QLocale::FloatingPointShortest);
}

std::optional<double> parsePrice(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    QString normalized = trimmed;
    normalized.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = normalized.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw AppError(QStringLiteral("La cote « %1 » n'est pas un nombre valide : tapez par exemple 12,5 "
                                      "ou laissez la case vide.")
                           .arg(text));
    return value;
}

bool writeCard(Table &cardTable, const QString &frenchLine, const QString &englishLine,
               const QString &priceText, const CardCounts &counts)
{
    // Checked first, so a bad price leaves the row as it was.
    const std::optional<double> price = parsePrice(priceText);

    const card::SplitLine french = card::splitCardLine(frenchLine);
    const QString english = card::splitCardLine(englishLine).name;

    cardTable.close();
    cardTable.open();
    DatasetGuard guard(cardTable);
    // The three fields are the primary key, so the row found by key is the one
    // a walk from the first row would meet first.
    if (!cardTable.findKey({french.name, english, french.edition}))
        return false;

    cardTable.edit();
    try {
        if (price)
            cardTable.field(card::Cote).setAsFloat(*price);
        else
            cardTable.field(card::Cote).clear();
        cardTable.field(card::Dispo).setAsInteger(counts.dispo);
        cardTable.field(card::Utilise).setAsInteger(counts.utilise);
        cardTable.field(card::Echangeable).setAsInteger(counts.echangeable);
        cardTable.field(card::Cherche).setAsInteger(counts.cherche);
        cardTable.post();
    } catch (...) {
        cardTable.cancel();
        throw;
    }
    return true;
}
