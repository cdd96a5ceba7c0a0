#pragma once

#include "data/dataset.h"

#include <QString>
#include <memory>

// The one entry point for a table file a user hands: an SQLite table file
// opens as an untrusted read-only Table, a Paradox table as a ParadoxTable.
// Throws AppError when the file is neither. The dataset is not yet open.
std::unique_ptr<Dataset> openHandedTable(const QString &filePath);
