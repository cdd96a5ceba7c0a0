#include "data/table.h"

#include "data/database.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/table_info.h"
#include "data/value_conversion.h"

#include <map>
#include <sqlite3.h>

namespace {

// Rows are read a page at a time, so a pass over a large table never holds
// it in memory.
constexpr int PageSize = 256;

struct Row {
    qint64 rowid = 0;
    std::vector<QVariant> values;
};

} // namespace

struct Table::Private {
    // Options, kept across open and close.
    bool untrusted = false;
    bool standalone = false;
    QString filter;
    QVariantList filterBinds;

    // The connection outlives the statements declared after it.
    std::shared_ptr<SqliteConnection> connection;
    QString path;
    TableInfo info;
    bool orderByRowid = false;
    std::vector<bool> lazy; // picture columns, read only when asked for

    State state = State::Inactive;
    std::vector<Row> page;
    size_t index = 0;
    bool lastPage = true;
    bool eof = true;

    Row buffer;
    std::vector<bool> modified;

    mutable qint64 cachedRowid = -1;
    mutable std::map<int, QVariant> lazyCache;

    std::unique_ptr<SqliteStatement> firstPage, afterKey, fromKey, exact, byRowid, count, removeRow,
        emptyAll, nullKeys;
    std::map<std::vector<bool>, std::unique_ptr<SqliteStatement>> updates, inserts;
    std::map<int, std::unique_ptr<SqliteStatement>> lazyReaders;

    void dropStatements()
    {
        firstPage.reset();
        afterKey.reset();
        fromKey.reset();
        exact.reset();
        byRowid.reset();
        count.reset();
        removeRow.reset();
        emptyAll.reset();
        nullKeys.reset();
        updates.clear();
        inserts.clear();
        lazyReaders.clear();
    }

    void release()
    {
        dropStatements();
        connection.reset();
        page.clear();
        index = 0;
        eof = true;
        lastPage = true;
        state = State::Inactive;
        cachedRowid = -1;
        lazyCache.clear();
    }

    SqliteStatement &statement(std::unique_ptr<SqliteStatement> &slot, const QString &sql)
    {
        if (!slot)
            slot = std::make_unique<SqliteStatement>(connection, sql);
        return *slot;
    }

    // The statement text is only built when the statement is first prepared.
    template <typename MakeSql>
    SqliteStatement &statementOf(std::unique_ptr<SqliteStatement> &slot, MakeSql makeSql)
    {
        if (!slot)
            slot = std::make_unique<SqliteStatement>(connection, makeSql());
        return *slot;
    }

    QString selectList() const
    {
        QStringList parts;
        parts << (info.hasRowid ? QStringLiteral("rowid") : QStringLiteral("NULL"));
        for (size_t i = 0; i < info.columns.size(); ++i)
            parts << (lazy[i] ? QStringLiteral("NULL") : info.columns[i].quoted);
        return QStringLiteral("SELECT %1 FROM %2").arg(parts.join(QStringLiteral(", ")), info.quotedName);
    }

    QStringList keyNames() const
    {
        QStringList names;
        for (int position : info.keyColumns)
            names << info.columns[size_t(position)].quoted;
        return names;
    }

    QString orderBy() const
    {
        return QStringLiteral(" ORDER BY ")
            + (orderByRowid ? QStringLiteral("rowid") : keyNames().join(QStringLiteral(", ")));
    }

    // "(k1, k2, k3) > (?, ?, ?)", or on the rowid.
    QString keyCondition(const QString &op, bool byKeys) const
    {
        if (!byKeys)
            return QStringLiteral("rowid %1 ?").arg(op);
        const QStringList names = keyNames();
        if (names.size() == 1)
            return QStringLiteral("%1 %2 ?").arg(names.first(), op);
        QStringList marks;
        for (int i = 0; i < names.size(); ++i)
            marks << QStringLiteral("?");
        return QStringLiteral("(%1) %2 (%3)")
            .arg(names.join(QStringLiteral(", ")), op, marks.join(QStringLiteral(", ")));
    }

