#pragma once

#include <QStringList>

class Session;

// The editions of the card table for the edition dialog: runs
// "SELECT DISTINCT Origine" on the card table's full path through the
// scratch query, keeps each exact text once and returns them in
// alphabetical order (accents and letter case folded, then exact order).
QStringList editionList(Session &session);

// The alphabetical order used by the edition list.
void sortEditions(QStringList &editions);
