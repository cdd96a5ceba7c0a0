#include "collection/name_lists.h"

#include "data/dataset_guard.h"
#include "data/card_table.h"
#include "data/dataset.h"
#include "data/query.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <vector>

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

void openOwnedRows(Query &query)
{
    query.close();
    query.sql().clear();
    query.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM Cartes")
                << QStringLiteral("WHERE (Dispo > 0) OR (Utilise > 0)");
    query.open();
}

} // namespace

void sortLines(QStringList &lines)
{
    // Sort keys are computed once per line: comparing through the collator
    // at each step would be several times slower on 100,000 lines.
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(lines.size());
    for (const QString &line : std::as_const(lines))
        keys.push_back(collator.sortKey(line));
    std::vector<qsizetype> order(lines.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const int c = keys[a].compare(keys[b]);
        // Lines equal for the collator keep a fixed order (exact text).
        return c != 0 ? c < 0 : lines.at(a) < lines.at(b);
    });
    QStringList sorted;
    sorted.reserve(lines.size());
    for (qsizetype i : order)
        sorted.append(lines.at(i));
    lines = std::move(sorted);
}

NameLists prepareNameLists(Dataset &cardSource, Query &query1, ListProgress &progress)
{
    EndGuard endGuard(progress);
    NameLists lists;

    cardSource.close();
    cardSource.open();
    DatasetGuard sourceGuard(cardSource);

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
        lists.french.append(card::cardLine(cardSource.field(card::NomFrancais).asString(), edition));
        lists.english.append(card::cardLine(cardSource.field(card::NomAnglais).asString(), edition));
        progress.sourceRow();
    }
    lists.total = sourceRows;
    cardSource.close();

    openOwnedRows(query1);
    DatasetGuard queryGuard(query1);
    lists.owned = query1.recordCount();
    progress.ownedPassStarted(lists.owned);
    for (query1.first(); !query1.eof(); query1.next()) {
        lists.copies += card::ownedCopies(query1);
        progress.ownedRow();
    }
    query1.close();

    sortLines(lists.french);
    sortLines(lists.english);
    return lists;
}

QString listsCaption(qint64 owned, qint64 total, qint64 copies)
{
    return QString::number(owned) + QLatin1Char('/') + QString::number(total)
        + QStringLiteral("         - Recherche de cartes -         ") + QString::number(copies);
}