    QString where(QStringList conditions) const
    {
        if (!filter.isEmpty())
            conditions << QStringLiteral("(%1)").arg(filter);
        if (conditions.isEmpty())
            return {};
        return QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    }

    Row readRow(const SqliteStatement &statement) const
    {
        Row row;
        row.rowid = statement.columnInt(0);
        row.values.reserve(info.columns.size());
        for (size_t i = 0; i < info.columns.size(); ++i)
            row.values.push_back(statement.column(int(i) + 1));
        return row;
    }

    std::vector<Row> readRows(SqliteStatement &statement, const QVariantList &binds)
    {
        StatementRun run(statement);
        statement.bindAll(binds);
        std::vector<Row> rows;
        while (statement.step())
            rows.push_back(readRow(statement));
        return rows;
    }

    void showPage(std::vector<Row> rows)
    {
        page = std::move(rows);
        index = 0;
        lastPage = page.size() < size_t(PageSize);
        eof = page.empty();
    }

    // The cursor on one row, reading on after it in key order.
    void showRow(Row row)
    {
        page.clear();
        page.push_back(std::move(row));
        index = 0;
        lastPage = false;
        eof = false;
    }

    bool hasRow() const { return index < page.size(); }

    QVariantList keyOf(const Row &row) const
    {
        QVariantList key;
        if (orderByRowid) {
            key << row.rowid;
        } else {
            for (int position : info.keyColumns)
                key << row.values[size_t(position)];
        }
        return key;
    }

    QVariantList searchKey(const QStringList &key) const
    {
        QVariantList binds;
        for (size_t i = 0; i < info.keyColumns.size(); ++i)
            binds << (int(i) < key.size() ? key[int(i)] : QString());
        return binds;
    }

    std::vector<Row> rowsAfter(const Row &row)
    {
        SqliteStatement &after = statementOf(afterKey, [this] {
            return selectList() + where({keyCondition(QStringLiteral(">"), !orderByRowid)}) + orderBy()
                + QStringLiteral(" LIMIT %1").arg(PageSize);
        });
        return readRows(after, keyOf(row) + filterBinds);
    }

    Row reread(qint64 rowid)
    {
        SqliteStatement &reader =
            statementOf(byRowid, [this] { return selectList() + QStringLiteral(" WHERE rowid = ?"); });
        std::vector<Row> rows = readRows(reader, {rowid});
        if (rows.empty())
            throw AppError(QStringLiteral("La ligne modifiée de la table « %1 » a disparu.").arg(path));
        return rows.front();
    }

    QVariant lazyValue(qint64 rowid, int position) const
    {
        if (cachedRowid != rowid) {
            lazyCache.clear();
            cachedRowid = rowid;
        }
        const auto cached = lazyCache.find(position);
        if (cached != lazyCache.end())
            return cached->second;
        auto &slot = const_cast<Private *>(this)->lazyReaders[position];
        SqliteStatement &reader = const_cast<Private *>(this)->statement(
            slot, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                      .arg(info.columns[size_t(position)].quoted, info.quotedName));
        StatementRun run(reader);
        reader.bind(1, rowid);
        QVariant value;
        if (reader.step())
            value = reader.column(0);
        lazyCache[position] = value;
        return value;
    }
};

namespace {
[[noreturn]] void notOpen(const QString &name)
{
    throw AppError(QStringLiteral("La table « %1 » n'est pas ouverte.").arg(name));
}
} // namespace

Table::Table(Database *database)
    : m_database(database)
    , d(std::make_unique<Private>())
{
}

Table::~Table() = default;

void Table::setFilter(const QString &sqliteCondition, const QVariantList &binds)
{
    d->filter = sqliteCondition;
    d->filterBinds = binds;
    if (d->state != State::Inactive) {
        d->dropStatements();
        d->state = State::Browse;
        first();
    }
}

void Table::clearFilter()
{
    setFilter(QString(), {});
}

void Table::setUntrusted(bool untrusted)
{
    d->untrusted = untrusted;
}

bool Table::isUntrusted() const
{
    return d->untrusted;
}

