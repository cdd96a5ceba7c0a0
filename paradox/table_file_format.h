#pragma once

#include <QString>

// What a table file holds, told by its first bytes (never by its name: a
// collector's CARTES.DB may be a Paradox table as well as an SQLite file).
enum class TableFileFormat { Sqlite, Paradox, Unknown };
TableFileFormat tableFileFormat(const QString &filePath);
