#pragma once

#include "data/csv_file.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

class Dataset;

// How complete each edition of the card table is, and what the printings
// still missing would cost.
struct EditionCompletion {
    QString edition;            // Origine; the total row has none
    qint64 printings = 0;       // rows of the edition in the catalogue
    qint64 owned = 0;           // of which Dispo + Utilise > 0
    qint64 copies = 0;          // Dispo + Utilise, summed
    double value = 0;           // Cote x copies, summed (francs)
    double costToComplete = 0;  // Cote of the printings not owned, summed
    qint64 unpriced = 0;        // printings not owned that have no Cote
};

struct Completion {
    std::vector<EditionCompletion> editions; // in the order of the card entry lists
    EditionCompletion total;                 // every edition together
};

// One pass over `cards` in stored order (opened and closed here). Counts
// are 64-bit and held at the largest value instead of wrapping round.
Completion completionByEdition(Dataset &cards);

// The columns of the completion window, left to right.
enum class CompletionColumn { Edition, Printings, Owned, Percent, Copies, Value, Cost, Count };

// Titles of the columns, in order.
const QStringList &completionTitles();

// The text of one cell: counts in decimal, the percentage with one decimal
// ("100" when complete, "NC" without printings), francs with two decimals
// and a point; the cost adds ", dont N sans cote" when some printings have
// no price.
QString completionCell(const EditionCompletion &row, CompletionColumn column);

// Owned / printings x 100, or -1 for an edition without printings (so that
// it sorts below 0 %).
double completionPercent(const EditionCompletion &row);

// Sorts rows on one column: numbers as numbers, editions in the order of
// the card entry lists; equal numbers keep the edition order.
void sortCompletion(std::vector<EditionCompletion> &rows, CompletionColumn column, bool ascending);

// The rows and the total for a spreadsheet, the column titles first.
csv::Rows completionCsvRows(const std::vector<EditionCompletion> &rows, const EditionCompletion &total);

// The rows as they are printed (titles first, total last): the cells of the
// window, the printings without a price in a column of their own.
csv::Rows completionTextRows(const std::vector<EditionCompletion> &rows, const EditionCompletion &total);
