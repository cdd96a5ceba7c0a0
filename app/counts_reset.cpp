#include "app/counts_reset.h"

#include "data/progress.h"
#include "data/session.h"
#include "data/card_table.h"
#include "data/pass_guard.h"
#include "data/post_batch.h"

#include <initializer_list>

namespace {

void zeroFields(Dataset &dataset, Progress &progress, std::initializer_list<int> positions)
{
    dataset.close();
    dataset.setFieldsToRead(positions);
    dataset.openUnordered();
    PassGuard guard(dataset, progress);
    const int rows = dataset.recordCount();
    progress.setMaximum(rows);
    progress.show();
    PostBatch batch(dataset, rows);
    while (!dataset.eof()) {
        dataset.edit();
        for (int position : positions)
            dataset.field(position).setAsInteger(0);
        dataset.post();
        batch.posted();
        progress.advance();
        dataset.next();
    }
    batch.commit();
}

} // namespace

void resetAllCounts(Session &session, Progress &progress)
{
    zeroFields(session.table, progress,
               {card::Dispo, card::Utilise, card::Echangeable, card::Cherche});
}

void resetExchangeCounts(Session &session, Progress &progress)
{
    zeroFields(session.cardSource(), progress, {card::Echangeable, card::Cherche});
}
