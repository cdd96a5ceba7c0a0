#pragma once

#include "data/database.h"
#include "data/query.h"
#include "data/table.h"

#include <QString>

// The shared database components of the main window: the connection
// "Vexar", the card table, the scratch query, the live edition query and the
// exchange table, with the database directory and the edition selection.
class Session
{
public:
    Session();

    // Sets the database directory (cut to 255 characters) and the
    // connection's one parameter "PATH=<directory>".
    void setDatabaseDirectory(const QString &directory);
    QString databaseDirectory() const { return m_directory; }

    // The directory followed by the native separator and "CARTES.DB".
    QString cardTablePath() const;

    Database database1;
    Table table;          // "CARTES.DB", the whole card table
    Query query1;         // scratch query on "Vexar"
    Query query2;         // live edition query, no database
    Table tableEchange;   // exchange table, name set when used

    // The card source: query2 while an edition selection is active, the card
    // table otherwise.
    Dataset &cardSource();
    bool editionSelected() const { return m_editionSelected; }
    // Sets query2 to the rows of one edition and the flag.
    void selectEdition(const QString &edition);
    void clearEditionSelection();

private:
    QString m_directory;
    bool m_editionSelected = false;
};
