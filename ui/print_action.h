#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QAction;
class QListWidget;
class QWidget;

// "Imprimer…": the print preview of a list (Qt's, through the dialog seam),
// from which the user prints it or writes it as a PDF file. Errors go to the
// standard error box.
void printPreview(QWidget *parent, const QString &title, const QStringList &lines);

// The print preview of a text file written by the program (cp1252, lines
// ended by CR LF or LF, a page break at each form-feed line); a file that
// cannot be read gives the error box and no preview.
void printTextFile(QWidget *parent, const QString &title, const QString &path);

// An "Imprimer…" action printing what `lines` gives under the title that
// `title` gives (the title of the window of `owner` when empty), for a
// context menu of the caller's own.
QAction *newPrintAction(QWidget *owner, std::function<QStringList()> lines,
                        std::function<QString()> title = {});

// Adds "Imprimer…" to the context menu of `view`, as addExportAction does,
// and returns it.
QAction *addPrintAction(QWidget *view, std::function<QStringList()> lines, std::function<QString()> title = {});

// The lines of a list, top to bottom.
QStringList listLines(const QListWidget *list);
