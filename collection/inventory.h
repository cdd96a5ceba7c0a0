#pragma once

#include <QString>
#include <QStringList>

class Dataset;

// Which printings the inventory lists: one colour (with a type and a rarity,
// empty meaning any), or, in price mode, one price.
struct InventoryCriteria {
    quint8 couleur = 0;
    QString type;
    QString rarete;
    bool modeCote = false;
    double cote = 0;
};

// Owned printings as "name x copies (edition)", missing ones as
// "name (edition)", both in the order of the card source.
struct InventoryLists {
    QStringList owned;
    QStringList missing;
};

// Does the row the dataset stands on belong to the inventory?
bool inventoryMatches(Dataset &row, const InventoryCriteria &criteria);

// Reads the card source and writes the owned lines to the text file at
// `filePath` (created anew, cp1252, CRLF). The file is created before the
// pass: when it cannot be, AppError is thrown and nothing is read.
InventoryLists fillInventory(Dataset &cardSource, const InventoryCriteria &criteria,
                             const QString &filePath);
