#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

// Writing card tables: the installed CARTES.DB from the demo catalogue, an
// empty ECHANGE.DB, and synthetic catalogues for tests and benchmarks.
struct CardRow {
    QString nomFrancais;
    QString nomAnglais;
    QString origine;
    QString rarete;
    QVariant cote;       // double, or invalid for a blank price
    QString couleur;
    QString cout;
    QVariant force;      // number, or invalid for blank
    QVariant endurance;  // number, or invalid for blank
    QString type;
    int dispo = 0;
    int utilise = 0;
    int echangeable = 0;
    int cherche = 0;
    QByteArray dessin;   // JPEG bytes, or empty
};

// Creates (replacing any file there) a table file holding one card table
// named `tableName` with `rows`. Rollback journal, so the file stands alone.
// Throws AppError on failure (including two rows with the same key).
void writeCardTable(const QString &filePath, const std::vector<CardRow> &rows,
                    const QString &tableName = QStringLiteral("CARTES"));

// `count` invented printings with every colour, type and rarity code (and the
// other spellings the analysis accepts), names in two languages with accents,
// cards in several editions, prices with decimals, blank prices, some counts.
// The same seed gives the same catalogue.
std::vector<CardRow> syntheticCatalogue(int count, unsigned seed = 1);

// Reads the demo catalogue of the folder `catalogueDir` (its cards file and
// the JPEG pictures it names). Throws AppError when it cannot be read.
std::vector<CardRow> demoCatalogue(const QString &catalogueDir);
