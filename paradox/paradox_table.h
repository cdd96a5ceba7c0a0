#pragma once

#include "data/dataset.h"
#include "paradox/table_file_format.h"

#include <QString>
#include <memory>
#include <vector>

// A Paradox table read through pxlib as a read-only dataset: the same field
// positions, names and values as an SQLite table of the same layout. Alpha
// fields are decoded from the table's code page, dates read as "jj/mm/aaaa",
// logical fields as 0/1; blob and graphic fields from the companion .MB file
// (empty when the table has none). Rows come in
// primary-key order (openUnordered: in file order). The file is someone
// else's: every size it claims is checked against the file, and a damaged
// table or .MB file throws AppError naming the file.
class ParadoxTable : public Dataset
{
public:
    explicit ParadoxTable(const QString &filePath);
    ~ParadoxTable() override;

    QString filePath() const { return m_filePath; }
    // Code page named in the header (850, 1252, ...), valid once open.
    int codePage() const { return m_codePage; }

    void close() override;
    State state() const override;
    void first() override;
    void next() override;
    bool eof() const override;
    int recordCount() override;
    int fieldCount() const override;
    QString fieldName(int position) const override;
    Kind fieldKind(int position) const override;
    QVariant value(int position) const override;

protected:
    void openRows(bool keyOrder) override;

private:
    struct Px;
    QVariant readField(int position) const;
    void loadRow();
    [[noreturn]] void fail(const QString &reason) const;

    QString m_filePath;
    std::unique_ptr<Px> m_px;
    int m_codePage = 0;
    std::vector<int> m_order;   // record numbers in reading order
    std::size_t m_cursor = 0;
    std::vector<QVariant> m_row;
};
