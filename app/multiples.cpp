#include "app/multiples.h"

#include "data/card_table.h"
#include "data/dataset.h"
#include "data/dataset_guard.h"

QStringList multiplesLines(Dataset &source, int multiplicite)
{
    QStringList lines;
    source.close();
    // The names and editions are key fields, always read.
    source.setFieldsToRead({card::Dispo, card::Utilise});
    source.open();
    DatasetGuard guard(source);
    for (source.first(); !source.eof(); source.next()) {
        const qint64 copies = card::ownedCopies(source);
        const bool kept = multiplicite >= 5 ? copies >= 5 : copies == multiplicite;
        if (kept && copies > 0)
            lines << card::countedLine(source.field(card::NomFrancais).asString(), copies,
                                       source.field(card::Origine).asString());
    }
    return lines;
}
