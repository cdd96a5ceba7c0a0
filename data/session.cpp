#include "data/session.h"

#include "data/card_table.h"
#include "data/sql_quote.h"

#include <QDir>

namespace {
constexpr int MaxDirectoryLength = 255;
}

Session::Session()
    : table(&database1)
    , query1(&database1)
    , query2(nullptr)
    , tableEchange(&database1)
{
    database1.setName(QStringLiteral("Vexar"));
    table.setTableName(card::TableFile);
    table.setRequiredFields(card::fieldNames());
    // The edition query reads the card table by its full path and lets its
    // rows be edited, so the passes on the card source can post through it.
    query2.setLive(true);
    query2.setRequiredFields(card::fieldNames());
}

void Session::setDatabaseDirectory(const QString &directory)
{
    m_directory = directory.left(MaxDirectoryLength);
    database1.params().clear();
    database1.params().append(QStringLiteral("PATH=") + m_directory);
}

QString Session::cardTablePath() const
{
    return m_directory + QDir::separator() + card::TableFile;
}

Dataset &Session::cardSource()
{
    if (m_editionSelected)
        return query2;
    return table;
}

void Session::selectEdition(const QString &edition)
{
    query2.close();
    query2.sql().clear();
    query2.sql().append(QStringLiteral("SELECT * FROM ") + sql::quoteDouble(cardTablePath()));
    query2.sql().append(QStringLiteral("WHERE Origine = ") + sql::quoteDouble(edition));
    m_editionSelected = true;
}

void Session::clearEditionSelection()
{
    query2.close();
    m_editionSelected = false;
}
