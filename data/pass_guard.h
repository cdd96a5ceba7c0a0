#pragma once

#include "data/dataset.h"
#include "data/progress.h"

// Closes the dataset and hides the progress however a pass ends, so a failed
// pass never leaves a row half edited, the hourglass or the gauge on screen.
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
