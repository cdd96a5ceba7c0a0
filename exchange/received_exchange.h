#pragma once

#include <QString>

#include <vector>

class Dataset;
class Session;
class Table;

// Reading an exchange table received from another collector: the cards
// offered ("name x count (edition)") and the cards wanted ("name (edition)"),
// each compared with the user's own collection.
namespace exchange {

struct ReceivedLine {
    QString text;        // the list line, whole
    QString name;        // Nom_Français and Origine as read, for the comparison
    QString edition;
    qint64 mine = 0;     // offered: the copies the user owns; wanted: the copies the user offers
    bool standsOut = false; // offered and not owned; wanted and offered by the user
    QString toolTip;     // "vous en avez N" / "vous pouvez en donner N"
};

struct ReceivedExchange {
    std::vector<ReceivedLine> offered;
    std::vector<ReceivedLine> wanted;
};

// Reads the table file at `path` through `table` (the main window's exchange
// table component; a Paradox table through its own reader), opened untrusted
// and read-only, and closed again: one
// offered line per row with Echangeable > 0, one wanted line per row with
// Cherche > 0, in the file's row order. A file that is not a table, lacks
// Nom_Français, Origine, Echangeable or Cherche, or holds hostile content
// (counts that are not whole numbers, names that are not text or hold
// control characters, more rows than any catalogue) throws AppError with a
// French message naming the file.
ReceivedExchange readReceivedExchange(Table &table, const QString &path);

// Fills `mine`, `standsOut` and `toolTip` of every line from the user's whole
// card table (`cardTable`, read once), matching French name and edition.
void compareWithCollection(ReceivedExchange &received, Dataset &cardTable);
// The same with the session's whole card table, whatever the edition
// selection; only its rows with copies owned or offered are read.
void compareWithCollection(ReceivedExchange &received, Session &session);

// "12 cartes proposées dont 5 vous manquent ; 8 recherchées dont 3 que vous
// pouvez donner".
QString summaryLine(const ReceivedExchange &received);

// The comparison with the session's collection and its summary line. The
// received lines stand on their own: when the user's card table cannot be
// read, they lose their marks and the summary gives their numbers and says,
// in French, that the comparison could not be made and why. Never throws
// AppError.
QString compareAndSummarise(ReceivedExchange &received, Session &session);

} // namespace exchange
