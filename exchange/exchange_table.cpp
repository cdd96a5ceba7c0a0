#include "exchange/exchange_table.h"

#include "data/card_table.h"
#include "data/error.h"
#include "data/session.h"
#include "data/sqlite_connection.h"
#include "data/table.h"
#include "exchange/narrowed_source.h"
#include "data/pass_guard.h"
#include "data/query.h"
#include "paradox/handed_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sqlite3.h>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace exchange {

namespace {

// How long a lock held by another program is waited for.
constexpr int LockWaitMs = 500;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// How to get a usable table instead of `exchangePath`: a copy of the empty
// one installed with the program, named when it is there and is another file.
QString freshTableAdvice(const QString &exchangePath, const QString &freshTable)
{
    const QFileInfo fresh(freshTable);
    if (!freshTable.isEmpty() && fresh.isFile()
        && fresh.canonicalFilePath() != QFileInfo(exchangePath).canonicalFilePath())
        return QStringLiteral("Pour en avoir une neuve, copiez à sa place la table d'échange vide installée "
                              "avec le programme : « %1 ».")
            .arg(shown(fresh.absoluteFilePath()));
    return QStringLiteral("Pour en avoir une neuve, copiez à sa place la table d'échange vide %1 installée avec "
                          "le programme.")
        .arg(card::ExchangeFile);
}

// Reads the previous table through the hardened read-only open: a file that
// is not an SQLite table, or one damaged or laid out otherwise, is refused
// before anything is written, with what it is and how to replace it.
std::vector<Dataset::Kind> checkLayout(const QString &path, const QString &shownPath, const QString &freshTable)
{
    switch (tableFileFormat(path)) {
    case TableFileFormat::Paradox:
        throw AppError(QStringLiteral("La table d'échange « %1 » est une table Paradox de l'ancien programme : "
                                      "Tabrix ne peut pas l'écrire, elle n'a pas été modifiée. Au prochain "
                                      "démarrage, Tabrix propose de la convertir (l'original est gardé sous le "
                                      "nom %2.paradox).\n%3")
                           .arg(shown(shownPath), QFileInfo(shownPath).fileName(),
                                freshTableAdvice(path, freshTable)));
    case TableFileFormat::Unknown:
        throw AppError(QStringLiteral("Le fichier « %1 » n'est pas une table (ni SQLite ni Paradox) : il ne peut "
                                      "pas servir de table d'échange et n'a pas été modifié.\n%2")
                           .arg(shown(shownPath), freshTableAdvice(path, freshTable)));
    case TableFileFormat::Sqlite:
        break;
    }
    Table check;
    check.setTableName(path);
    check.setUntrusted(true);
    check.setRequiredFields(card::fieldNames());
    try {
        check.openUnordered();
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("La table d'échange « %1 » n'a pas la forme d'une table des cartes, "
                                      "elle n'a pas été modifiée.\n%2\n%3")
                           .arg(shown(shownPath), e.message(), freshTableAdvice(path, freshTable)));
    }
    std::vector<Dataset::Kind> kinds;
    for (int position = 0; position < check.fieldCount(); ++position)
        kinds.push_back(check.fieldKind(position));
    check.close();
    return kinds;
}

// Holds the previous file's write lock while the new one is prepared, so
// that no other program writes it meanwhile; a file another program is
// writing is refused at once.
class PreviousFileLock
{
public:
    explicit PreviousFileLock(const QString &path)
        : m_connection(std::make_unique<SqliteConnection>(path, OpenMode::Standalone))
    {
        sqlite3 *db = m_connection->handle();
        sqlite3_busy_timeout(db, LockWaitMs);
        const int rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
            throw AppError(QStringLiteral("La table d'échange « %1 » est verrouillée par un autre programme : "
                                          "fermez-le puis recommencez. Elle n'a pas été modifiée.")
                               .arg(shown(path)));
        if (rc != SQLITE_OK)
            throw AppError(QStringLiteral("La table d'échange « %1 » ne peut pas être modifiée : %2")
                               .arg(shown(path), QString::fromUtf8(sqlite3_errmsg(db))));
        // A writer that finished while this one waited has put another file
        // at the name: the lock must be the lock of the file there now.
        if (!m_connection->isStillTheFile())
            throw AppError(QStringLiteral("La table d'échange « %1 » vient d'être remplacée par un autre "
                                          "programme : recommencez.")
                               .arg(shown(path)));
    }
    ~PreviousFileLock() { release(); }
    // Windows cannot replace a file that is still open.
    void release()
    {
        if (!m_connection)
            return;
        sqlite3_exec(m_connection->handle(), "ROLLBACK", nullptr, nullptr, nullptr);
        m_connection.reset();
    }
    PreviousFileLock(const PreviousFileLock &) = delete;
    PreviousFileLock &operator=(const PreviousFileLock &) = delete;

private:
    std::unique_ptr<SqliteConnection> m_connection;
};

