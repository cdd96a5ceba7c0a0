#pragma once

#include "data/csv_file.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class Dataset;

// The rows of an open search query for the result grid: the fourteen card
// fields shown, read from the query a batch at a time as the grid scrolls
// down (fetchMore, first called by the grid or by the caller), so a search
// that finds the whole catalogue shows its first rows at once and the query
// is stepped once. The query stays open while the model is in use. A query
// that fails half-way keeps the rows read before, emits readFailed once and
// reads no further.
class SearchResultModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SearchResultModel(Dataset &rows, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;

    // The field names of the columns, in grid order, and their titles.
    static const QStringList &columnFields();
    static QString columnTitle(int column);

    // Reads every row left (what scrolling to the end does).
    void fetchAll();

    // Every row of the result for a spreadsheet: the column titles, then one
    // row per card with numbers written with a decimal comma. A result that
    // could not be read to its end throws AppError instead.
    csv::Rows exportRows();

signals:
    // The engine's message, when reading the rows failed.
    void readFailed(const QString &message);

private:
    Dataset &m_dataset;
    std::vector<int> m_positions; // field position of each column
    std::vector<QStringList> m_rows;
    bool m_failed = false;
};
