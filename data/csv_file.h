#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Lists exported for a spreadsheet: a CSV file that a French spreadsheet
// opens without asking anything. UTF-8 with a byte-order mark, ";" between
// fields, a decimal comma, CR LF after each row; a field holding ";", a
// quote or a line break is put between quotes, its quotes doubled.
namespace csv {

using Rows = QList<QStringList>;

// A number with a decimal comma and no thousands separator ("12,5", "3");
// as many decimals as the value needs.
QString number(double value);

// The bytes of the file: BOM, then one line per row.
QByteArray content(const Rows &rows);

// Writes the file aside and puts it in place when complete, so a failure
// leaves any file already there as it was. AppError with a French message.
void writeFile(const QString &path, const Rows &rows);

// A card line of a list ("name (edition)" or "name x count (edition)") as
// its three columns: name, edition, count (empty when the line has none).
// A line that is not a card line is kept whole in the first column.
QStringList cardLineFields(const QString &line);

// The header "Nom", "Edition", "Exemplaires" and one row per card line.
Rows cardLineRows(const QStringList &lines);

} // namespace csv
