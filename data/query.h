#pragma once

#include "data/dataset.h"

#include <QStringList>
#include <memory>

class Database;

// A local SQL query. Its statement is a list of lines joined by blanks:
//   SELECT * | SELECT DISTINCT <field>
//   FROM <table name> | FROM "<full path>"
//   WHERE with = <> < > <= >=, AND, OR, NOT, parentheses, numbers, text
//   constants in double or single quotes (a doubled quote is one quote),
//   UPPER (field) and LIKE with % and _ (case-sensitive).
// Text constants are bound, never pasted into SQLite's SQL. A live query
// (the edition selection) lets its rows be edited and posted to the table.
class Query : public Dataset
{
public:
    explicit Query(Database *database = nullptr);
    ~Query() override;

    void setDatabase(Database *database) { m_database = database; }
    QStringList &sql() { return m_sql; }
    const QStringList &sql() const { return m_sql; }

    void setLive(bool live) { m_live = live; }
    bool isLive() const { return m_live; }
    void setRequiredFields(const QStringList &names) { m_requiredFields = names; }

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

    // Editing works only on a live query.
    void edit() override;
    void insert() override;
    void setValue(int position, const QVariant &value) override;
    void post() override;
    void cancel() override;
    void remove() override;
    void beginTransaction() override;
    void commitTransaction() override;

protected:
    void openRows(bool keyOrder) override;

private:
    struct Private;
    Database *m_database = nullptr;
    QStringList m_sql;
    QStringList m_requiredFields;
    bool m_live = false;
    std::vector<int> m_fieldsToRead;
    std::unique_ptr<Private> d;
};
