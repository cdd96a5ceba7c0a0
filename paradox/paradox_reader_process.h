#pragma once

#include "data/dataset.h"

#include <QString>
#include <QStringList>
#include <memory>

class Progress;

// pxlib trusts the files it reads, and a Paradox table comes from someone
// else. The program therefore never reads one itself: tabrix-makedb, beside
// it, reads the table in a child process and writes what it read as an
// SQLite file, so that a file that crashes or hangs the library takes down
// the child alone, never the program or its tables.

// The helper program: tabrix-makedb in the running program's folder.
QString paradoxReaderProgram();

// Runs the helper with `arguments`, following its "\r… : N %" lines on
// `progress`. Throws AppError with the helper's own message when it refuses
// the file, and with a message naming `paradoxPath` when it cannot start,
// crashes or stays silent for a minute (it is then stopped).
void runParadoxReader(const QStringList &arguments, const QString &paradoxPath, Progress &progress);

// The same with any program and silence limit (the tests' seam).
void runReaderProcess(const QString &program, const QStringList &arguments, const QString &paradoxPath,
                      Progress &progress, int silenceLimitMs);

// The Paradox table copied by the helper into an SQLite table file in a
// private temporary folder, as an untrusted read-only Table (not yet open)
// with the same fields and the rows in the table's key order. The folder
// goes with the dataset.
std::unique_ptr<Dataset> openParadoxCopy(const QString &paradoxPath);
