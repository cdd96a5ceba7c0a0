#pragma once

#include "data/dataset.h"

// Closes a dataset when the command that opened it ends, also on an error.
class DatasetGuard
{
public:
    explicit DatasetGuard(Dataset &dataset) : m_dataset(dataset) {}
    ~DatasetGuard()
    {
        try {
            m_dataset.close();
        } catch (...) {
            // A close that fails must not hide the error being reported.
        }
    }
    DatasetGuard(const DatasetGuard &) = delete;
    DatasetGuard &operator=(const DatasetGuard &) = delete;

private:
    Dataset &m_dataset;
};
