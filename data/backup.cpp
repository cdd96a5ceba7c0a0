#include "data/backup.h"

#include "data/card_table.h"
#include "data/database.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/sqlite_handles.h"
#include "data/table_info.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace backup {
namespace {

const QString FolderName = QStringLiteral("sauvegardes");
// A backup's name before its ".DB": the time, the command and the sequence.
const QString NamePattern =
    QStringLiteral("^CARTES-(\\d{4}-\\d{2}-\\d{2}-\\d{2}h\\d{2})-([a-z]+(?:-[a-z]+)*)(?:-(\\d+))?");

// A copy cut short (the program killed while it was made) leaves its partial
// file, as large as the table; the next copy clears them, and nothing else.
void removeUnfinishedCopies(const QString &folder)
{
    static const QRegularExpression unfinished(NamePattern + QStringLiteral("\\.DB\\.partiel(?:-journal)?$"));
    const QDir directory(folder);
    for (const QString &name : directory.entryList({QStringLiteral("CARTES-*.partiel*")}, QDir::Files)) {
        if (unfinished.match(name).hasMatch())
            QFile::remove(directory.filePath(name));
    }
}

// An SQLite connection of our own, closed however the copy ends.
struct RawConnection {
    sqlite3 *db = nullptr;
    ~RawConnection() { sqlite3_close_v2(db); }
};

void open(RawConnection &connection, const QString &path, int flags)
{
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &connection.db,
                                   flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK)
        throwSqlite(connection.db, rc, path);
    // Another connection of the program may be finishing a write.
    sqlite3_busy_timeout(connection.db, 2000);
}

// Copies the whole of `source` into the database `destination` through the
// online backup API.
void copyPages(sqlite3 *source, sqlite3 *destination, const QString &destinationPath)
{
    sqlite3_backup *copy = sqlite3_backup_init(destination, "main", source, "main");
    if (!copy)
        throwSqlite(destination, sqlite3_errcode(destination), destinationPath);
    int rc = sqlite3_backup_step(copy, -1);
    const int finished = sqlite3_backup_finish(copy);
    if (rc == SQLITE_DONE)
        rc = finished;
    if (rc != SQLITE_OK && rc != SQLITE_DONE)
        throwSqlite(destination, rc, destinationPath);
}

void exec(sqlite3 *db, const char *sql, const QString &path)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throwSqlite(db, rc, path);
}

// Runs a journal_mode pragma and returns the journal mode it leaves.
QString journalMode(sqlite3 *db, const char *pragma, const QString &path)
{
    sqlite3_stmt *raw = nullptr;
    int rc = sqlite3_prepare_v2(db, pragma, -1, &raw, nullptr);
    StatementHandle statement(raw);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(raw);
    if (rc != SQLITE_ROW)
        throwSqlite(db, rc, path);
    return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(raw, 0))).toLower();
}

QString fileName(const QDateTime &time, const QString &command, int sequence)
{
    QString name = QStringLiteral("CARTES-") + time.toString(QStringLiteral("yyyy-MM-dd-HH'h'mm"))
                   + QLatin1Char('-') + command;
    if (sequence > 1)
        name += QLatin1Char('-') + QString::number(sequence);
    return name + QStringLiteral(".DB");
}

bool newerFirst(const BackupFile &a, const BackupFile &b)
{
    if (a.time != b.time)
        return a.time > b.time;
    if (a.sequence != b.sequence)
        return a.sequence > b.sequence;
    return a.path > b.path;
}

// The sound card table a backup must be; throws AppError otherwise.
std::shared_ptr<SqliteConnection> openChecked(const QString &backupPath, TableInfo &info)
{
    if (!QFileInfo(backupPath).isFile())
        throw AppError(QStringLiteral("Sauvegarde introuvable : %1").arg(QDir::toNativeSeparators(backupPath)));
    std::shared_ptr<SqliteConnection> connection = Database::openUntrusted(backupPath);
    info = readTableInfo(connection);
    checkRequiredFields(info, card::fieldNames(), backupPath);
    if (int(info.columns.size()) != card::FieldCount)
        throw AppError(QStringLiteral("%1 n'est pas une table des cartes.")
                           .arg(QDir::toNativeSeparators(backupPath)));
    // The backup is copied page by page: whatever else it holds would come
    // into the card table with it.
    const QString object = foreignSchemaObject(connection);
    if (!object.isEmpty())
        throw AppError(QStringLiteral("La sauvegarde « %1 » contient un déclencheur ou une vue (« %2 ») : "
                                      "elle n'est pas restaurée.")
                           .arg(QDir::toNativeSeparators(backupPath), object));
    return connection;
}

} // namespace