void Table::setStandalone(bool standalone)
{
    d->standalone = standalone;
}

QString Table::filePath() const
{
    return d->path;
}

void Table::openRows(bool keyOrder)
{
    if (d->state != State::Inactive)
        return;
    try {
        d->path = m_database ? m_database->resolveTable(m_tableName) : findTableFile(m_tableName);
        if (d->untrusted)
            d->connection = Database::openUntrusted(d->path);
        else
            d->connection = Database::connect(d->path, d->standalone ? OpenMode::Standalone : OpenMode::Writable);
        d->path = d->connection->filePath();
        d->info = readTableInfo(d->connection);
        checkRequiredFields(d->info, m_requiredFields, d->path);

        const size_t columns = d->info.columns.size();
        d->lazy.assign(columns, false);
        for (size_t i = 0; i < columns; ++i) {
            const bool isKey = std::find(d->info.keyColumns.begin(), d->info.keyColumns.end(), int(i))
                != d->info.keyColumns.end();
            d->lazy[i] = d->info.hasRowid && !isKey && d->info.columns[i].kind == Kind::Blob;
        }

        // Rows are read in key order. A foreign file whose key allows NULL and
        // holds some is read in rowid order instead, so that no row is lost.
        d->orderByRowid = d->info.keyColumns.empty() || !keyOrder;
        QStringList nullTests;
        for (int position : d->info.keyColumns) {
            if (!d->info.columns[size_t(position)].notNull)
                nullTests << d->info.columns[size_t(position)].quoted + QStringLiteral(" IS NULL");
        }
        if (!d->orderByRowid && !nullTests.isEmpty() && d->info.hasRowid) {
            SqliteStatement &test = d->statement(
                d->nullKeys, QStringLiteral("SELECT EXISTS (SELECT 1 FROM %1 WHERE %2)")
                                 .arg(d->info.quotedName, nullTests.join(QStringLiteral(" OR "))));
            StatementRun run(test);
            d->orderByRowid = test.step() && test.columnInt(0) != 0;
        }
        d->state = State::Browse;
        first();
    } catch (...) {
        d->release();
        throw;
    }
}

void Table::close()
{
    // Posts grouped in a transaction are kept, never rolled back by the close.
    try {
        commitTransaction();
    } catch (...) {
        d->release();
        throw;
    }
    d->release();
}

Dataset::State Table::state() const
{
    return d->state;
}

// Moving on posts a modified row and drops an untouched one.
void Table::leaveEditing()
{
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    if (std::find(d->modified.begin(), d->modified.end(), true) != d->modified.end())
        post();
    else
        cancel();
}

void Table::first()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    const QString sql = d->selectList() + d->where({}) + d->orderBy() + QStringLiteral(" LIMIT %1").arg(PageSize);
    d->showPage(d->readRows(d->statement(d->firstPage, sql), d->filterBinds));
}

void Table::next()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    if (d->eof)
        return;
    if (d->index + 1 < d->page.size()) {
        ++d->index;
        return;
    }
    if (d->lastPage) {
        d->eof = true;
        return;
    }
    std::vector<Row> rows = d->rowsAfter(d->page[d->index]);
    if (rows.empty()) {
        // Like the cursor it replaces, it stays on the last row at the end.
        d->eof = true;
        d->lastPage = true;
        return;
    }
    d->showPage(std::move(rows));
}

bool Table::eof() const
{
    return d->state == State::Inactive || d->eof;
}

int Table::recordCount()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    SqliteStatement &count = d->statement(
        d->count, QStringLiteral("SELECT COUNT(*) FROM %1").arg(d->info.quotedName) + d->where({}));
    StatementRun run(count);
    count.bindAll(d->filterBinds);
    return count.step() ? int(count.columnInt(0)) : 0;
}

int Table::fieldCount() const
{
    return int(d->info.columns.size());
}

QString Table::fieldName(int position) const
{
    checkPosition(position);
    return d->info.columns[size_t(position)].name;
}

