#pragma once

#include <QString>
#include <QStringList>

class Query;

// The classification file: the available cards (Dispo > 0) of the whole card
// table, in 7 colour sections of 6 type sub-sections, each sub-section a
// banner line of 79 characters, an empty line, one "name (edition) x Dispo"
// line per card in key order, and a form-feed line.

// The 42 sub-sections' lines, read through `query` (the scratch query on the
// database directory; it is closed again, also on an error).
QStringList classificationLines(Query &query);

// Writes the lines to `path` in cp1252 with CR LF, aside first and put in
// place at the end, so a failure leaves any earlier file as it was.
void writeClassificationFile(Query &query, const QString &path);
