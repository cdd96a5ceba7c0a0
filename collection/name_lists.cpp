#include "collection/name_lists.h"

#include "data/dataset_guard.h"
#include "data/card_table.h"
#include "data/dataset.h"
#include "data/query.h"
#include "data/session.h"

#include <limits>

namespace {

class EndGuard
{
public:
    explicit EndGuard(ListProgress &progress) : m_progress(progress) {}
    ~EndGuard() { m_progress.end(); }
    EndGuard(const EndGuard &) = delete;
    EndGuard &operator=(const EndGuard &) = delete;

private:
    ListProgress &m_progress;
};

// A damaged or hostile table may hold counts whose sum does not fit: the
// copies count then stays at the largest (or smallest) count.
qint64 addCopies(qint64 total, qint64 copies)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(total, copies, &sum))
        return copies > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return sum;
}

void openOwnedRows(Query &query)
{
    query.close();
    query.sql().clear();
    query.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM Cartes")
                << QStringLiteral("WHERE (Dispo > 0) OR (Utilise > 0)");
    query.openUnordered();
}

} // namespace

NameLists prepareNameLists(Session &session, ListProgress &progress)
{
    EndGuard endGuard(progress);
    NameLists lists;
    // Counts of the whole card table are read with the lists when the card
    // source is that table, saving a second pass over it.
    const bool sourceIsCardTable = !session.editionSelected();

    Dataset &cardSource = session.cardSource();
    cardSource.close();
    cardSource.openUnordered();
    DatasetGuard sourceGuard(cardSource);

    Query &query1 = session.query1;
    qint64 ownedRows = 0;
    {
        openOwnedRows(query1);
        DatasetGuard queryGuard(query1);
        ownedRows = query1.recordCount();
    }
    const qint64 sourceRows = cardSource.recordCount();
    progress.begin(ownedRows, sourceRows);

    lists.french.reserve(sourceRows);
    lists.english.reserve(sourceRows);
    for (cardSource.first(); !cardSource.eof(); cardSource.next()) {
        const QString edition = cardSource.field(card::Origine).asString();
        lists.french.append(cardSource.field(card::NomFrancais).asString(), edition);
        lists.english.append(cardSource.field(card::NomAnglais).asString(), edition);
        if (sourceIsCardTable) {
            if (cardSource.field(card::Dispo).asInteger() > 0 || cardSource.field(card::Utilise).asInteger() > 0) {
                ++lists.owned;
                lists.copies = addCopies(lists.copies, card::ownedCopies(cardSource));
            }
        }
        progress.sourceRow();
    }
    lists.total = sourceRows;
    cardSource.close();

    if (sourceIsCardTable) {
        progress.ownedPassStarted(lists.owned);
        progress.ownedRowsCounted(lists.owned);
    } else {
        openOwnedRows(query1);
        DatasetGuard queryGuard(query1);
        lists.owned = query1.recordCount();
        progress.ownedPassStarted(lists.owned);
        for (query1.first(); !query1.eof(); query1.next()) {
            lists.copies = addCopies(lists.copies, card::ownedCopies(query1));
            progress.ownedRow();
        }
        query1.close();
    }

    lists.french.sort();
    lists.english.sort();
    return lists;
}

QString listsCaption(qint64 owned, qint64 total, qint64 copies)
{
    return QString::number(owned) + QLatin1Char('/') + QString::number(total)
        + QStringLiteral("         - Recherche de cartes -         ") + QString::number(copies);
}
