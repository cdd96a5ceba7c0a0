#pragma once

#include <QString>

class Progress;

// Converts the Paradox card table at `paradoxPath` into an SQLite card table
// at `targetPath` (which may be the Paradox file itself): the rows are
// written to a file beside the target, read back and compared (row count and
// copy counts), and only then put in place in one rename. A failure leaves
// the target as it was and throws AppError. Converting a file in place first
// copies it to `targetPath`.paradox (refused when that file exists). Returns
// the number of cards.
int convertParadoxCardTable(const QString &paradoxPath, const QString &targetPath, Progress &progress);

// Copies any Paradox table into a new SQLite table file at `sqlitePath`: the
// same field names, positions and values, the rows in the table's key order
// (the copy has no key of its own and is read back in the order written).
// This is how the program reads a Paradox table: in a child process, see
// paradox_reader_process.h. Returns the number of rows; throws AppError.
int copyParadoxTable(const QString &paradoxPath, const QString &sqlitePath, Progress &progress);
