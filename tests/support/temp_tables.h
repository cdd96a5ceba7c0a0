#pragma once

#include "tools/catalogue_writer.h"

#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <vector>

// A temporary database directory holding a CARTES.DB with the given rows and
// an empty ECHANGE.DB; removed with the object.
class TempTables
{
public:
    explicit TempTables(const std::vector<CardRow> &rows = {});
    QString dir() const { return m_dir.path(); }
    QString cardPath() const;
    QString path(const QString &fileName) const;

private:
    QTemporaryDir m_dir;
};

// A card row with the given names and counts (other fields set to
// ordinary values: rarity "C", colour "Ver", type "Inv", price 1).
CardRow makeCard(const QString &french, const QString &english, const QString &edition,
                 int dispo = 0, int utilise = 0);

// A card for the analysis tests: English name "<name> EN" and the given codes.
CardRow codedCard(const QString &name, const QString &couleur, const QString &type, const QString &rarete,
                  int dispo = 0, int utilise = 0, const QVariant &cote = 1.0,
                  const QString &edition = QStringLiteral("Base"));

// A card for the exchange tests: English name "<french> EN" and all four counts.
CardRow exchangeCard(const QString &french, const QString &edition, int dispo, int utilise, int echangeable,
                     int cherche);

// `count` cards "Carte <i>" of the edition "Base", every other one owned.
std::vector<CardRow> manyCards(int count);

// Overwrites 8 KB in the middle of a file, as a damaged disk does.
void damageMiddle(const QString &path);

// Reads a whole file (empty when it cannot be read).
QByteArray readFile(const QString &path);
