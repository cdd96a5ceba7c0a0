#pragma once

#include <QString>
#include <QStringList>
#include <array>

class Dataset;

// The card table CARTES.DB: fifteen fields in a fixed order (many passes read
// them by position), a primary key on the first three, and the code
// vocabularies of colour, type and rarity.
namespace card {

enum Field : int {
    NomFrancais = 0,
    NomAnglais = 1,
    Origine = 2,
    Rarete = 3,
    Cote = 4,
    Couleur = 5,
    Cout = 6,
    Force = 7,
    Endurance = 8,
    Type = 9,
    Dispo = 10,
    Utilise = 11,
    Echangeable = 12,
    Cherche = 13,
    Dessin = 14,
    FieldCount = 15
};

inline constexpr int KeyFieldCount = 3;

// Exact field names, in table order ("Nom_français", ..., "Dessin").
const QStringList &fieldNames();

inline const QString TableFile = QStringLiteral("CARTES.DB");
inline const QString ExchangeFile = QStringLiteral("ECHANGE.DB");

// SQL that creates a card table named `tableName` (used by tabrix-makedb and
// the tests; the program itself never creates a table).
QString createTableSql(const QString &tableName);

// SQL that makes the engine's index of English lookups (English name and
// edition) on a card table named `tableName`, when it has none. The index is
// the engine's own business: fields, order and key stay as they are.
QString lookupIndexSql(const QString &tableName);

// Makes the index of English lookups on the card table file at `filePath`
// when it lacks it and can be written (a table written by another program,
// or before the index). Never throws: without the index the lookups find the
// same rows, only more slowly.
void ensureLookupIndex(const QString &filePath);

// Colour index 0..6 of the analysis, the inventory and the classification.
inline constexpr int ColourCount = 7;
extern const std::array<const char *, ColourCount> ColourCodes; // "Ver", "Rge", ...
extern const std::array<const char *, ColourCount> ColourNames; // "Vert", "Rouge", ...
// Code of a colour index; empty text for an index outside 0..6.
QString colourCode(int index);

// Owned copies of the row a dataset stands on: Dispo + Utilise, held at the
// largest (or smallest) 64-bit count when the sum does not fit.
qint64 ownedCopies(Dataset &row);

// Card line: name + " (" + edition + ")".
QString cardLine(const QString &name, const QString &edition);
// Counted card line: name + " x " + count + " (" + edition + ")".
QString countedLine(const QString &name, qint64 count, const QString &edition);

// A card line split at its last "(": the name is the text before " (", the
// edition the text after "(" less its last character. A text without "("
// gives an empty name and the text less its last character.
struct SplitLine {
    QString name;
    QString edition;
};
SplitLine splitCardLine(const QString &line);

// A counted line turned back into a card line: the text before the first
// " x " plus one blank, then the text from the first "(" to the end.
QString uncountLine(const QString &countedLine);

} // namespace card