// A run that was killed (a crash, kill -9) leaves its copy of the table
// beside it, as large as the table, and perhaps the copy's journal. The next
// run clears them while it holds the table's write lock: every running writer
// of this table holds that lock from before it makes its copy until the copy
// is renamed or removed, so a copy found then belongs to no running writer.
// Only the names the copies get are touched (".ECHANGE.DB." and six letters,
// then SQLite's own suffixes), plain files only, in the table's own folder.
void clearLeftoverCopies(const QString &table)
{
    const QFileInfo info(table);
    const QRegularExpression ours(QStringLiteral("^\\.%1\\.[A-Za-z]{6}(-journal|-wal|-shm)?$")
                                      .arg(QRegularExpression::escape(info.fileName())));
    const QDir folder = info.absoluteDir();
    const QFileInfoList candidates =
        folder.entryInfoList({QStringLiteral(".") + info.fileName() + QStringLiteral(".*")},
                             QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo &candidate : candidates) {
        if (ours.match(candidate.fileName()).hasMatch())
            QFile::remove(candidate.absoluteFilePath());
    }
}

// A copy of the previous file beside it, with its permissions: the new
// table is written there and renamed over the previous file at the end.
// Removed with the object unless it was put in place.
class AsideCopy
{
public:
    explicit AsideCopy(const QString &previous)
        : m_file(QFileInfo(previous).absolutePath() + QStringLiteral("/.") + QFileInfo(previous).fileName()
                 + QStringLiteral(".XXXXXX"))
    {
        QFile source(previous);
        if (!m_file.open() || !source.open(QIODevice::ReadOnly))
            throw AppError(QStringLiteral("Impossible d'écrire la nouvelle table d'échange dans le répertoire "
                                          "« %1 » : %2")
                               .arg(shown(QFileInfo(previous).absolutePath()),
                                    m_file.isOpen() ? source.errorString() : m_file.errorString()));
        while (!source.atEnd()) {
            const QByteArray chunk = source.read(1 << 20);
            if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
                fail(source.errorString());
            if (m_file.write(chunk) != chunk.size())
                fail(m_file.errorString());
        }
        if (!m_file.flush())
            fail(m_file.errorString());
        m_file.close();
        m_file.setPermissions(QFileInfo(previous).permissions());
    }
    ~AsideCopy()
    {
        if (!m_placed) {
            // What SQLite may have left beside it after a failure goes too.
            QFile::remove(path() + QStringLiteral("-journal"));
            m_file.remove();
        }
    }
    AsideCopy(const AsideCopy &) = delete;
    AsideCopy &operator=(const AsideCopy &) = delete;

    QString path() const { return m_file.fileName(); }

    // Replaces `previous` in one step: readers see the old file or the new
    // one, never a table half written.
    void putInPlace(const QString &previous)
    {
        if (QFile::exists(path() + QStringLiteral("-journal")) || QFile::exists(path() + QStringLiteral("-wal")))
            throw AppError(QStringLiteral("La nouvelle table d'échange n'a pas pu être terminée ; « %1 » n'a "
                                          "pas été modifiée.")
                               .arg(shown(previous)));
#ifdef Q_OS_WIN
        if (!MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path()).utf16()),
                         reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(previous).utf16()),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw AppError(QStringLiteral("La table d'échange « %1 » n'a pas pu être remplacée (erreur %2).")
                               .arg(shown(previous))
                               .arg(GetLastError()));
#else
        if (std::rename(QFile::encodeName(path()).constData(), QFile::encodeName(previous).constData()) != 0)
            throw AppError(QStringLiteral("La table d'échange « %1 » n'a pas pu être remplacée : %2")
                               .arg(shown(previous), QString::fromLocal8Bit(std::strerror(errno))));
#endif
        m_placed = true;
        m_file.setAutoRemove(false);
    }

private:
    [[noreturn]] void fail(const QString &why)
    {
        throw AppError(QStringLiteral("Impossible de copier la table d'échange : %1").arg(why));
    }

    QTemporaryFile m_file;
    bool m_placed = false;
};

