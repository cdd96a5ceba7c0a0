#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

class Query;
class Table;

// What the card entry window shows of one printing.
struct CardDetails {
    QString french;
    QString english;
    QString edition;
    QString rarete;
    QString cote;
    QString couleur;
    QString cout;
    QString force;
    QString endurance;
    QString type;
    qint64 dispo = 0;
    qint64 utilise = 0;
    qint64 echangeable = 0;
    qint64 cherche = 0;

    QStringList key() const { return {french, english, edition}; }
};

// Looks up a French (or English) card line on the scratch query: the text is
// split at its last "(" and the first row with that name and edition is
// returned; nothing when there is none. Errors of the engine throw AppError.
std::optional<CardDetails> lookupFrench(Query &query1, const QString &frenchLine);
std::optional<CardDetails> lookupEnglish(Query &query1, const QString &englishLine);

// The statement lines of a lookup (the values quoted by the one helper).
QStringList lookupStatement(const QString &nameField, const QString &name, const QString &edition);

struct CardCounts {
    qint64 dispo = 0;
    qint64 utilise = 0;
    qint64 echangeable = 0;
    qint64 cherche = 0;
};

// A stored price ("12.5") in the number format of `locale` ("12,5" in
// French); a text that is not a number is shown as it is.
QString priceForDisplay(const QString &stored, QLocale locale);

// A price as typed: "12.5" and "12,5" are 12.5; blank text is no price.
// Anything else throws AppError with a French message.
std::optional<double> parsePrice(const QString &text);

// Writes the price and the four counts into the card-table row of the
// French line's name and edition and the English line's name. The price is
// checked before anything is written. Returns false when no row has that key.
bool writeCard(Table &cardTable, const QString &frenchLine, const QString &englishLine,
               const QString &priceText, const CardCounts &counts);
