#pragma once

#include <QStringList>

class Progress;
class Query;

// The used-cards report: the printings of the whole card table in use
// (Utilise > 0) and those not in use (Utilise = 0), each as
// "name (edition)" whole, in key order. A row whose Utilise
// is negative or blank is in neither list.
struct UsedCards {
    QStringList used;
    QStringList unused;
};

// Runs the two statements on `query` (the scratch query on the database
// directory), with one progress showing per statement and one advance per
// row. The query is closed and the progress hidden also on an error.
UsedCards usedCardsLists(Query &query, Progress &progress);
