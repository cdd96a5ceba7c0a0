#pragma once

#include "update/update_set.h"

#include <QString>
#include <QStringList>

#include <vector>

class Session;
class Table;

// What the update reports show and where it leaves the empty desktop file.
struct UpdateOptions {
    bool apparition = true;   // new cards
    bool devaluation = true;  // price drops
    bool reevaluation = true; // price rises
    // The empty file the import leaves on the desktop; none when empty.
    QString desktopFile;
};

// Where the update shows its reports and its warnings.
class UpdateReports
{
public:
    virtual ~UpdateReports() = default;
    // A report: its caption and its lines (shown only when there are some).
    virtual void report(const QString &caption, const QStringList &lines) = 0;
    // A warning the user can only acknowledge.
    virtual void warn(const QString &text) = 0;
};

// The four steps on the open card table, each returning its report lines.
// A post the engine refuses (a rename onto another card's key) throws
// AppError naming the line; what was posted before stays.

// French renames: every printing whose French name and edition are A and C
// is renamed B; a blank A renames nothing.
QStringList renameFrench(Table &cards, const QStringList &lines, const QString &fileName);
// English renames: every printing whose English name and edition are A and
// C is renamed B; a line that finds none (or has a blank A) reports that it
// failed.
QStringList renameEnglish(Table &cards, const QStringList &lines, const QString &fileName);
// Deletions of the printings whose key is A, B, C; a card of which copies
// are declared available is warned about first.
QStringList deleteCards(Table &cards, const QStringList &lines, UpdateReports &reports);

// The records of an update table (opened read-only as a file from someone
// else; an SQLite file or a Paradox table), fields 0 to 13 as text. Every
// record is read and checked against the card table's field kinds before
// anything is imported: AppError for a file that is not a table, holds a
// trigger or a view, has fewer than fourteen fields, or holds a value that
// cannot be stored or that is not plain text (bytes, control characters).
// The file name's letter case is not significant.
std::vector<QStringList> readUpdateTable(const QString &path, const Table &cards);
// Inserts the new cards (counts 0) and updates fields 3 to 9 of the others
// (the user's counts and the picture are kept), with the report lines the
// options ask for.
QStringList importRecords(Table &cards, const std::vector<QStringList> &records, const UpdateOptions &options);

// Applies the set chosen by its ".maj" path to the card table of the
// session: renames, deletions, then the import, each reported in turn. All
// four files are read and checked first: a missing or bad one stops the
// update before anything changes.
void applyUpdateSet(Session &session, QString chosenPath, const UpdateOptions &options, UpdateReports &reports);

// The captions of the three reports.
inline const QString RenamedCaption = QStringLiteral("Liste des cartes renommées");
inline const QString DeletedCaption = QStringLiteral("Liste des cartes Supprimées");
inline const QString ImportCaption = QStringLiteral("Importation");
