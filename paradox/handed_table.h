#pragma once

#include "data/dataset.h"
#include "paradox/table_file_format.h"

#include <QString>
#include <memory>

// The one entry point for a table file a user hands: an SQLite table file
// opens as an untrusted read-only Table, a Paradox table as its copy made
// apart by the helper program (see paradox_reader_process.h). Throws
// AppError when the file is neither. The dataset is not yet open.
std::unique_ptr<Dataset> openHandedTable(const QString &filePath);
