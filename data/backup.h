#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// Copies of the card table kept in the folder "sauvegardes" beside it, made
// before the commands that rewrite the whole table. Each copy is a complete,
// self-contained table file named after the time and the command:
// "CARTES-2026-12-08-14h05-remise-a-zero.DB" (the second and later copies
// of one minute get "-2", "-3"... before ".DB").
namespace backup {

inline constexpr int KeptBackups = 20;

// The commands before which a copy is made, by the word that names them in
// the file name.
inline const QString ResetCounts = QStringLiteral("remise-a-zero");
inline const QString ResetExchanges = QStringLiteral("echanges");
inline const QString Threshold = QStringLiteral("seuil");
inline const QString CatalogueUpdate = QStringLiteral("mise-a-jour");
inline const QString Restore = QStringLiteral("restauration");
inline const QString CsvImport = QStringLiteral("import-csv");

// The French name of a command word, for the list of backups.
QString commandLabel(const QString &command);

// "<directory of the card table>/sauvegardes".
QString folderFor(const QString &cardTablePath);

struct BackupFile {
    QString path;
    QDateTime time;   // to the minute, from the file name
    int sequence = 1; // 1, then 2, 3... for copies made in the same minute
    QString command;
};

// Copies the card table through SQLite's online backup API (a consistent
// copy even while the table is in WAL mode) into the backup folder, then
// keeps only the KeptBackups newest copies. The copy is written under a
// temporary name and renamed when complete. Returns the copy's path; AppError
// with a French message when the copy cannot be made (nothing is left behind).
// `spared` (the backup about to be restored) is never removed by the pruning.
QString makeBackup(const QString &cardTablePath, const QString &command,
                   const QDateTime &now = QDateTime::currentDateTime(), const QString &spared = QString());

// The backups of a folder, newest first. Files of other names are ignored.
QList<BackupFile> listBackups(const QString &folder);

// Removes all but the `kept` newest backups of a folder, `spared` apart.
void pruneBackups(const QString &folder, int kept = KeptBackups, const QString &spared = QString());

// Owned copies (Dispo + Utilise over every row) of a backup, read through
// the hardened read-only open; AppError when the file is not a sound card
// table.
qint64 ownedCopiesIn(const QString &backupPath);

// Puts a backup in place of the card table through the backup API, after
// checking (read-only, defensive open, quick_check) that it is a sound table
// file of the card table's layout. A refused or failed restore leaves the
// card table as it was. The caller closes its datasets on the table first.
void restoreBackup(const QString &backupPath, const QString &cardTablePath);

} // namespace backup
