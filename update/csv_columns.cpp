#include "update/csv_columns.h"

#include "data/card_table.h"

#include <QHash>

namespace csvimport {

QStringList targetTitles()
{
    QStringList titles{QStringLiteral("Ignorer")};
    titles += card::fieldNames().mid(0, card::Dessin);
    return titles;
}

int targetField(int choice)
{
    return choice <= 0 || choice > card::Cherche + 1 ? Ignored : choice - 1;
}

int targetChoice(int field)
{
    return field < 0 || field > card::Cherche ? 0 : field + 1;
}

QString normalizedTitle(const QString &title)
{
    QString plain;
    for (const QChar c : title.normalized(QString::NormalizationForm_D)) {
        if (c.isLetterOrNumber())
            plain += c.toLower();
    }
    return plain;
}

int guessField(const QString &title)
{
    // Normalized words: the field names, the titles of the search grid's
    // export, then the words of spreadsheets and other programs.
    static const QHash<QString, int> words = [] {
        const std::pair<int, const char *> known[] = {
            {card::NomFrancais, "nomfrancais"}, {card::NomFrancais, "nom"}, {card::NomFrancais, "frenchname"},
            {card::NomAnglais, "nomanglais"},   {card::NomAnglais, "name"}, {card::NomAnglais, "cardname"},
            {card::NomAnglais, "englishname"},  {card::Origine, "origine"}, {card::Origine, "edition"},
            {card::Origine, "extension"},       {card::Origine, "set"},     {card::Origine, "setname"},
            {card::Rarete, "rarete"},           {card::Rarete, "rarity"},   {card::Cote, "cote"},
            {card::Cote, "prix"},               {card::Cote, "price"},      {card::Couleur, "couleur"},
            {card::Couleur, "colour"},          {card::Couleur, "color"},   {card::Cout, "cout"},
            {card::Cout, "cost"},               {card::Cout, "manacost"},   {card::Force, "force"},
            {card::Force, "power"},             {card::Endurance, "endurance"},
            {card::Endurance, "toughness"},     {card::Type, "type"},       {card::Dispo, "dispo"},
            {card::Dispo, "disponible"},        {card::Dispo, "quantite"},  {card::Dispo, "quantity"},
            {card::Dispo, "qty"},               {card::Dispo, "count"},     {card::Dispo, "owned"},
            {card::Utilise, "utilise"},         {card::Utilise, "utilisee"}, {card::Utilise, "inuse"},
            {card::Echangeable, "echangeable"}, {card::Echangeable, "trade"},
            {card::Echangeable, "tradelist"},   {card::Cherche, "cherche"}, {card::Cherche, "wanted"},
            {card::Cherche, "want"},
        };
        QHash<QString, int> table;
        for (const auto &[field, word] : known)
            table.insert(QString::fromLatin1(word), field);
        return table;
    }();
    return words.value(normalizedTitle(title), Ignored);
}

std::vector<int> guessColumns(const QStringList &header)
{
    std::vector<int> columns;
    QList<int> taken;
    for (const QString &title : header) {
        int field = guessField(title);
        if (field != Ignored && taken.contains(field))
            field = Ignored;
        if (field != Ignored)
            taken << field;
        columns.push_back(field);
    }
    return columns;
}

} // namespace csvimport
