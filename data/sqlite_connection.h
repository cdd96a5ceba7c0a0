#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// How a table file is opened.
enum class OpenMode {
    ReadOnly,   // reading only; the file is left in its journal mode
    Writable,   // read-write, WAL with synchronous=NORMAL
    Standalone, // read-write, rollback journal: the file stays self-contained
    Untrusted,  // a file from someone else: read-only with defensive settings
};

// Turns an SQLite result code into AppError (French message naming the file,
// followed by SQLite's own message). Does nothing for OK, ROW and DONE.
void checkSqlite(sqlite3 *db, int rc, const QString &filePath);
[[noreturn]] void throwSqlite(sqlite3 *db, int rc, const QString &filePath);

// One open SQLite database file. Closed when the last owner lets it go.
class SqliteConnection
{
public:
    SqliteConnection(const QString &filePath, OpenMode mode);

    sqlite3 *handle() const { return m_db.get(); }
    const QString &filePath() const { return m_filePath; }
    OpenMode mode() const { return m_mode; }
    // True when SQLite could only open the file for reading.
    bool isReadOnly() const;

    void check(int rc) const { checkSqlite(handle(), rc, m_filePath); }
    // Runs statements that return nothing worth reading.
    void exec(const QString &sql);

private:
    struct Closer {
        void operator()(sqlite3 *db) const;
    };
    void configure();
    void secureForUntrustedFile();

    QString m_filePath;
    OpenMode m_mode;
    std::unique_ptr<sqlite3, Closer> m_db;
};

// A prepared statement, kept and re-bound for each use. It keeps its
// connection alive.
class SqliteStatement
{
public:
    SqliteStatement(std::shared_ptr<SqliteConnection> connection, const QString &sql);

    // Binds by 1-based index: invalid/null -> NULL, integers, doubles, byte
    // arrays as blobs, anything else as text.
    void bind(int index, const QVariant &value);
    // Binds the values to the placeholders from `first` on.
    void bindAll(const QVariantList &values, int first = 1);
    // Steps; true while it stands on a row.
    bool step();
    // Ends the current run so the statement holds no lock; bindings are kept.
    void reset();

    int columnCount() const;
    QVariant column(int index) const;
    qint64 columnInt(int index) const;

    SqliteConnection &connection() const { return *m_connection; }

private:
    struct Finalizer {
        void operator()(sqlite3_stmt *statement) const;
    };
    std::shared_ptr<SqliteConnection> m_connection;
    std::unique_ptr<sqlite3_stmt, Finalizer> m_statement;
};

// Resets a statement when the scope ends, exceptions included, so that no
// read transaction stays open between two calls.
class StatementRun
{
public:
    explicit StatementRun(SqliteStatement &statement) : m_statement(statement) {}
    ~StatementRun() { m_statement.reset(); }
    StatementRun(const StatementRun &) = delete;
    StatementRun &operator=(const StatementRun &) = delete;

private:
    SqliteStatement &m_statement;
};

// A name as an SQLite quoted identifier.
QString quoteIdentifier(const QString &name);
