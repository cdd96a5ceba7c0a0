#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <vector>

// One name list of the card entry window: a line per printing, name + " ("
// + edition + ")", held compactly (UTF-8 text in one buffer and an offset
// per line), because a catalogue may hold a million printings.
//
// Lines are shown alphabetically as a French reader expects: letter case and
// accents fold at first ("eclair", "Éclair" and "ÉCLAIR" sit together, before
// "Ecluse"), then accents decide, then capitals come first; blanks and signs
// come before digits, digits before letters.
class NameList
{
public:
    void reserve(qsizetype lines);
    // Adds name + " (" + edition + ")" at the end (before sort()). Throws
    // AppError past four gigabytes of text.
    void append(QStringView name, QStringView edition);
    // Puts the lines in the order shown; later appends are not sorted.
    void sort();
    void clear();

    qsizetype size() const { return m_offsets.empty() ? 0 : qsizetype(m_offsets.size() - 1); }
    bool isEmpty() const { return size() == 0; }
    QString line(qsizetype row) const;
    QStringList lines() const;

    // Rows, in list order, of the lines starting with `prefix`, letter case
    // ignored (accents are not: "ecl" does not find "Éclair"). Found by a
    // binary search, then the rows of that stretch are checked.
    std::vector<quint32> rowsStartingWith(QStringView prefix) const;
    // Row of the line equal to `text` (exact, case-sensitive); -1 if none.
    qsizetype rowOf(QStringView text) const;

private:
    QByteArrayView utf8(quint32 line) const
    {
        return QByteArrayView(m_text).sliced(m_offsets[line], m_offsets[line + 1] - m_offsets[line]);
    }

    QByteArray m_text;               // every line, UTF-8, in the order of the rows
    std::vector<quint32> m_offsets;  // row i is [m_offsets[i], m_offsets[i + 1])
};

// The order of these lists for single texts (the editions of a table, for
// instance): true when `a` is shown before `b`.
bool shownBefore(QStringView a, QStringView b);
