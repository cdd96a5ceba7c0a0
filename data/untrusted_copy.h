#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

// A file from someone else that cannot be read as it stands without writing
// beside it: one left in the middle of a write (a "-journal" beside it) or
// kept in WAL mode. It is read from a private copy, which SQLite brings back
// to its last committed state (the unfinished change rolled back, the WAL
// folded in); the original and what lies beside it are never written.
struct UntrustedCopy {
    std::unique_ptr<QTemporaryDir> folder; // removed with the copy
    QString path;
};

// The private copy of `filePath`, or an empty copy (no folder) when the file
// can be read as it is. AppError when the copy cannot be made or the journal
// left beside the file cannot be played back safely.
UntrustedCopy consistentCopyOf(const QString &filePath);
