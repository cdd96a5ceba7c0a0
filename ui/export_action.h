#pragma once

#include "data/csv_file.h"

#include <functional>

class QAction;
class QWidget;

// "Exporter…": asks for a file name and writes the rows given by `rows` as a
// CSV file for a spreadsheet; errors go to the standard error box.
void exportToCsv(QWidget *parent, const csv::Rows &rows);

// Adds "Exporter…" to the context menu of `view` (which must use the
// actions context menu or have none of its own) and returns it.
QAction *addExportAction(QWidget *view, std::function<csv::Rows()> rows);
