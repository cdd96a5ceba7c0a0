#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The files of a catalogue update set, which share one base name: the ".maj"
// file the user chooses, the text files ".RNM" (French renames), ".ANG"
// (English renames) and ".SUP" (deletions), and the table ".DB" of new and
// changed cards.

// One line of a text file cut into its three fields: A "###" B "%%%" C.
struct UpdateLine {
    QString a;
    QString b;
    QString c;
};

// Cuts a line at its first "###" and, in what follows, its first "%%%",
// without trimming. A missing "###" makes A empty and starts the rest at the
// third character; a missing "%%%" makes B empty and starts C at the third
// character of the rest.
UpdateLine cutLine(const QString &line);

// The lines of a text file's bytes (cp1252): a line ends at a carriage
// return, which may be followed by one line feed (a line feed alone is part
// of the line); the text ends at its last byte or at a Ctrl-Z (26). A line
// is kept whole, however long.
QStringList splitUpdateText(const QByteArray &bytes);
// Reads a text file of the set; AppError naming the file when it is missing
// or cannot be read. The file name's letter case is not significant.
QStringList readUpdateLines(const QString &path);

// Base name of the text files: the chosen path without the extension of its
// file name (dots in folder names are kept).
QString textBaseName(const QString &chosenPath);
// Base name of the table: the chosen path less its last four characters
// (".maj").
QString tableBaseName(const QString &chosenPath);
