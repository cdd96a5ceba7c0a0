#include "app/counts_reset.h"

#include "data/progress.h"
#include "data/session.h"
#include "data/card_table.h"
#include "data/post_batch.h"

#include <initializer_list>

namespace {

// Closes the dataset and hides the progress however the pass ends, so a
// failed pass never leaves the hourglass and the gauge on screen.
class PassGuard
{
public:
    PassGuard(Dataset &dataset, Progress &progress) : m_dataset(dataset), m_progress(progress) {}
    ~PassGuard()
    {
        try {
            if (m_dataset.state() == Dataset::State::Edit || m_dataset.state() == Dataset::State::Insert)
                m_dataset.cancel();
            m_dataset.close();
        } catch (...) {
            // The pass's own error is the one the user must see.
        }
        m_progress.hide();
    }
    PassGuard(const PassGuard &) = delete;
    PassGuard &operator=(const PassGuard &) = delete;

private:
    Dataset &m_dataset;
    Progress &m_progress;
};

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
