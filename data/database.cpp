#include "data/database.h"

#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/table_info.h"

#include <QDir>
#include <QFileInfo>
#include <map>

Database::Database() = default;
Database::~Database() = default;

QString Database::directory() const
{
    for (const QString &param : m_params) {
        const qsizetype equals = param.indexOf(QLatin1Char('='));
        if (equals > 0 && param.left(equals).trimmed().compare(QLatin1String("PATH"), Qt::CaseInsensitive) == 0)
            return param.mid(equals + 1);
    }
    return {};
}

QString Database::resolveTable(const QString &tableName) const
{
    if (tableName.isEmpty())
        throw AppError(QStringLiteral("Aucun nom de table n'a été donné."));
    if (QDir::isAbsolutePath(tableName))
        return findTableFile(tableName);

    const QString dir = directory();
    if (dir.isEmpty())
        throw AppError(QStringLiteral("La base de données « %1 » n'a pas de répertoire (paramètre PATH=) : "
                                      "table introuvable : %2")
                           .arg(m_name, tableName));
    const QDir directory(dir);
    const QFileInfo named(directory.filePath(tableName));
    const QString wanted = named.fileName();
    const QString wantedWithSuffix = wanted + QStringLiteral(".DB");
    const QDir tableDir = named.absoluteDir();
    QString found;
    if (tableDir.exists()) {
        const QStringList entries = tableDir.entryList(QDir::Files | QDir::Hidden);
        for (const QString &entry : entries) {
            if (entry == wanted || entry == wantedWithSuffix)
                return tableDir.filePath(entry);
            if (found.isEmpty()
                && (QString::compare(entry, wanted, Qt::CaseInsensitive) == 0
                    || QString::compare(entry, wantedWithSuffix, Qt::CaseInsensitive) == 0))
                found = tableDir.filePath(entry);
        }
    }
    if (found.isEmpty())
        throw AppError(QStringLiteral("Table introuvable : %1 (répertoire « %2 »)").arg(tableName, dir));
    return found;
}

namespace {
std::map<QString, std::weak_ptr<SqliteConnection>> &connections()
{
    static std::map<QString, std::weak_ptr<SqliteConnection>> cache;
    return cache;
}
} // namespace

std::shared_ptr<SqliteConnection> Database::connect(const QString &filePath, bool writable)
{
    return connect(filePath, writable ? OpenMode::Writable : OpenMode::ReadOnly);
}

std::shared_ptr<SqliteConnection> Database::connect(const QString &filePath, OpenMode mode)
{
    if (mode == OpenMode::Untrusted)
        return openUntrusted(filePath);
    const QString canonical = QFileInfo(findTableFile(filePath)).canonicalFilePath();
    auto &cache = connections();
    // Forget the connections nobody holds any more.
    for (auto it = cache.begin(); it != cache.end();) {
        if (it->second.expired())
            it = cache.erase(it);
        else
            ++it;
    }
    std::shared_ptr<SqliteConnection> connection;
    const auto cached = cache.find(canonical);
    if (cached != cache.end())
        connection = cached->second.lock();
    if (!connection || !connection->isStillTheFile()) {
        // The user's own files get one read-write connection each, also for
        // reading: SQLite then recovers a table left by a killed write, and
        // the last connection to close (always this one) folds the WAL back
        // into the file and removes it, leaving the folder as it was found.
        // SQLite falls back to reading when the file cannot be written.
        connection = std::make_shared<SqliteConnection>(canonical, OpenMode::Writable);
        cache[canonical] = connection;
    }
    if (mode != OpenMode::ReadOnly) {
        connection->useJournal(mode);
        connection->prepareToWrite();
    }
    return connection;
}

std::shared_ptr<SqliteConnection> Database::openUntrusted(const QString &filePath)
{
    return std::make_shared<SqliteConnection>(findTableFile(filePath), OpenMode::Untrusted);
}
