#include "data/query.h"

#include "data/database.h"
#include "data/error.h"
#include "data/local_sql.h"
#include "data/sqlite_connection.h"
#include "data/table.h"
#include "data/table_info.h"

struct Query::Private {
    // A live query is a filtered table cursor.
    std::unique_ptr<Table> table;

    // Otherwise a statement stepped forward. The connection outlives it.
    std::shared_ptr<SqliteConnection> connection;
    std::unique_ptr<SqliteStatement> statement;
    std::unique_ptr<SqliteStatement> count;
    QString sql;
    QString countSql; // the rows counted without reading or ordering them
    QVariantList binds;
    QStringList names;
    std::vector<Dataset::Kind> kinds;
    std::vector<QVariant> row; // the current row when the statement is not on it
    int offset = 0;            // 1 when a hidden rowid leads the columns
    bool copyRows = false;     // a DISTINCT list is copied row by row
    bool onRow = false;        // the statement stands on the current row
    std::unique_ptr<SqliteStatement> lastRow;
    QString lastRowSql;
    bool eof = true;
    State state = State::Inactive;
    QString openedText; // the statement the open result answers

    void release()
    {
        table.reset();
        statement.reset();
        count.reset();
        lastRow.reset();
        connection.reset();
        onRow = false;
        row.clear();
        names.clear();
        kinds.clear();
        eof = true;
        state = State::Inactive;
        openedText.clear();
    }

    void copyRow(const SqliteStatement &from, int first)
    {
        row.clear();
        for (int i = 0; i < int(names.size()); ++i)
            row.push_back(from.column(first + i));
    }

    // Columns are read from the statement when asked for; only a DISTINCT
    // list, which has no row of the table behind it, copies its rows.
    void cameOnRow()
    {
        onRow = !copyRows;
        if (copyRows)
            copyRow(*statement, 0);
    }

    // At the end the last row stays readable, read again by its rowid.
    void keepLastRow(qint64 rowid)
    {
        onRow = false;
        if (copyRows)
            return;
        if (!lastRow)
            lastRow = std::make_unique<SqliteStatement>(connection, lastRowSql);
        StatementRun run(*lastRow);
        lastRow->bind(1, rowid);
        if (lastRow->step())
            copyRow(*lastRow, 0);
        else
            row.clear();
    }
};

Query::Query(Database *database)
    : m_database(database)
    , d(std::make_unique<Private>())
{
}

Query::~Query() = default;

void Query::openRows(bool keyOrder)
{
    const QString text = m_sql.join(QLatin1Char(' '));
    if (state() != State::Inactive) {
        // Opening an open query is harmless, but a changed statement must not
        // leave the old result in place.
        if (text == d->openedText)
            return;
        close();
    }
    d->openedText = text;
    try {
        bool isPath = false;
        const QString tableName = localsql::parseTable(text, &isPath);
        QString path;
        if (isPath)
            path = findTableFile(tableName);
        else if (m_database)
            path = m_database->resolveTable(tableName);
        else
            throw AppError(QStringLiteral("La requête n'est liée à aucune base de données : la table « %1 » "
                                          "doit être donnée par son chemin complet.")
                               .arg(tableName));

        if (m_live) {
            d->table = std::make_unique<Table>();
            d->table->setTableName(path);
            d->table->setRequiredFields(m_requiredFields);
            d->table->setFieldsToRead(m_fieldsToRead);
            if (keyOrder)
                d->table->open();
            else
                d->table->openUnordered();
            QStringList names;
            QList<bool> numeric;
            for (int i = 0; i < d->table->fieldCount(); ++i) {
                names << d->table->fieldName(i);
                const Kind kind = d->table->fieldKind(i);
                numeric << (kind == Kind::Integer || kind == Kind::Float);
            }
            const localsql::Statement statement = localsql::parse(text, names, numeric);
            if (statement.distinct || !statement.selectFields.isEmpty())
                throw AppError(QStringLiteral("Une requête modifiable doit lire des lignes entières "
                                              "(SELECT *)."));
            d->table->setFilter(statement.condition, statement.binds);
            return;
        }

        d->connection = Database::connect(path, false);
        const TableInfo info = readTableInfo(d->connection);
        checkRequiredFields(info, m_requiredFields, d->connection->filePath());
        const localsql::Statement statement = localsql::parse(text, info.columnNames(), info.numericColumns());

        QStringList selected, order;
        if (statement.selectFields.isEmpty()) {
            for (const ColumnInfo &column : info.columns) {
                selected << column.quoted;
                d->names << column.name;
                d->kinds.push_back(column.kind);
            }
        } else {
            for (const QString &field : statement.selectFields) {
                const auto column = std::find_if(info.columns.begin(), info.columns.end(),
                                                 [&](const ColumnInfo &c) { return c.name == field; });
                selected << column->quoted;
                d->names << column->name;
                d->kinds.push_back(column->kind);
            }
        }
        // Rows come in a fixed order: the key order of the table, or the
        // values themselves for a DISTINCT list.
        if (statement.distinct) {
            order = selected;
        } else if (keyOrder) {
            // With a condition, the rows kept are read as stored and sorted
            // ("+" keeps SQLite from walking the key index, which would fetch
            // every row of the table at random to test it); without one the
            // key index is walked.
            const QString sorted = statement.condition.isEmpty() ? QString() : QStringLiteral("+");
            for (int position : info.keyColumns)
                order << sorted + info.columns[size_t(position)].quoted;
        }
        d->copyRows = statement.distinct;
        d->offset = d->copyRows ? 0 : 1;
        d->lastRowSql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                            .arg(selected.join(QStringLiteral(", ")), info.quotedName);
        d->sql = QStringLiteral("SELECT %1%2%3 FROM %4")
                     .arg(statement.distinct ? QStringLiteral("DISTINCT ") : QString(),
                          d->copyRows ? QString() : QStringLiteral("rowid, "),
                          selected.join(QStringLiteral(", ")), info.quotedName);
        const QString where =
            statement.condition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + statement.condition;
        d->sql += where;
        d->countSql = statement.distinct
            ? QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT %1 FROM %2%3)")
                  .arg(selected.join(QStringLiteral(", ")), info.quotedName, where)
            : QStringLiteral("SELECT COUNT(*) FROM %1%2").arg(info.quotedName, where);
        if (!order.isEmpty())
            d->sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
        d->binds = statement.binds;
        d->statement = std::make_unique<SqliteStatement>(d->connection, d->sql);
        d->state = State::Browse;
        first();
    } catch (...) {
        d->release();
        throw;
    }
}