Dataset::Kind Table::fieldKind(int position) const
{
    checkPosition(position);
    return d->info.columns[size_t(position)].kind;
}

QVariant Table::value(int position) const
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    checkPosition(position);
    const size_t column = size_t(position);
    if (d->state == State::Edit || d->state == State::Insert) {
        if (d->lazy[column] && !d->modified[column] && d->state == State::Edit)
            return d->lazyValue(d->buffer.rowid, position);
        return d->buffer.values[column];
    }
    if (!d->hasRow())
        return QVariant();
    const Row &row = d->page[d->index];
    if (d->lazy[column])
        return d->lazyValue(row.rowid, position);
    return row.values[column];
}

void Table::edit()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    if (d->state == State::Edit)
        return;
    leaveEditing();
    if (!d->hasRow())
        throw AppError(QStringLiteral("La table « %1 » n'a pas de ligne courante à modifier.").arg(d->path));
    if (!d->info.hasRowid)
        throw AppError(QStringLiteral("La table « %1 » ne peut pas être modifiée.").arg(d->path));
    d->buffer = d->page[d->index];
    d->modified.assign(d->info.columns.size(), false);
    d->state = State::Edit;
}

void Table::insert()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    if (!d->info.hasRowid)
        throw AppError(QStringLiteral("La table « %1 » ne peut pas être modifiée.").arg(d->path));
    d->buffer = Row();
    d->buffer.values.assign(d->info.columns.size(), QVariant());
    d->modified.assign(d->info.columns.size(), false);
    d->state = State::Insert;
}

void Table::setValue(int position, const QVariant &value)
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    checkPosition(position);
    if (d->state != State::Edit && d->state != State::Insert)
        throw AppError(QStringLiteral("La table « %1 » n'est ni en modification ni en insertion : le "
                                      "champ %2 ne peut pas être écrit.")
                           .arg(d->path, fieldName(position)));
    // Converted first, so that a bad value stores nothing.
    const QVariant stored = values::forColumn(value, d->info.columns[size_t(position)].kind);
    d->buffer.values[size_t(position)] = stored;
    d->modified[size_t(position)] = true;
}

void Table::post()
{
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    std::vector<int> changed;
    for (size_t i = 0; i < d->modified.size(); ++i) {
        if (d->modified[i])
            changed.push_back(int(i));
    }
    if (d->state == State::Edit) {
        if (changed.empty()) {
            d->state = State::Browse;
            return;
        }
        auto &slot = d->updates[d->modified];
        if (!slot) {
            QStringList sets;
            for (int position : changed)
                sets << d->info.columns[size_t(position)].quoted + QStringLiteral(" = ?");
            slot = std::make_unique<SqliteStatement>(
                d->connection, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                   .arg(d->info.quotedName, sets.join(QStringLiteral(", "))));
        }
        {
            StatementRun run(*slot);
            int bindIndex = 1;
            for (int position : changed)
                slot->bind(bindIndex++, d->buffer.values[size_t(position)]);
            slot->bind(bindIndex, d->buffer.rowid);
            slot->step();
        }
        bool keyChanged = false;
        for (int position : d->info.keyColumns)
            keyChanged = keyChanged || d->modified[size_t(position)];
        d->cachedRowid = -1;
        d->state = State::Browse;
        // The cursor stays on the row; a new key moves it to the key's place.
        // The buffer already holds the stored forms of the values, so the row
        // is read back only when its place may have changed.
        if (keyChanged && !d->orderByRowid)
            d->showRow(d->reread(d->buffer.rowid));
        else
            d->page[d->index] = std::move(d->buffer);
        return;
    }

    auto &slot = d->inserts[d->modified];
    if (!slot) {
        QStringList names, marks;
        for (int position : changed) {
            names << d->info.columns[size_t(position)].quoted;
            marks << QStringLiteral("?");
        }
        const QString sql = changed.empty()
            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(d->info.quotedName)
            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(d->info.quotedName, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
        slot = std::make_unique<SqliteStatement>(d->connection, sql);
    }
    {
        StatementRun run(*slot);
        int bindIndex = 1;
        for (int position : changed)
            slot->bind(bindIndex++, d->buffer.values[size_t(position)]);
        slot->step();
    }
    const qint64 rowid = sqlite3_last_insert_rowid(d->connection->handle());
    d->cachedRowid = -1;
    d->state = State::Browse;
    d->showRow(d->reread(rowid));
}

void Table::cancel()
{
    if (d->state == State::Edit || d->state == State::Insert)
        d->state = State::Browse;
}

void Table::remove()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    if (!d->hasRow())
        throw AppError(QStringLiteral("La table « %1 » n'a pas de ligne courante à supprimer.").arg(d->path));
    if (!d->info.hasRowid)
        throw AppError(QStringLiteral("La table « %1 » ne peut pas être modifiée.").arg(d->path));
    const Row removed = d->page[d->index];
    SqliteStatement &statement = d->statement(
        d->removeRow, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(d->info.quotedName));
    {
        StatementRun run(statement);
        statement.bind(1, removed.rowid);
        statement.step();
    }
    d->cachedRowid = -1;
    d->page.erase(d->page.begin() + qsizetype(d->index));
    if (d->index < d->page.size())
        return;
    if (!d->lastPage) {
        std::vector<Row> rows = d->rowsAfter(removed);
        if (!rows.empty()) {
            d->showPage(std::move(rows));
            return;
        }
    }
    // Nothing follows: the end of the table.
    d->page.clear();
    d->index = 0;
    d->lastPage = true;
    d->eof = true;
}

