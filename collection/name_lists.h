#pragma once

#include <QString>
#include <QStringList>

class Dataset;
class Query;

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
    // Always called at the end, also when a pass failed.
    virtual void end() = 0;
};

// The two name lists of the card entry window, sorted, with the counts of
// its caption. Counts are 64-bit: a catalogue may hold more than 65,535 rows.
struct NameLists {
    QStringList french;   // Nom_français (Origine)
    QStringList english;  // Nom_anglais (Origine)
    qint64 owned = 0;     // card-table rows with Dispo > 0 or Utilise > 0
    qint64 total = 0;     // rows of the card source
    qint64 copies = 0;    // Dispo + Utilise over the owned rows
};

// Reads the card source once for both lists, then the owned rows of the card
// table through `query1` (the scratch query on the database). The lists are
// sorted once at the end, alphabetically with accents folded.
NameLists prepareNameLists(Dataset &cardSource, Query &query1, ListProgress &progress);

// "152/1830         - Recherche de cartes -         311"
QString listsCaption(qint64 owned, qint64 total, qint64 copies);

// Sorts lines the way the name lists show them.
void sortLines(QStringList &lines);
