#pragma once

#include <QString>

class Query;
class Session;

namespace exchange {

// Makes `query` a live query on the user's card table holding only the rows
// that match `condition` (local SQL), so that SQLite skips the rows a pass
// would leave alone instead of handing every row over. With `followSelection`
// and an edition selection active, only that edition's rows (the card
// source); otherwise the whole table. Posts through it change the card table.
void narrowCardTable(Query &query, Session &session, bool followSelection, const QString &condition);

} // namespace exchange
