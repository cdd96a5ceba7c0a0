#pragma once

#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <QStringList>

// Text files the user reads elsewhere (inventory, multiples, classification):
// cp1252, each line ended by CR LF; a character cp1252 lacks is written "?".
// Opening creates the file anew; any failure throws AppError with a French
// message naming the file.
class TextFileWriter
{
public:
    explicit TextFileWriter(const QString &filePath);
    void writeLine(const QString &line);
    // Flushes and closes; throws when the data could not all be written.
    void close();

private:
    [[noreturn]] void fail();

    QFile m_file;
    QStringEncoder m_encoder;
};

// The whole content of a file the program reads (an update set's text file,
// a text file to print); AppError naming the file when it cannot be read.
QByteArray readFileBytes(const QString &path);

// The lines of a text file written as TextFileWriter writes them (cp1252,
// lines ended by CR LF, or LF alone); AppError naming the file when it
// cannot be read.
QStringList readLinesFile(const QString &path);

// Writes `lines` to `path` in one go (no line, empty file). The text is
// written aside and put in place at the end, so a failure leaves the file as
// it was rather than half-written.
void writeLinesFile(const QString &path, const QStringList &lines);
