#pragma once

#include "data/dataset.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class SqliteConnection;

// The layout of the one table a table file holds.
struct ColumnInfo {
    QString name;
    QString quoted; // as an SQLite identifier
    Dataset::Kind kind = Dataset::Kind::Text;
    bool notNull = false;
};

struct TableInfo {
    QString name;
    QString quotedName;
    std::vector<ColumnInfo> columns;
    std::vector<int> keyColumns; // positions of the primary key, in key order

    QStringList columnNames() const;
    QList<bool> numericColumns() const;
};

// Finds the file's one table and reads its columns and primary key. Throws
// AppError for a file that is not a database, that holds no table or several
// tables, or whose table has no rowid to address its rows by.
TableInfo readTableInfo(const std::shared_ptr<SqliteConnection> &connection);

// The name of the first object of the file that is neither its table nor an
// index (a trigger, a view), or an empty string. Tabrix never runs them, but
// any other SQLite client that opens the file does: a file from someone else
// whose content enters the card table must hold none.
QString foreignSchemaObject(const std::shared_ptr<SqliteConnection> &connection);

// Checks that the table holds `names` at positions 0..n-1 (letter case
// ignored); AppError naming the file otherwise.
void checkRequiredFields(const TableInfo &info, const QStringList &names, const QString &filePath);

// Column kind of an SQLite declared type, by SQLite's affinity rules.
Dataset::Kind kindOfDeclaredType(const QString &declaredType);

// A full path to an existing table file: the path itself, or the file of its
// directory whose name matches without regard to letter case. AppError
// ("Table introuvable : ...") when there is none.
QString findTableFile(const QString &path);
