#pragma once

#include "data/csv_file.h"
#include "data/csv_reader.h"
#include "update/csv_import.h"

#include <QStringList>

#include <vector>

// What the CSV import reports: its counts, then each line not applied with
// its line number and why; and those lines as a CSV file to correct and
// import again.
namespace csvimport {

// "introuvable", "ambiguë", "refusée".
QString outcomeName(Outcome outcome);

// The card a line names: "name (edition)", or the name alone when the line
// gives no edition; the French name, else the English one.
QString lineCard(const csv::Document &file, const std::vector<int> &columns, int row);

// "Lignes lues : N", "Cartes mises à jour : N", "Cartes créées : N",
// "Introuvables : N", "Ambiguës : N", "Refusées : N", then one line per line
// not applied: "Ligne 12, introuvable : Dragon (Aube) : aucune carte...".
QStringList reportLines(const csv::Document &file, const std::vector<int> &columns, const Summary &summary);

// The lines not applied as they were read, after two columns "Ligne" and
// "Motif" (which the import ignores when the file comes back).
csv::Rows skippedRows(const csv::Document &file, const Summary &summary);

} // namespace csvimport
