#pragma once

#include "data/csv_reader.h"

#include <QString>
#include <QVariant>

#include <array>
#include <memory>
#include <vector>

class Progress;

// The import of printings and counts from a CSV file into the card table.
// Each line finds its printing by French name and edition, else by English
// name and edition, compared exactly; a line that finds several printings
// or none is never guessed but reported. Printings found get the file's
// counts (and its price when it gives one); the other fields of the line
// serve only the printings the import creates. Nothing is written until
// every line has been checked, and then all in one transaction.
namespace csvimport {

struct Options {
    bool addCounts = false;     // add the file's counts to the table's instead of replacing them
    bool createMissing = false; // a line that finds no printing becomes one
};

// The largest count the import writes: the largest the card entry window
// shows and writes back unchanged.
inline constexpr qint64 MaxCount = 2147483647;
// The longest text the import puts into a field: the windows, card lines and
// text files hold names and codes of up to 255 characters.
inline constexpr int MaxTextLength = 255;

enum class Outcome { NotFound, Ambiguous, Refused };

// A line of the file that was not applied, and why.
struct SkippedLine {
    int row = 0; // record of the document
    Outcome outcome = Outcome::NotFound;
    QString reason;
};

struct Summary {
    int lines = 0; // lines read, the header and blank lines apart
    int updated = 0;
    int created = 0;
    int notFound = 0;
    int ambiguous = 0;
    int refused = 0;
    std::vector<SkippedLine> skipped; // in the order of the file
};

class CsvImport
{
public:
    // `columns` gives the field (or csvimport::Ignored) of each column of the
    // file; columns beyond it are ignored.
    CsvImport(const csv::Document &file, std::vector<int> columns, Options options);
    ~CsvImport();
    CsvImport(const CsvImport &) = delete;
    CsvImport &operator=(const CsvImport &) = delete;

    // Reads the card table and matches and checks every line; writes
    // nothing. AppError naming the line and the column for a value that
    // cannot be taken (a count that is not a whole number, negative or too
    // large, a price that is not a number), or when no column gives a name.
    void plan(const QString &cardTablePath, Progress &progress);
    // What the planned import does (valid after plan()).
    const Summary &summary() const { return m_summary; }
    // Writes the planned changes in one transaction: on an error nothing is
    // kept and AppError is thrown.
    void apply(Progress &progress);

private:
    struct Printing;
    struct Change;
    struct Index;
    void planLine(int row, Index &index);
    qint64 countAt(int row, int column) const;
    QVariant priceAt(int row, int column) const;
    void skip(int row, Outcome outcome, const QString &reason);
    [[noreturn]] void refuseValue(int row, int column, const QString &why) const;

    const csv::Document &m_file;
    std::vector<int> m_columns;
    Options m_options;
    std::array<int, 14> m_columnOf; // column of each field, -1 when none
    QString m_cardTablePath;
    std::vector<Printing> m_printings;
    std::vector<Change> m_changes;
    std::vector<int> m_changeOf; // change of each printing, -1 when none
    Summary m_summary;
};

// Plans and applies at once (the benchmark, the tests).
Summary importCsv(const csv::Document &file, const std::vector<int> &columns, const Options &options,
                  const QString &cardTablePath, Progress &progress);

} // namespace csvimport
