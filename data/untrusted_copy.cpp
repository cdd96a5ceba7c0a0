#include "data/untrusted_copy.h"

#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/sqlite_handles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QByteArray JournalMagic = QByteArray::fromHex("d9d505f920a163d7");

QByteArray readAt(const QString &path, qint64 offset, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(size);
}

bool inWalMode(const QString &path)
{
    const QByteArray header = readAt(path, 0, 20);
    return header.size() == 20 && header.startsWith(QByteArrayLiteral("SQLite format 3"))
        && (header[18] == 2 || header[19] == 2);
}

// A journal that ends with the name of a journal of several files: SQLite
// would read that file, and remove it, while rolling back. Such a journal is
// never played back.
bool namesAnotherJournal(const QString &journal)
{
    const qint64 size = QFileInfo(journal).size();
    return size >= 16 && readAt(journal, size - 8, 8) == JournalMagic;
}

[[noreturn]] void leftHalfWritten(const QString &path)
{
    throw AppError(QStringLiteral("Le fichier « %1 » a été laissé à moitié écrit par un autre programme "
                                  "et ne peut pas être lu sans risque.")
                       .arg(QDir::toNativeSeparators(path)));
}

} // namespace

UntrustedCopy consistentCopyOf(const QString &filePath)
{
    const QString journal = filePath + QStringLiteral("-journal");
    const QString wal = filePath + QStringLiteral("-wal");
    const bool hotJournal = QFileInfo(journal).size() > 0;
    const bool walFile = QFileInfo(wal).size() > 0;
    if (!hotJournal && !walFile && !inWalMode(filePath))
        return {};
    if (hotJournal && namesAnotherJournal(journal))
        leftHalfWritten(filePath);

    UntrustedCopy copy;
    copy.folder = std::make_unique<QTemporaryDir>();
    if (!copy.folder->isValid())
        throw AppError(QStringLiteral("Impossible de créer un dossier temporaire pour lire le fichier « %1 ».")
                           .arg(QDir::toNativeSeparators(filePath)));
    copy.path = copy.folder->filePath(QStringLiteral("copie.db"));
    const auto copyFile = [&](const QString &from, const QString &suffix) {
        if (!QFile::copy(from, copy.path + suffix))
            throw AppError(QStringLiteral("Impossible de copier le fichier « %1 » pour le lire.")
                               .arg(QDir::toNativeSeparators(from)));
    };
    copyFile(filePath, QString());
    if (hotJournal)
        copyFile(journal, QStringLiteral("-journal"));
    if (walFile)
        copyFile(wal, QStringLiteral("-wal"));

    {
        sqlite3 *raw = nullptr;
        const int rc = sqlite3_open_v2(QFile::encodeName(copy.path).constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        DatabaseHandle db(raw);
        checkSqlite(db.get(), rc, filePath);
        sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
        sqlite3_db_config(db.get(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
        sqlite3_db_config(db.get(), SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
        sqlite3_db_config(db.get(), SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
        // The first read plays the journal or the WAL back; the copy is then
        // made one self-contained file that a read-only connection can open.
        checkSqlite(db.get(), sqlite3_exec(db.get(), "PRAGMA schema_version; PRAGMA journal_mode=DELETE",
                                           nullptr, nullptr, nullptr),
                    filePath);
    }
    // Played back, the file is at most as large as the pages it and its
    // companions hold: a journal that says otherwise is not the file's.
    const qint64 held = QFileInfo(filePath).size() + QFileInfo(journal).size() + QFileInfo(wal).size();
    if (QFileInfo(copy.path).size() > held)
        leftHalfWritten(filePath);
    return copy;
}
