#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

#include <vector>

// Reading a CSV file made by a spreadsheet or another program: UTF-8 (with or
// without a byte-order mark) or cp1252, detected; ";", "," or tab between
// fields, detected from the header line; fields quoted the usual way (quotes
// doubled inside, line breaks inside quotes); CR LF, LF or CR after each
// line. The first line is the header. A field that our own export marked
// with an apostrophe so that a spreadsheet does not take it for a formula
// ("'=...", "'-1" between quotes) reads back without the apostrophe.
namespace csv {

enum class Encoding { Utf8, Cp1252 };

// What is refused, so that a hostile file can neither exhaust the memory nor
// keep the program reading for ever.
inline constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
inline constexpr int MaxColumns = 256;
inline constexpr int MaxLineLength = 10000; // characters of one record
inline constexpr int MaxRecords = 1000000;

// The records of a file, the header apart. Records whose fields are all
// blank are left out. The texts are held in one block, so a large file takes
// a small multiple of its own size.
class Document
{
public:
    QStringList header;
    QChar separator = QLatin1Char(';');
    Encoding encoding = Encoding::Utf8;

    int rowCount() const { return int(m_lines.size()); }
    // The line of the file where a record starts (the header is line 1).
    int lineNumber(int row) const { return m_lines[size_t(row)]; }
    int fieldCount(int row) const;
    // A field of a record; empty beyond its last field.
    QString field(int row, int column) const;
    QStringList row(int row) const;

    // Building a document field by field: a record is begun, given its
    // fields, then kept or dropped.
    void beginRecord(int lineNumber);
    void appendField(QStringView text);
    int fieldsOfLastRecord() const;
    bool lastRecordIsBlank() const;
    void dropLastRecord();

private:
    QString m_text;
    std::vector<quint32> m_fieldEnds;  // end of each field in m_text
    std::vector<quint32> m_firstField; // first field of each record in m_fieldEnds
    std::vector<int> m_lines;
};

// Decodes and cuts the bytes of a file. AppError, with a French message
// naming the line and the column, for a file that is empty, not text, has
// unbalanced quotes, too long a line, too many columns or too many lines.
Document parse(const QByteArray &bytes);

// Reads the file (refused above MaxFileSize before it is read) and parses
// it; AppError naming the file.
Document readFile(const QString &path);

// "UTF-8" or "Windows-1252"; "point-virgule", "virgule", "tabulation".
QString encodingName(Encoding encoding);
QString separatorName(QChar separator);

} // namespace csv