QString commandLabel(const QString &command)
{
    if (command == ResetCounts)
        return QStringLiteral("Initialiser les possesions");
    if (command == ResetExchanges)
        return QStringLiteral("Initialiser les echanges");
    if (command == Threshold)
        return QStringLiteral("Seuil d'échange");
    if (command == CatalogueUpdate)
        return QStringLiteral("Mise à jour, Importation");
    if (command == Restore)
        return QStringLiteral("Restaurer une sauvegarde");
    if (command == CsvImport)
        return QStringLiteral("Importer un fichier CSV");
    return command;
}

QString folderFor(const QString &cardTablePath)
{
    return QFileInfo(cardTablePath).absoluteDir().filePath(FolderName);
}

QString makeBackup(const QString &cardTablePath, const QString &command, const QDateTime &now,
                   const QString &spared)
{
    const QString source = findTableFile(cardTablePath);
    const QString folder = folderFor(source);
    if (!QDir().mkpath(folder))
        throw AppError(QStringLiteral("Impossible de créer le dossier %1.").arg(QDir::toNativeSeparators(folder)));

    const QDateTime minute(now.date(), QTime(now.time().hour(), now.time().minute()));
    // Copies of one minute are numbered in the order they were made, so the
    // newest is known whatever commands they were made for.
    int sequence = 1;
    for (const BackupFile &made : listBackups(folder)) {
        if (made.time == minute)
            sequence = std::max(sequence, made.sequence + 1);
    }
    const QString target = QDir(folder).filePath(fileName(minute, command, sequence));
    const QString partial = target + QStringLiteral(".partiel");
    removeUnfinishedCopies(folder);

    try {
        RawConnection from;
        open(from, source, SQLITE_OPEN_READONLY);
        {
            RawConnection to;
            open(to, partial, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            copyPages(from.db, to.db, partial);
            // The copy is one self-contained file, whatever the journal mode
            // of the table it was taken from.
            exec(to.db, "PRAGMA journal_mode=DELETE", partial);
        }
        if (!QFile::rename(partial, target))
            throw AppError(QStringLiteral("Impossible d'écrire la sauvegarde %1.")
                               .arg(QDir::toNativeSeparators(target)));
    } catch (...) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        throw;
    }
    pruneBackups(folder, KeptBackups, spared);
    return target;
}

QList<BackupFile> listBackups(const QString &folder)
{
    static const QRegularExpression pattern(NamePattern + QStringLiteral("\\.DB$"));
    QList<BackupFile> found;
    const QStringList names = QDir(folder).entryList({QStringLiteral("CARTES-*.DB")}, QDir::Files);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        BackupFile file;
        file.path = QDir(folder).filePath(name);
        file.time = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd-HH'h'mm"));
        if (!file.time.isValid())
            continue;
        file.command = match.captured(2);
        file.sequence = match.captured(3).isEmpty() ? 1 : match.captured(3).toInt();
        found.append(file);
    }
    std::sort(found.begin(), found.end(), newerFirst);
    return found;
}

void pruneBackups(const QString &folder, int kept, const QString &spared)
{
    const QList<BackupFile> files = listBackups(folder);
    const QString sparedPath = spared.isEmpty() ? QString() : QFileInfo(spared).absoluteFilePath();
    for (qsizetype i = kept; i < files.size(); ++i) {
        if (QFileInfo(files[i].path).absoluteFilePath() != sparedPath)
            QFile::remove(files[i].path);
    }
}

qint64 ownedCopiesIn(const QString &backupPath)
{
    TableInfo info;
    std::shared_ptr<SqliteConnection> connection = openChecked(backupPath, info);
    SqliteStatement sum(connection, QStringLiteral("SELECT TOTAL(%1) + TOTAL(%2) FROM %3")
                                        .arg(info.columns[card::Dispo].quoted,
                                             info.columns[card::Utilise].quoted, info.quotedName));
    StatementRun run(sum);
    return sum.step() ? sum.columnInt(0) : 0;
}

void restoreBackup(const QString &backupPath, const QString &cardTablePath)
{
    TableInfo info;
    std::shared_ptr<SqliteConnection> checked = openChecked(backupPath, info);
    const QString target = findTableFile(cardTablePath);
    RawConnection to;
    open(to, target, SQLITE_OPEN_READWRITE);
    // SQLite cannot give a table in WAL mode the page size of another file:
    // the copy is made under the rollback journal, as one transaction that a
    // failure or a crash undoes; the program's next write goes back to WAL.
    const QString journal = journalMode(to.db, "PRAGMA journal_mode", target);
    if (journal != QLatin1String("delete")
        && journalMode(to.db, "PRAGMA journal_mode=DELETE", target) != QLatin1String("delete"))
        throw AppError(QStringLiteral("La table « %1 » est occupée par un autre programme : la sauvegarde "
                                      "n'a pas été restaurée.")
                           .arg(target));
    try {
        copyPages(checked->handle(), to.db, target);
    } catch (const AppError &) {
        if (journal == QLatin1String("wal"))
            sqlite3_exec(to.db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        throw;
    }
}

} // namespace backup
