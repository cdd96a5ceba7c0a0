#pragma once

#include <QFile>
#include <QString>
#include <QStringEncoder>

// A text file the user reads elsewhere: cp1252, each line ended by CR LF.
// Opening creates the file anew; any failure throws AppError in French.
class TextFileWriter
{
public:
    explicit TextFileWriter(const QString &filePath);
    void writeLine(const QString &line);
    // Flushes and closes; throws when the data could not all be written.
    void close();

private:
    void fail();

    QFile m_file;
    QStringEncoder m_encoder;
};
