#include "ui/page_layout.h"

#include <QLocale>

#include <algorithm>

namespace {

constexpr int TabWidth = 8;

QString expandTabs(const QString &line)
{
    if (!line.contains(QLatin1Char('\t')))
        return line;
    QString out;
    for (const QChar c : line) {
        if (c == QLatin1Char('\t'))
            out += QString(TabWidth - out.size() % TabWidth, QLatin1Char(' '));
        else
            out += c;
    }
    return out;
}

// Trailing blanks are nothing on paper.
void chopBlanks(QString &text)
{
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
}

bool isNumber(const QString &cell)
{
    if (cell.isEmpty())
        return false;
    if (cell == QLatin1String("NC")) // a percentage without printings
        return true;
    const QChar c = cell.front();
    return c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('.')) && cell.size() > 1 && cell[1].isDigit());
}

} // namespace

PageLayout::PageLayout(int columns, int linesPerPage)
    // A page too narrow for the indent still makes progress on each line.
    : m_columns(std::max(columns, 2 * WrapIndent)), m_linesPerPage(std::max(linesPerPage, 1))
{
}

bool PageLayout::isFormFeed(const QString &line)
{
    return line.contains(QLatin1Char('\f')) && line.trimmed().isEmpty();
}

QString PageLayout::dateText(const QDate &date)
{
    return QLocale(QLocale::French, QLocale::France).toString(date, QStringLiteral("d MMMM yyyy"));
}

QStringList PageLayout::wrap(const QString &line) const
{
    QString rest = expandTabs(line);
    // Nor must they make a line wrap.
    chopBlanks(rest);
    QStringList printed;
    int room = m_columns;
    QString indent;
    while (rest.size() > room) {
        // Break after the last blank that leaves at least half the room used.
        qsizetype cut = rest.lastIndexOf(QLatin1Char(' '), room - 1) + 1;
        if (cut < room / 2)
            cut = room;
        QString piece = indent + rest.left(cut);
        chopBlanks(piece);
        printed << piece;
        rest = rest.mid(cut);
        while (rest.startsWith(QLatin1Char(' ')))
            rest.remove(0, 1);
        indent = QString(WrapIndent, QLatin1Char(' '));
        room = m_columns - WrapIndent;
    }
    printed << indent + rest;
    return printed;
}

std::vector<PrintedPage> PageLayout::pages(const QString &title, const QDate &date, const QStringList &lines) const
{
    std::vector<PrintedPage> pages(1);
    for (const QString &line : lines) {
        if (isFormFeed(line)) {
            if (!pages.back().lines.isEmpty())
                pages.emplace_back();
            continue;
        }
        for (const QString &piece : wrap(line)) {
            if (pages.back().lines.size() >= m_linesPerPage)
                pages.emplace_back();
            pages.back().lines << piece;
        }
    }
    // A list that ends with a form feed ends on the page before.
    if (pages.size() > 1 && pages.back().lines.isEmpty())
        pages.pop_back();
    const QString day = dateText(date);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        pages[i].title = title;
        pages[i].date = day;
        pages[i].footer = QStringLiteral("page %1 / %2").arg(i + 1).arg(pages.size());
    }
    return pages;
}

QStringList alignedColumns(const QList<QStringList> &rows)
{
    std::vector<qsizetype> widths;
    std::vector<bool> numeric;
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (std::size_t(c) >= widths.size()) {
                widths.push_back(0);
                numeric.push_back(true);
            }
            widths[std::size_t(c)] = std::max(widths[std::size_t(c)], row[c].size());
        }
    }
    // A column is right-aligned when every cell below its title is a number.
    for (qsizetype r = 1; r < rows.size(); ++r)
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            if (!rows[r][c].isEmpty() && !isNumber(rows[r][c]))
                numeric[std::size_t(c)] = false;
    QStringList lines;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const qsizetype width = widths[std::size_t(c)];
            if (c > 0)
                line += QStringLiteral("  ");
            line += numeric[std::size_t(c)] ? row[c].rightJustified(width, QLatin1Char(' '))
                                            : row[c].leftJustified(width, QLatin1Char(' '));
        }
        chopBlanks(line);
        lines << line;
    }
    return lines;
}
