#pragma once

#include <QString>
#include <cstdio>

// The companion blob file (.MB, letter case ignored) of a Paradox table, or
// an empty text when there is none.
QString paradoxBlobFilePath(const QString &tablePath);

// Opens a Paradox .MB file read-only as a stdio stream for pxlib, or returns
// nullptr. pxlib 0.6.8 indexes the blocks of a .MB file whose size is a
// multiple of 4 KB into a buffer three bytes too short for what it reads,
// which aborts the program on every sound .MB file; it skips that index
// (used only when writing) when the size is not such a multiple. The stream
// therefore reports its end a byte or two beyond the file, never on such a
// multiple; reads there find nothing. The caller closes the stream after pxlib is done with it.
std::FILE *openParadoxBlobFile(const QString &path);
