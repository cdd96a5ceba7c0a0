#include "data/post_batch.h"

PostBatch::PostBatch(Dataset &dataset, qint64 rows)
    : m_dataset(dataset)
    , m_step(qMax<qint64>(1, rows / 100))
{
    m_dataset.beginTransaction();
}

PostBatch::~PostBatch()
{
    try {
        commit();
    } catch (...) {
        // The pass's own error is the one reported; SQLite keeps the file
        // whole whatever happens to this last commit.
    }
}

void PostBatch::posted()
{
    if (++m_pending < m_step)
        return;
    commit();
    m_dataset.beginTransaction();
    m_open = true;
}

void PostBatch::commit()
{
    if (!m_open)
        return;
    m_open = false;
    m_pending = 0;
    m_dataset.commitTransaction();
}
