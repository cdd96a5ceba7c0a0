#include "data/table.h"

#include "data/database.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/table_info.h"
#include "data/value_conversion.h"

#include <map>
#include <optional>
#include <sqlite3.h>

namespace {

// A copy of a row, for the times the cursor is not on a row of its pass
// statement (after a lookup, an insert, a post that moved the row, a commit,
// and at the end).
struct Row {
    qint64 rowid = 0;
    std::vector<QVariant> values;
};

} // namespace

// A pass is one prepared statement stepped forward: the current row is read
// straight from it, one column at a time, when asked for. Posts of the
// current row go through their own statements while the pass goes on (SQLite
// keeps the pass's place); a post that moves the row in key order, an
// insert, a delete and a commit leave the pass, and the next move seeks the
// row after the current key again, so no row is skipped or seen twice.
struct Table::Private {
    // Options, kept across open and close.
    bool untrusted = false;
    bool standalone = false;
    QString filter;
    QVariantList filterBinds;
    std::vector<int> fieldsToRead; // for the next open only

    // The connection outlives the statements declared after it.
    std::shared_ptr<SqliteConnection> connection;
    QString path;
    TableInfo info;
    bool orderByRowid = false;
    std::vector<bool> lazy; // picture columns, read only when asked for

    State state = State::Inactive;
    SqliteStatement *pass = nullptr; // the statement the current row is read from
    Row row;                         // the current row when no pass stands on it
    bool hasRow = false;
    bool eof = true;

    // Values posted to the current row since the cursor came to it.
    std::vector<QVariant> posted;
    std::vector<bool> isPosted;
    bool anyPosted = false;

    // The row being edited or inserted: the values set so far.
    std::vector<QVariant> pending;
    std::vector<bool> modified;
    std::vector<int> changed; // positions of `modified`, kept to spare an allocation per post

    mutable qint64 cachedRowid = -1;
    mutable std::map<int, QVariant> lazyCache;

    std::unique_ptr<SqliteStatement> firstRows, afterKey, fromKey, exact, byRowid, count, removeRow,
        emptyAll, nullKeys;
    std::map<std::vector<bool>, std::unique_ptr<SqliteStatement>> updates, inserts;
    std::map<int, std::unique_ptr<SqliteStatement>> lazyReaders;

