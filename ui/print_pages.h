#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

class QPrinter;

// A list to print: its title (the window's), the day it is printed, and
// its lines as the window or the file holds them.
struct PrintedList {
    QString title;
    QDate date;
    QStringList lines;
};

// The page set-up of every printed list: A4, 15 mm margins, the title as the
// document name (also the name a print queue shows).
void preparePrinter(QPrinter &printer, const QString &title);

// Prints the list on `printer` (a printer, a PDF file, or the pages of the
// print preview), in a fixed-width font so that columns stay aligned: the
// title and the date on top of each page, "page N / M" at the bottom.
// Throws AppError with a French message when the printer or the PDF file
// fails; a PDF file begun is then removed.
void printList(QPrinter &printer, const PrintedList &list);
