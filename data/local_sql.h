#pragma once

#include <QString>
#include <QStringList>
#include <QVariantList>

// Translation of the local SQL dialect into SQLite SQL. Every text constant
// becomes a bound parameter; field names are matched to the table's columns
// without regard to case and written as quoted identifiers.
namespace localsql {

struct Statement {
    bool distinct = false;
    QStringList selectFields;    // empty for "*"
    QString table;               // table name or full path as written
    bool tableIsPath = false;    // FROM "<full path>"
    QString condition;           // SQLite condition with '?' (empty: none)
    QVariantList binds;          // values of the placeholders, in order
};

// Parses the joined statement lines; `columns` are the table's field names,
// used to resolve field names. The table part is parsed first so a caller can
// find the columns: call parseTable(), then parse() with them.
// Throws AppError with a French message on a syntax error or unknown field.
QString parseTable(const QString &text, bool *isPath);
Statement parse(const QString &text, const QStringList &columns);
// The same, knowing which columns are numeric (parallel to `columns`): a text
// constant compared with a numeric field is bound as a number, and one that
// is not a number throws AppError.
Statement parse(const QString &text, const QStringList &columns, const QList<bool> &numericColumns);

} // namespace localsql
