#pragma once

#include "data/dataset.h"

#include <QVariantList>
#include <memory>
#include <vector>

class Database;
class SqliteConnection;

// A table cursor on one table file, reading rows in primary-key order (a
// blank key value before every other value). It can be restricted by a
// filter, which is how the live edition query works.
class Table : public Dataset
{
public:
    explicit Table(Database *database = nullptr);
    ~Table() override;

    void setDatabase(Database *database) { m_database = database; }
    // A name of the database directory ("CARTES.DB") or a full path.
    void setTableName(const QString &name) { m_tableName = name; }
    QString tableName() const { return m_tableName; }

    // Field names the file must hold at positions 0..n-1 (letter case
    // ignored); checked on open, with a French message when they differ.
    void setRequiredFields(const QStringList &names) { m_requiredFields = names; }

    // Restricts the rows to those matching an SQLite condition (already
    // translated, with '?' placeholders) and its bound values.
    void setFilter(const QString &sqliteCondition, const QVariantList &binds);
    void clearFilter();

    void close() override;
    void setFieldsToRead(const std::vector<int> &positions) override;
    State state() const override;
    void first() override;
    void next() override;
    bool eof() const override;
    int recordCount() override;
    int fieldCount() const override;
    QString fieldName(int position) const override;
    Kind fieldKind(int position) const override;
    QVariant value(int position) const override;
    bool isNullAt(int position) const override;
    QString textAt(int position) const override;
    qint64 integerAt(int position) const override;
    double floatAt(int position) const override;

    void edit() override;
    void insert() override;
    void setValue(int position, const QVariant &value) override;
    void post() override;
    void cancel() override;
    void remove() override;
    void beginTransaction() override;
    void commitTransaction() override;

    // Removes every row and keeps the layout.
    void emptyTable();

    // Key lookups on the primary key (the table's first three fields).
    // `key` holds one value per key field; missing or empty values are blank.
    // Exact: true and on the row when found, false and position unchanged.
    bool findKey(const QStringList &key);
    // Nearest: moves to the first row whose key is equal to or after `key`
    // (eof when there is none).
    void findNearest(const QStringList &key);

    // The file actually opened (after resolution), for messages.
    QString filePath() const;

    // Set before open. A file from someone else is read through a read-only
    // connection of its own with SQLite's defensive settings; writes fail.
    void setUntrusted(bool untrusted);
    bool isUntrusted() const;
    // Set before open. The file keeps SQLite's rollback journal instead of
    // WAL, so it stays one self-contained file (a table handed to someone).
    void setStandalone(bool standalone);

protected:
    void openRows(bool keyOrder) override;

private:
    void leaveEditing();

    struct Private;
    Database *m_database = nullptr;
    QString m_tableName;
    QStringList m_requiredFields;
    std::unique_ptr<Private> d;
};