void Table::emptyTable()
{
    const bool wasOpen = d->state != State::Inactive;
    if (!wasOpen)
        open();
    try {
        cancel();
        SqliteStatement &statement = d->statement(d->emptyAll, QStringLiteral("DELETE FROM %1").arg(d->info.quotedName));
        StatementRun run(statement);
        statement.step();
    } catch (...) {
        if (!wasOpen)
            close();
        throw;
    }
    if (!wasOpen) {
        close();
        return;
    }
    d->page.clear();
    d->index = 0;
    d->lastPage = true;
    d->eof = true;
    d->cachedRowid = -1;
}

bool Table::findKey(const QStringList &key)
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    if (d->info.keyColumns.empty())
        throw AppError(QStringLiteral("La table « %1 » n'a pas de clé primaire.").arg(d->path));
    QStringList tests;
    for (const QString &name : d->keyNames())
        tests << name + QStringLiteral(" = ?");
    const QString sql = d->selectList() + d->where({tests.join(QStringLiteral(" AND "))}) + QStringLiteral(" LIMIT 1");
    std::vector<Row> rows = d->readRows(d->statement(d->exact, sql), d->searchKey(key) + d->filterBinds);
    if (rows.empty())
        return false;
    d->showRow(std::move(rows.front()));
    return true;
}

void Table::findNearest(const QStringList &key)
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    if (d->info.keyColumns.empty())
        throw AppError(QStringLiteral("La table « %1 » n'a pas de clé primaire.").arg(d->path));
    const QString sql = d->selectList() + d->where({d->keyCondition(QStringLiteral(">="), true)})
        + QStringLiteral(" ORDER BY ") + d->keyNames().join(QStringLiteral(", "))
        + QStringLiteral(" LIMIT %1").arg(PageSize);
    std::vector<Row> rows = d->readRows(d->statement(d->fromKey, sql), d->searchKey(key) + d->filterBinds);
    if (rows.empty()) {
        d->page.clear();
        d->index = 0;
        d->lastPage = true;
        d->eof = true;
        return;
    }
    if (d->orderByRowid)
        d->showRow(std::move(rows.front()));
    else
        d->showPage(std::move(rows));
}

void Table::beginTransaction()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    if (sqlite3_get_autocommit(d->connection->handle()))
        d->connection->exec(QStringLiteral("BEGIN"));
}

void Table::commitTransaction()
{
    if (d->connection && !sqlite3_get_autocommit(d->connection->handle()))
        d->connection->exec(QStringLiteral("COMMIT"));
}
