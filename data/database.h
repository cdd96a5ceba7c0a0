#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class SqliteConnection;
enum class OpenMode; // data/sqlite_connection.h

// The named database ("Vexar"): a directory of table files given by the
// parameter "PATH=<directory>". A table name resolves to a file of that
// directory without regard to letter case: "CARTES", "Cartes" and
// "CARTES.DB" name one table.
class Database
{
public:
    Database();
    ~Database();

    void setName(const QString &name) { m_name = name; }
    QString name() const { return m_name; }

    // The parameter list; the directory is read from its "PATH=" line.
    QStringList &params() { return m_params; }
    const QStringList &params() const { return m_params; }
    QString directory() const;

    // Full path of the file of a table: a full path is returned as it is;
    // a bare name is looked up in the directory (with or without ".DB",
    // letter case ignored). Throws AppError when no such file exists.
    QString resolveTable(const QString &tableName) const;

    // One connection per table file, shared by every dataset that has the
    // file open and closed when the last one closes. It is read-write
    // whenever the file can be written; `writable` also switches the file to
    // WAL with synchronous=NORMAL (a reader leaves the journal as it is).
    static std::shared_ptr<SqliteConnection> connect(const QString &filePath, bool writable);
    // The same with an explicit mode: OpenMode::Standalone keeps the rollback
    // journal (a file handed to someone else); OpenMode::Untrusted is
    // openUntrusted().
    static std::shared_ptr<SqliteConnection> connect(const QString &filePath, OpenMode mode);
    // A file from someone else: a connection of its own (never shared),
    // read-only, with SQLite's defensive settings, checked by quick_check
    // before anything is read. AppError when the file is damaged.
    static std::shared_ptr<SqliteConnection> openUntrusted(const QString &filePath);

private:
    QString m_name;
    QStringList m_params;
};
