#pragma once

#include "data/dataset.h"

#include <QtGlobal>

// Groups the posts of a pass over many rows (reset, threshold, import,
// exchange table) into one transaction per hundredth of the rows instead of
// one commit per post. Whatever was posted is committed when the batch ends,
// also when the pass stops on an error: the rows done stay done, as they
// would with one commit per post, and a crash loses at most the current
// hundredth, never a row half written.
class PostBatch
{
public:
    // `dataset` is open; `rows` is the number of posts the pass expects (its
    // record count).
    PostBatch(Dataset &dataset, qint64 rows);
    ~PostBatch();
    PostBatch(const PostBatch &) = delete;
    PostBatch &operator=(const PostBatch &) = delete;

    // Called after each post.
    void posted();
    // Commits now (the pass ends); throws AppError when the commit fails.
    void commit();

private:
    Dataset &m_dataset;
    qint64 m_step;
    qint64 m_pending = 0;
    bool m_open = true;
};
