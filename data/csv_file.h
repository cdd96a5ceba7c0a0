#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Lists exported for a spreadsheet: a CSV file that a French spreadsheet
// opens without asking anything. UTF-8 with a byte-order mark, ";" between
// fields, a decimal comma, CR LF after each row; a field holding ";", a
// quote or a line break is put between quotes, its quotes doubled.
//
// Formulas: the names and editions come from other people (catalogues,
// received exchange tables), and a spreadsheet runs a field that starts with
// "=", "+", "-", "@", a tab or a carriage return as a formula. Such a field
// is written with an apostrophe in front, and between quotes ("'=1+2"), so
// it shows as text. The rule is exact and reversible: an apostrophe is added
// to every field that starts, after any apostrophes of its own, with one of
// those six characters ("'=x" is written "''=x"), and to no other; a reader
// of our files takes one leading apostrophe off every such field
// (unneutralised). Numbers are told apart by their form: a field that is
// exactly a number as number() writes it ("-1,5", "-3") is data, not a
// formula, and is written as it stands so that it stays a number in the
// sheet; a text that looks the same is just as harmless.
namespace csv {

using Rows = QList<QStringList>;

// The text as a field of the file holds it, before quoting: an apostrophe
// in front of a text that would start a formula.
QString neutralised(const QString &text);
// The inverse, for a field read back from one of our files (after its
// quotes are taken off).
QString unneutralised(const QString &field);

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
