#include "exchange/narrowed_source.h"

#include "data/card_table.h"
#include "data/query.h"
#include "data/session.h"
#include "data/sql_quote.h"

namespace exchange {

void narrowCardTable(Query &query, Session &session, bool followSelection, const QString &condition)
{
    query.close();
    query.setDatabase(nullptr);
    query.setLive(true);
    query.setRequiredFields(card::fieldNames());
    query.sql().clear();
    if (followSelection && session.editionSelected()) {
        // The edition query's own lines end with its one WHERE condition.
        query.sql() = session.query2.sql();
        query.sql().append(QStringLiteral("AND (%1)").arg(condition));
    } else {
        query.sql().append(QStringLiteral("SELECT * FROM ") + sql::quoteDouble(session.cardTablePath()));
        query.sql().append(QStringLiteral("WHERE ") + condition);
    }
}

} // namespace exchange
