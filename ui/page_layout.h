#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// One printed page of a list: the header (the window's title and the
// date), the lines of the page and the footer "page N / M".
struct PrintedPage {
    QString title;
    QString date;
    QStringList lines;
    QString footer;
};

// Cuts the lines of a list into printed pages: at most `linesPerPage` lines
// on a page, at most `columns` characters on a line. A longer line goes on
// over the next lines, indented, broken after a blank when one comes late
// enough in the line, so that nothing is cut at the right margin. A line
// holding only a form feed starts a new page (it is not printed itself, and
// makes no empty page). Tabs become blanks to the next multiple of eight.
class PageLayout
{
public:
    PageLayout(int columns, int linesPerPage);

    // Blanks in front of the continuation of a long line.
    static constexpr int WrapIndent = 4;

    std::vector<PrintedPage> pages(const QString &title, const QDate &date, const QStringList &lines) const;
    // The printed lines of one line of the list.
    QStringList wrap(const QString &line) const;

    // "8 décembre 2026".
    static QString dateText(const QDate &date);
    static bool isFormFeed(const QString &line);

private:
    int m_columns;
    int m_linesPerPage;
};

// Rows of cells as the lines of a table in a fixed-width font: each column
// as wide as its widest cell, two blanks between columns, numbers (cells
// that start with a digit, a sign or a point) right-aligned, text left.
QStringList alignedColumns(const QList<QStringList> &rows);