    void dropStatements()
    {
        stopPass();
        firstRows.reset();
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
        fieldsToRead.clear();
        dropStatements();
        connection.reset();
        row = Row();
        hasRow = false;
        eof = true;
        state = State::Inactive;
        cachedRowid = -1;
        lazyCache.clear();
        clearPosted();
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
        parts << QStringLiteral("rowid");
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

    static Row readRow(const SqliteStatement &statement, size_t columns)
    {
        Row copy;
        copy.rowid = statement.columnInt(0);
        copy.values.reserve(columns);
        for (size_t i = 0; i < columns; ++i)
            copy.values.push_back(statement.column(int(i) + 1));
        return copy;
    }

    // Only the values set by the last edit are cleared: a pass edits every
    // row and sets a few fields.
    void clearPending()
    {
        const size_t columns = info.columns.size();
        if (pending.size() != columns) {
            pending.assign(columns, QVariant());
            modified.assign(columns, false);
            return;
        }
        for (size_t i = 0; i < columns; ++i) {
            if (modified[i]) {
                pending[i] = QVariant();
                modified[i] = false;
            }
        }
    }

    void clearPosted()
    {
        if (anyPosted)
            std::fill(isPosted.begin(), isPosted.end(), false);
        anyPosted = false;
    }

    void stopPass()
    {
        if (pass)
            pass->reset();
        pass = nullptr;
    }

    qint64 currentRowid() const { return pass ? pass->columnInt(0) : row.rowid; }

    QVariant currentValue(size_t column) const
    {
        if (anyPosted && isPosted[column])
            return posted[column];
        if (lazy[column])
            return lazyValue(currentRowid(), int(column));
        return pass ? pass->column(int(column) + 1) : row.values[column];
    }

    // True when the row already holds every value an edit sets, so that the
    // post has nothing to write (a reset on a table of mostly zero counts).
    bool editChangesNothing(const std::vector<int> &changed) const
    {
        for (int position : changed) {
            const size_t column = size_t(position);
            const QVariant &wanted = pending[column];
            if (lazy[column])
                return false;
            if (pass && !(anyPosted && isPosted[column])) {
                if (!pass->columnEquals(position + 1, wanted))
                    return false;
                continue;
            }
            const QVariant stored = currentValue(column);
            const bool storedNull = !stored.isValid() || stored.isNull();
            const bool wantedNull = !wanted.isValid() || wanted.isNull();
            if (storedNull != wantedNull)
                return false;
            if (!storedNull && (stored.typeId() != wanted.typeId() || stored != wanted))
                return false;
        }
        return true;
    }

    // The fast path of the typed reads: the pass's own column.
    bool readsFromPass(int position) const
    {
        return pass && state == State::Browse && !lazy[size_t(position)]
            && !(anyPosted && isPosted[size_t(position)]);
    }

    // The cursor leaves its pass and keeps a copy of the current row.
    void detach()
    {
        if (!pass)
            return;
        Row copy;
        copy.rowid = currentRowid();
        copy.values.resize(info.columns.size());
        for (size_t i = 0; i < info.columns.size(); ++i) {
            if (!lazy[i] || (anyPosted && isPosted[i]))
                copy.values[i] = currentValue(i);
        }
        stopPass();
        row = std::move(copy);
        clearPosted();
    }

    // Before the first write the file gets its journal (WAL for the user's
    // own tables); the switch needs the pass to let go of its read first.
    void beforeWrite()
    {
        if (!connection->journalPending())
            return;
        detach();
        connection->prepareToWrite();
    }

    // The cursor on a copied row (eof false).
    void standOn(Row copy)
    {
        stopPass();
        row = std::move(copy);
        hasRow = true;
        eof = false;
        clearPosted();
        cachedRowid = -1;
    }

    void noRow()
    {
        stopPass();
        hasRow = false;
        eof = true;
        clearPosted();
    }

    // Starts a pass; false (and no pass) when it has no row.
    bool startPass(SqliteStatement &statement, const QVariantList &binds)
    {
        stopPass();
        statement.reset();
        statement.bindAll(binds);
        clearPosted();
        if (!statement.step()) {
            statement.reset();
            return false;
        }
        pass = &statement;
        hasRow = true;
        eof = false;
        return true;
    }

    QVariantList currentKey() const
    {
        QVariantList key;
        if (orderByRowid) {
            key << currentRowid();
        } else {
            for (int position : info.keyColumns)
                key << currentValue(size_t(position));
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

    SqliteStatement &firstStatement()
    {
        return statementOf(firstRows, [this] { return selectList() + where({}) + orderBy(); });
    }

    SqliteStatement &afterStatement()
    {
        return statementOf(afterKey, [this] {
            return selectList() + where({keyCondition(QStringLiteral(">"), !orderByRowid)}) + orderBy();
        });
    }

    // Goes on after `key` (the current row's); false at the end.
    bool passAfter(const QVariantList &key) { return startPass(afterStatement(), key + filterBinds); }

    std::optional<Row> tryReread(qint64 rowid)
    {
        SqliteStatement &reader =
            statementOf(byRowid, [this] { return selectList() + QStringLiteral(" WHERE rowid = ?"); });
        StatementRun run(reader);
        reader.bind(1, rowid);
        if (!reader.step())
            return std::nullopt;
        return readRow(reader, info.columns.size());
    }

    Row reread(qint64 rowid)
    {
        std::optional<Row> found = tryReread(rowid);
        if (!found)
            throw AppError(QStringLiteral("La ligne modifiée de la table « %1 » a disparu.").arg(path));
        return std::move(*found);
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
        // The user's own file is read through its one read-write connection;
        // its journal is switched only once its layout has been checked.
        d->connection = d->untrusted ? Database::openUntrusted(d->path)
                                     : Database::connect(d->path, OpenMode::ReadOnly);
        d->path = d->connection->filePath();
        d->info = readTableInfo(d->connection);
        checkRequiredFields(d->info, m_requiredFields, d->path);
        if (!d->untrusted)
            d->connection->useJournal(d->standalone ? OpenMode::Standalone : OpenMode::Writable);

        const size_t columns = d->info.columns.size();
        d->lazy.assign(columns, false);
        for (size_t i = 0; i < columns; ++i) {
            const bool isKey = std::find(d->info.keyColumns.begin(), d->info.keyColumns.end(), int(i))
                != d->info.keyColumns.end();
            const bool unread = !d->fieldsToRead.empty()
                && std::find(d->fieldsToRead.begin(), d->fieldsToRead.end(), int(i)) == d->fieldsToRead.end();
            d->lazy[i] = !isKey && (unread || d->info.columns[i].kind == Kind::Blob);
        }
        d->posted.assign(columns, QVariant());
        d->isPosted.assign(columns, false);
        d->anyPosted = false;

        // Rows are read in key order. A foreign file whose key allows NULL and
        // holds some is read in rowid order instead, so that no row is lost.
        d->orderByRowid = d->info.keyColumns.empty() || !keyOrder;
        QStringList nullTests;
        for (int position : d->info.keyColumns) {
            if (!d->info.columns[size_t(position)].notNull)
                nullTests << d->info.columns[size_t(position)].quoted + QStringLiteral(" IS NULL");
        }
        if (!d->orderByRowid && !nullTests.isEmpty()) {
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

void Table::setFieldsToRead(const std::vector<int> &positions)
{
    if (d->state == State::Inactive)
        d->fieldsToRead = positions;
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
    if (!d->startPass(d->firstStatement(), d->filterBinds))
        d->noRow();
}

void Table::next()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    if (d->eof)
        return;
    if (!d->pass) {
        // Like the cursor it replaces, it stays on the last row at the end.
        if (!d->passAfter(d->currentKey()))
            d->eof = true;
        return;
    }
    const qint64 rowid = d->currentRowid();
    d->clearPosted();
    if (d->pass->step())
        return;
    // The end: the pass lets its read go, and the last row stays readable.
    d->stopPass();
    d->eof = true;
    if (std::optional<Row> last = d->tryReread(rowid))
        d->row = std::move(*last);
    else
        d->hasRow = false;
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
        if (d->modified[column] || d->state == State::Insert)
            return d->pending[column];
    }
    if (!d->hasRow)
        return QVariant();
    return d->currentValue(column);
}

bool Table::isNullAt(int position) const
{
    if (d->readsFromPass(position))
        return d->pass->columnIsNull(position + 1);
    return Dataset::isNullAt(position);
}

QString Table::textAt(int position) const
{
    if (d->readsFromPass(position))
        return d->pass->columnText(position + 1);
    return Dataset::textAt(position);
}

qint64 Table::integerAt(int position) const
{
    if (d->readsFromPass(position))
        return d->pass->columnInteger(position + 1);
    return Dataset::integerAt(position);
}

double Table::floatAt(int position) const
{
    if (d->readsFromPass(position))
        return d->pass->columnFloat(position + 1);
    return Dataset::floatAt(position);
}

void Table::edit()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    if (d->state == State::Edit)
        return;
    leaveEditing();
    if (!d->hasRow)
        throw AppError(QStringLiteral("La table « %1 » n'a pas de ligne courante à modifier.").arg(d->path));
    d->clearPending();
    d->state = State::Edit;
}

void Table::insert()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    d->clearPending();
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
    d->pending[size_t(position)] = values::forColumn(value, d->info.columns[size_t(position)].kind);
    d->modified[size_t(position)] = true;
}

void Table::post()
{
    if (d->state != State::Edit && d->state != State::Insert)
        return;
    std::vector<int> &changed = d->changed;
    changed.clear();
    for (size_t i = 0; i < d->modified.size(); ++i) {
        if (d->modified[i])
            changed.push_back(int(i));
    }
    if (d->state == State::Edit) {
        if (changed.empty() || d->editChangesNothing(changed)) {
            d->state = State::Browse;
            return;
        }
        // A post of its own commits at once: the pass leaves first, so that
        // no read stays open across the commit and SQLite can fold the WAL
        // back into the file.
        d->beforeWrite();
        if (sqlite3_get_autocommit(d->connection->handle()))
            d->detach();
        auto &slot = d->updates[d->modified];
        if (!slot) {
            QStringList sets;
            for (int position : changed)
                sets << d->info.columns[size_t(position)].quoted + QStringLiteral(" = ?");
            slot = std::make_unique<SqliteStatement>(
                d->connection, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                   .arg(d->info.quotedName, sets.join(QStringLiteral(", "))));
        }
        const qint64 rowid = d->currentRowid();
        {
            StatementRun run(*slot);
            int bindIndex = 1;
            for (int position : changed)
                slot->bind(bindIndex++, d->pending[size_t(position)]);
            slot->bind(bindIndex, rowid);
            slot->step();
        }
        bool keyChanged = false;
        for (int position : d->info.keyColumns)
            keyChanged = keyChanged || d->modified[size_t(position)];
        d->cachedRowid = -1;
        d->state = State::Browse;
        // The cursor stays on the row; a new key moves it to the key's place,
        // and the next move seeks on from there.
        if (keyChanged && !d->orderByRowid) {
            d->standOn(d->reread(rowid));
            return;
        }
        for (int position : changed) {
            if (d->pass) {
                d->posted[size_t(position)] = d->pending[size_t(position)];
                d->isPosted[size_t(position)] = true;
                d->anyPosted = true;
            } else {
                d->row.values[size_t(position)] = d->pending[size_t(position)];
            }
        }
        return;
    }

    d->detach();
    d->beforeWrite();
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
            slot->bind(bindIndex++, d->pending[size_t(position)]);
        slot->step();
    }
    const qint64 rowid = sqlite3_last_insert_rowid(d->connection->handle());
    d->state = State::Browse;
    // A row given every field holds what was bound (already in stored form);
    // otherwise the file's defaults are read back.
    if (changed.size() == d->info.columns.size())
        d->standOn(Row{rowid, d->pending});
    else
        d->standOn(d->reread(rowid));
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
    if (!d->hasRow)
        throw AppError(QStringLiteral("La table « %1 » n'a pas de ligne courante à supprimer.").arg(d->path));
    const qint64 rowid = d->currentRowid();
    const QVariantList key = d->currentKey();
    d->stopPass();
    d->beforeWrite();
    SqliteStatement &statement = d->statement(
        d->removeRow, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(d->info.quotedName));
    {
        StatementRun run(statement);
        statement.bind(1, rowid);
        statement.step();
    }
    d->cachedRowid = -1;
    // The cursor moves to the row that followed; nothing follows at the end.
    if (!d->passAfter(key))
        d->noRow();
}

void Table::emptyTable()
{
    const bool wasOpen = d->state != State::Inactive;
    if (!wasOpen)
        open();
    try {
        cancel();
        d->stopPass();
        d->beforeWrite();
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
    d->noRow();
    d->cachedRowid = -1;
}

bool Table::findKey(const QStringList &key)
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    if (d->info.keyColumns.empty())
        throw AppError(QStringLiteral("La table « %1 » n'a pas de clé primaire.").arg(d->path));
    SqliteStatement &exact = d->statementOf(d->exact, [this] {
        QStringList tests;
        for (const QString &name : d->keyNames())
            tests << name + QStringLiteral(" = ?");
        return d->selectList() + d->where({tests.join(QStringLiteral(" AND "))}) + QStringLiteral(" LIMIT 1");
    });
    std::optional<Row> found;
    {
        StatementRun run(exact);
        exact.bindAll(d->searchKey(key) + d->filterBinds);
        if (exact.step())
            found = Private::readRow(exact, d->info.columns.size());
    }
    if (!found)
        return false;
    d->standOn(std::move(*found));
    return true;
}

void Table::findNearest(const QStringList &key)
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    leaveEditing();
    if (d->info.keyColumns.empty())
        throw AppError(QStringLiteral("La table « %1 » n'a pas de clé primaire.").arg(d->path));
    SqliteStatement &from = d->statementOf(d->fromKey, [this] {
        return d->selectList() + d->where({d->keyCondition(QStringLiteral(">="), true)})
            + QStringLiteral(" ORDER BY ") + d->keyNames().join(QStringLiteral(", "));
    });
    if (!d->startPass(from, d->searchKey(key) + d->filterBinds)) {
        d->noRow();
        return;
    }
    // A pass in rowid order goes on from the row found in rowid order.
    if (d->orderByRowid)
        d->detach();
}

void Table::beginTransaction()
{
    if (d->state == State::Inactive)
        notOpen(m_tableName);
    if (sqlite3_get_autocommit(d->connection->handle())) {
        d->beforeWrite();
        d->connection->exec(QStringLiteral("BEGIN"));
    }
}

void Table::commitTransaction()
{
    if (d->connection && !sqlite3_get_autocommit(d->connection->handle())) {
        // No read stays open across the commit, so SQLite can fold the WAL
        // back into the file; the next move seeks on from the current row.
        d->detach();
        d->connection->exec(QStringLiteral("COMMIT"));
    }
}
