#include "collection/inventory.h"

#include "data/dataset_guard.h"
#include "data/text_file.h"
#include "data/card_table.h"
#include "data/dataset.h"

bool inventoryMatches(Dataset &row, const InventoryCriteria &criteria)
{
    if (criteria.modeCote)
        return row.field(card::Cote).asFloat() == criteria.cote;
    return row.field(card::Couleur).asString() == card::colourCode(criteria.couleur)
        && (criteria.rarete.isEmpty() || row.field(card::Rarete).asString() == criteria.rarete)
        && (criteria.type.isEmpty() || row.field(card::Type).asString() == criteria.type);
}

InventoryLists fillInventory(Dataset &cardSource, const InventoryCriteria &criteria,
                             const QString &filePath)
{
    TextFileWriter file(filePath);

    InventoryLists lists;
    cardSource.close();
    cardSource.open();
    DatasetGuard guard(cardSource);
    for (; !cardSource.eof(); cardSource.next()) {
        if (!inventoryMatches(cardSource, criteria))
            continue;
        const QString name = cardSource.field(card::NomFrancais).asString();
        const QString edition = cardSource.field(card::Origine).asString();
        const qint64 copies = card::ownedCopies(cardSource);
        if (copies > 0) {
            const QString line = card::countedLine(name, copies, edition);
            lists.owned.append(line);
            file.writeLine(line);
        } else {
            lists.missing.append(card::cardLine(name, edition));
        }
    }
    cardSource.close();
    file.close();
    return lists;
}
