#include "collection/used_cards.h"

#include "data/card_table.h"
#include "data/dataset_guard.h"
#include "data/progress.h"
#include "data/query.h"

namespace {

QStringList cardLinesWhere(Query &query, Progress &progress, const QString &condition)
{
    query.close();
    query.sql().clear();
    query.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES") << condition;
    DatasetGuard guard(query);
    // The count does not depend on the order of the rows: taken in stored
    // order it costs a fraction of a count over the key order.
    query.openUnordered();
    const int count = query.recordCount();
    query.close();
    query.open();

    struct Shown {
        Progress &progress;
        ~Shown() { progress.hide(); }
    };
    progress.setMaximum(count);
    progress.show();
    Shown shown{progress};

    // The report names its fields; found once, not per row.
    const int name = query.fieldByName(QStringLiteral("Nom_Français")).position();
    const int edition = query.fieldByName(QStringLiteral("Origine")).position();
    QStringList lines;
    for (; !query.eof(); query.next()) {
        // Whole, however long, so that a double-click opens the card.
        lines << card::cardLine(query.field(name).asString(), query.field(edition).asString());
        progress.advance();
    }
    query.close();
    return lines;
}

} // namespace

UsedCards usedCardsLists(Query &query, Progress &progress)
{
    UsedCards report;
    report.used = cardLinesWhere(query, progress, QStringLiteral("WHERE Utilise > 0"));
    report.unused = cardLinesWhere(query, progress, QStringLiteral("WHERE Utilise = 0"));
    return report;
}
