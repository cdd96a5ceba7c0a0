#pragma once

#include <memory>
#include <sqlite3.h>

// Owning handles for code that writes a whole table file through SQLite's C
// API directly (the catalogue writer, the Paradox conversion): closed and
// finalized however the writing ends.
struct DatabaseCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;
