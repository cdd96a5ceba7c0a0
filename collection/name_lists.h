#pragma once

#include "collection/name_list.h"

#include <QString>

class Session;

// Told how far the preparation of the name lists has gone: first the rows of
// the card source, then the owned rows of the card table.
class ListProgress
{
public:
    virtual ~ListProgress() = default;
    // Both passes are about to run, with these numbers of rows.
    virtual void begin(qint64 ownedRows, qint64 sourceRows) = 0;
    virtual void sourceRow() = 0;
    virtual void ownedPassStarted(qint64 ownedRows) = 0;
    virtual void ownedRow() = 0;
    // The owned rows were counted with the card source, in one go.
    virtual void ownedRowsCounted(qint64 rows) = 0;
    // Always called at the end, also when a pass failed.
    virtual void end() = 0;
};

// The two name lists of the card entry window, sorted, with the counts of
// its caption. Counts are 64-bit: a catalogue may hold more than 65,535 rows.
struct NameLists {
    NameList french;      // Nom_français (Origine)
    NameList english;     // Nom_anglais (Origine)
    qint64 owned = 0;     // card-table rows with Dispo > 0 or Utilise > 0
    qint64 total = 0;     // rows of the card source
    qint64 copies = 0;    // Dispo + Utilise over the owned rows
};

// Reads the card source once for both lists, in stored order (they are
// sorted once at the end). The owned rows are counted in the same pass when
// the card source is the card table, else read through the scratch query.
NameLists prepareNameLists(Session &session, ListProgress &progress);

// "152/1830         - Recherche de cartes -         311"
QString listsCaption(qint64 owned, qint64 total, qint64 copies);
