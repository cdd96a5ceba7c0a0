#include "app/editions.h"

#include "data/session.h"
#include "data/sql_quote.h"

#include <QCollator>
#include <QLocale>
#include <QSet>

#include <algorithm>

QStringList editionList(Session &session)
{
    Query &query = session.query1;
    query.close();
    query.sql().clear();
    query.sql().append(QStringLiteral("SELECT DISTINCT Origine"));
    query.sql().append(QStringLiteral("FROM ") + sql::quoteDouble(session.cardTablePath()));
    query.open();

    QStringList editions;
    QSet<QString> seen;
    try {
        for (query.first(); !query.eof(); query.next()) {
            const QString edition = query.field(0).asString();
            if (!seen.contains(edition)) {
                seen.insert(edition);
                editions.append(edition);
            }
        }
    } catch (...) {
        query.close();
        throw;
    }
    query.close();
    sortEditions(editions);
    return editions;
}

void sortEditions(QStringList &editions)
{
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(editions.begin(), editions.end(), [&collator](const QString &a, const QString &b) {
        const int order = collator.compare(a, b);
        if (order != 0)
            return order < 0;
        return a < b;
    });
}