int copyOfferedAndWanted(Dataset &source, Table &target, const std::vector<Dataset::Kind> &targetKinds,
                         const QString &exchangePath, const QString &freshTable)
{
    NoProgress none;
    source.close();
    // The other collector's reader lists the rows in key order, so the order
    // in which they are written does not matter.
    source.openUnordered();
    PassGuard guard(source, none);
    const int fields = source.fieldCount();
    for (int position = 0; position < qMin(fields, int(card::Dessin)); ++position) {
        if (position >= int(targetKinds.size()) || source.fieldKind(position) != targetKinds[size_t(position)])
            throw AppError(QStringLiteral("La table d'échange « %1 » n'a pas les mêmes types de champs que la table "
                                          "des cartes (champ %2) ; elle n'a pas été modifiée.\n%3")
                               .arg(shown(exchangePath), source.fieldName(position),
                                    freshTableAdvice(exchangePath, freshTable)));
    }
    const int dispo = target.fieldIndex(QStringLiteral("Dispo"));
    int written = 0;
    // Emptying and refilling make one commit: the copy is written once.
    target.beginTransaction();
    target.emptyTable();
    while (!source.eof()) {
        if (source.field(card::Echangeable).asInteger() > 0 || source.field(card::Cherche).asInteger() > 0) {
            target.insert();
            // The field kinds match, so values are copied as they are stored.
            for (int position = 0; position < fields; ++position) {
                if (position != card::Dessin)
                    target.setValue(position, source.value(position));
            }
            target.field(card::Dessin).clear();
            target.field(dispo).setAsInteger(0);
            target.post();
            ++written;
        }
        source.next();
    }
    target.commitTransaction();
    return written;
}

} // namespace

int writeExchangeTable(Dataset &source, const QString &exchangePath, const QString &freshTable)
{
    // A table kept in a synced or shared folder through a link is written
    // where the link points, so that the folder is updated and the link stays.
    const QFileInfo named(exchangePath);
    if (named.isSymLink() && !named.exists())
        throw AppError(QStringLiteral("La table d'échange « %1 » est un lien vers « %2 », qui est introuvable : "
                                      "le dossier où il mène est peut-être absent ou déconnecté.")
                           .arg(shown(exchangePath), shown(named.symLinkTarget())));
    const QString table = named.exists() ? named.canonicalFilePath() : exchangePath;
    const QFileInfo info(table);
    if (!info.isFile())
        throw AppError(QStringLiteral("La table d'échange « %1 » est introuvable. Elle est installée avec le "
                                      "programme : copiez-la dans le répertoire des bases de données.\n%2")
                           .arg(shown(exchangePath), freshTableAdvice(exchangePath, freshTable)));
    // The owner's write bit counts even for a user who could write anyway.
    if (!info.isWritable() || !(info.permissions() & QFile::WriteOwner))
        throw AppError(QStringLiteral("La table d'échange « %1 » est en lecture seule : elle n'a pas été "
                                      "modifiée.")
                           .arg(shown(exchangePath)));
    const std::vector<Dataset::Kind> kinds = checkLayout(table, exchangePath, freshTable);
    PreviousFileLock lock(table);
    clearLeftoverCopies(table);
    AsideCopy aside(table);

    Table target;
    target.setTableName(aside.path());
    target.setStandalone(true);
    int written = 0;
    {
        NoProgress none;
        target.openUnordered();
        PassGuard guard(target, none);
        written = copyOfferedAndWanted(source, target, kinds, exchangePath, freshTable);
        target.close();
    }
#ifdef Q_OS_WIN
    lock.release();
#endif
    aside.putInPlace(table);
    return written;
}

QString exchangeTablePath(Session &session, const QString &freshTable)
{
    try {
        return session.database1.resolveTable(card::ExchangeFile);
    } catch (const AppError &) {
        // A link whose folder is gone is not listed as a file: the writer
        // says where it leads.
        const QString link = QDir(session.databaseDirectory()).filePath(card::ExchangeFile);
        if (QFileInfo(link).isSymLink())
            return link;
        throw AppError(QStringLiteral("La table d'échange %1 est introuvable dans le répertoire « %2 ». Elle "
                                      "est installée avec le programme : copiez-la dans ce répertoire.\n%3")
                           .arg(card::ExchangeFile, shown(session.databaseDirectory()),
                                freshTableAdvice(link, freshTable)));
    }
}

int writeSessionExchangeTable(Session &session, const QString &freshTable)
{
    session.tableEchange.close();
    const QString path = exchangeTablePath(session, freshTable);
    // SQLite hands over only the rows offered or wanted; the pass checks
    // each row again.
    Query source;
    narrowCardTable(source, session, true, QStringLiteral("Echangeable > 0 OR Cherche > 0"));
    return writeExchangeTable(source, path, freshTable);
}

} // namespace exchange
