#include "tools/update_set_writer.h"

#include "data/card_table.h"
#include "data/dataset_guard.h"
#include "data/table.h"
#include "data/text_file.h"
#include "tools/catalogue_writer.h"

#include <vector>

namespace {

CardRow rowOf(Table &cards)
{
    CardRow row;
    row.nomFrancais = cards.field(card::NomFrancais).asString();
    row.nomAnglais = cards.field(card::NomAnglais).asString();
    row.origine = cards.field(card::Origine).asString();
    row.rarete = cards.field(card::Rarete).asString();
    row.cote = cards.field(card::Cote).isNull() ? QVariant() : QVariant(cards.field(card::Cote).asFloat());
    row.couleur = cards.field(card::Couleur).asString();
    row.cout = cards.field(card::Cout).asString();
    row.force = cards.field(card::Force).isNull() ? QVariant() : QVariant(cards.field(card::Force).asFloat());
    row.endurance =
        cards.field(card::Endurance).isNull() ? QVariant() : QVariant(cards.field(card::Endurance).asFloat());
    row.type = cards.field(card::Type).asString();
    return row;
}

QString line(const QString &a, const QString &b, const QString &c)
{
    return a + QStringLiteral("###") + b + QStringLiteral("%%%") + c;
}

} // namespace

void writeUpdateSet(const QString &cardTablePath, const QString &basePath, int records)
{
    std::vector<CardRow> catalogue;
    {
        Table cards;
        cards.setTableName(cardTablePath);
        cards.open();
        DatasetGuard closeAfterwards(cards);
        for (; !cards.eof(); cards.next())
            catalogue.push_back(rowOf(cards));
    }
    const int renames = records / 10;
    const int repriced = records / 2;
    // Printings taken at a stride, so each kind of change is spread over the
    // catalogue; each printing serves one change only.
    const int wanted = 3 * renames + renames + repriced;
    const size_t stride = qMax<size_t>(1, catalogue.size() / size_t(qMax(1, wanted)));
    size_t next = 0;
    auto take = [&]() -> const CardRow * {
        if (next >= catalogue.size())
            return nullptr;
        const CardRow *row = &catalogue[next];
        next += stride;
        return row;
    };

    QStringList french, english, deletions;
    for (int i = 0; i < renames; ++i) {
        if (const CardRow *row = take())
            french << line(row->nomFrancais, row->nomFrancais + QStringLiteral(" renommée"), row->origine);
        if (const CardRow *row = take())
            english << line(row->nomAnglais, row->nomAnglais + QStringLiteral(" Renamed"), row->origine);
        if (const CardRow *row = take())
            deletions << line(row->nomFrancais, row->nomAnglais, row->origine);
    }
    std::vector<CardRow> update;
    for (int i = 0; i < repriced; ++i) {
        if (const CardRow *row = take()) {
            CardRow changed = *row;
            changed.cote = (changed.cote.isValid() ? changed.cote.toDouble() : 0.0) + (i % 2 ? 0.5 : -0.25);
            update.push_back(changed);
        }
    }
    for (int i = 0; int(update.size()) < records; ++i) {
        CardRow fresh = catalogue.empty() ? CardRow() : catalogue[size_t(i) % catalogue.size()];
        fresh.nomFrancais = QStringLiteral("Nouvelle carte %1").arg(i);
        fresh.nomAnglais = QStringLiteral("New card %1").arg(i);
        fresh.origine = QStringLiteral("Nouvelle édition");
        fresh.dispo = 2; // the import sets the counts of a new card to 0
        update.push_back(fresh);
    }

    writeLinesFile(basePath + QStringLiteral(".maj"), {});
    writeLinesFile(basePath + QStringLiteral(".RNM"), french);
    writeLinesFile(basePath + QStringLiteral(".ANG"), english);
    writeLinesFile(basePath + QStringLiteral(".SUP"), deletions);
    writeCardTable(basePath + QStringLiteral(".DB"), update, QStringLiteral("MAJ"));
}