void Query::close()
{
    m_fieldsToRead.clear();
    d->release();
}

void Query::setFieldsToRead(const std::vector<int> &positions)
{
    if (state() == State::Inactive)
        m_fieldsToRead = positions;
}

Dataset::State Query::state() const
{
    if (d->table)
        return d->table->state();
    return d->state;
}

namespace {
[[noreturn]] void notOpen()
{
    throw AppError(QStringLiteral("La requête n'est pas ouverte."));
}
} // namespace

void Query::first()
{
    if (d->table)
        return d->table->first();
    if (d->state == State::Inactive)
        notOpen();
    d->statement->reset();
    d->statement->bindAll(d->binds);
    d->eof = !d->statement->step();
    if (d->eof) {
        d->row.clear();
        d->onRow = false;
        d->statement->reset();
    } else {
        d->cameOnRow();
    }
}

void Query::next()
{
    if (d->table)
        return d->table->next();
    if (d->state == State::Inactive)
        notOpen();
    if (d->eof)
        return;
    const qint64 rowid = d->copyRows ? 0 : d->statement->columnInt(0);
    if (d->statement->step()) {
        d->cameOnRow();
    } else {
        // At the end the last row stays readable; the read lock is let go.
        d->eof = true;
        d->statement->reset();
        d->keepLastRow(rowid);
    }
}

bool Query::eof() const
{
    if (d->table)
        return d->table->eof();
    return d->state == State::Inactive || d->eof;
}

int Query::recordCount()
{
    if (d->table)
        return d->table->recordCount();
    if (d->state == State::Inactive)
        notOpen();
    if (!d->count)
        d->count = std::make_unique<SqliteStatement>(d->connection, d->countSql);
    StatementRun run(*d->count);
    d->count->bindAll(d->binds);
    return d->count->step() ? int(d->count->columnInt(0)) : 0;
}

int Query::fieldCount() const
{
    if (d->table)
        return d->table->fieldCount();
    return int(d->names.size());
}

QString Query::fieldName(int position) const
{
    if (d->table)
        return d->table->fieldName(position);
    checkPosition(position);
    return d->names[position];
}

Dataset::Kind Query::fieldKind(int position) const
{
    if (d->table)
        return d->table->fieldKind(position);
    checkPosition(position);
    return d->kinds[size_t(position)];
}

QVariant Query::value(int position) const
{
    if (d->table)
        return d->table->value(position);
    if (d->state == State::Inactive)
        notOpen();
    checkPosition(position);
    if (d->onRow)
        return d->statement->column(position + d->offset);
    if (size_t(position) >= d->row.size())
        return QVariant();
    return d->row[size_t(position)];
}

bool Query::isNullAt(int position) const
{
    if (d->table)
        return d->table->isNullAt(position);
    if (d->onRow)
        return d->statement->columnIsNull(position + d->offset);
    return Dataset::isNullAt(position);
}

QString Query::textAt(int position) const
{
    if (d->table)
        return d->table->textAt(position);
    if (d->onRow)
        return d->statement->columnText(position + d->offset);
    return Dataset::textAt(position);
}

qint64 Query::integerAt(int position) const
{
    if (d->table)
        return d->table->integerAt(position);
    if (d->onRow)
        return d->statement->columnInteger(position + d->offset);
    return Dataset::integerAt(position);
}

double Query::floatAt(int position) const
{
    if (d->table)
        return d->table->floatAt(position);
    if (d->onRow)
        return d->statement->columnFloat(position + d->offset);
    return Dataset::floatAt(position);
}

void Query::edit()
{
    if (!d->table)
        return Dataset::edit();
    d->table->edit();
}

void Query::insert()
{
    if (!d->table)
        return Dataset::insert();
    d->table->insert();
}

void Query::setValue(int position, const QVariant &value)
{
    if (!d->table)
        return Dataset::setValue(position, value);
    d->table->setValue(position, value);
}

void Query::post()
{
    if (!d->table)
        return Dataset::post();
    d->table->post();
}

void Query::cancel()
{
    if (d->table)
        d->table->cancel();
}

void Query::remove()
{
    if (!d->table)
        return Dataset::remove();
    d->table->remove();
}

void Query::beginTransaction()
{
    if (d->table)
        d->table->beginTransaction();
}

void Query::commitTransaction()
{
    if (d->table)
        d->table->commitTransaction();
}
