#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <memory>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;
struct TableInfo;
class QTemporaryDir;

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
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection &) = delete;
    SqliteConnection &operator=(const SqliteConnection &) = delete;

    sqlite3 *handle() const { return m_db.get(); }
    const QString &filePath() const { return m_filePath; }
    OpenMode mode() const { return m_mode; }
    // True when SQLite could only open the file for reading.
    bool isReadOnly() const;
    // False once the file at the path has been replaced by another one (a
    // table written aside and renamed into place): the connection still
    // reads the old file.
    bool isStillTheFile() const;

    void check(int rc) const { checkSqlite(handle(), rc, m_filePath); }
    // Runs statements that return nothing worth reading.
    void exec(const QString &sql);

    // The journal a writable connection gives the file: Writable (WAL,
    // synchronous=NORMAL) or Standalone (rollback journal). It is switched
    // at the first write, so that a file of another kind, or one that is
    // only read, is left exactly as it was and no WAL file is made for a
    // pass that writes nothing.
    void useJournal(OpenMode mode) { m_wantedJournal = mode; }
    bool journalPending() const { return m_wantedJournal != m_journal; }
    // Switches to the journal asked for; does nothing on a read-only
    // connection. The switch needs no statement running on the connection.
    void prepareToWrite();

    // Prepared statements let go by their SqliteStatement, kept for the next
    // statement of the same text (a lookup per keystroke, a cursor reopened).
    sqlite3_stmt *takePrepared(const QByteArray &sql);
    void keepPrepared(const QByteArray &sql, sqlite3_stmt *statement);

    // The layout of the file's table, read once per connection and read again
    // only when the file's schema changes.
    std::shared_ptr<const TableInfo> cachedLayout();
    void setCachedLayout(std::shared_ptr<const TableInfo> layout);

private:
    struct Closer {
        void operator()(sqlite3 *db) const;
    };
    void configure();
    void secureForUntrustedFile();

    int schemaVersion();

    QString m_filePath;
    OpenMode m_mode;
    OpenMode m_journal = OpenMode::ReadOnly;       // the journal set so far
    OpenMode m_wantedJournal = OpenMode::ReadOnly; // the journal asked for
    std::pair<quint64, quint64> m_fileId;    // device and inode, where known
    std::unique_ptr<QTemporaryDir> m_privateCopy; // what an untrusted file is read from, if copied
    std::unique_ptr<sqlite3, Closer> m_db;
    std::unordered_multimap<QByteArray, sqlite3_stmt *> m_prepared;
    std::shared_ptr<const TableInfo> m_layout;
    int m_layoutVersion = -1;
};

// A prepared statement, kept and re-bound for each use. It keeps its
// connection alive.
class SqliteStatement
{
public:
    SqliteStatement(std::shared_ptr<SqliteConnection> connection, const QString &sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

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

    // A column of the current row in the forms of Field (data/dataset.h),
    // read straight from SQLite without a QVariant: NULL reads as "" and 0,
    // a float as its shortest decimal text; a text that is not a number
    // throws AppError when read as a number.
    bool columnIsNull(int index) const;
    // True when the column holds exactly `value` as stored (same kind of
    // value, same value).
    bool columnEquals(int index, const QVariant &value) const;
    QString columnText(int index) const;
    qint64 columnInteger(int index) const;
    double columnFloat(int index) const;

    SqliteConnection &connection() const { return *m_connection; }

private:
    struct Finalizer {
        void operator()(sqlite3_stmt *statement) const;
    };
    std::shared_ptr<SqliteConnection> m_connection;
    QByteArray m_sql;
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
