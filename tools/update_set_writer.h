#pragma once

#include <QString>

// Writes a catalogue update set for the card table `cardTablePath`:
// `basePath` + ".maj" (empty), ".RNM", ".ANG", ".SUP" (cp1252, CR LF) and
// ".DB", with `records` update records (half new cards, half re-priced
// existing ones) and records / 10 renames of each kind and deletions, each
// on printings of its own. Throws AppError.
void writeUpdateSet(const QString &cardTablePath, const QString &basePath, int records);
