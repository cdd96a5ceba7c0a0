#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <vector>

// Writes Paradox tables with pxlib's own writer (test fixtures and the
// benchmark), so the reader is
// tested on files it did not make itself.
struct ParadoxField {
    QString name;
    char type;   // pxfAlpha, pxfShort, ...
    int length;  // bytes in the record (alpha: characters; blob: leader size)
};

// A table at `path` in code page `codePage` (850, 1252) with the first
// `keyFields` fields as primary key; values are QString, qint64, double,
// bool or QByteArray (a picture, written to the companion .MB file when
// `withBlobFile`). An invalid value is left blank. Throws AppError.
void writeParadoxTable(const QString &path, const std::vector<ParadoxField> &fields,
                       const std::vector<std::vector<QVariant>> &rows, int codePage,
                       int keyFields, bool withBlobFile);

// The card layout (fifteen fields, picture as a graphic blob) and one row of it.
std::vector<ParadoxField> paradoxCardFields();
struct CardRow;
std::vector<QVariant> paradoxCardRow(const CardRow &card);
