#pragma once

#include <QString>
#include <QStringList>

class Dataset;

// Counted lines (name x copies (edition)) of the rows of `source` whose owned
// copies (Dispo + Utilise) equal `multiplicite`, or are 5 and more when it
// is 5; in the source's order. Opens and closes the source.
QStringList multiplesLines(Dataset &source, int multiplicite);
