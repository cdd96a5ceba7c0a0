#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class Dataset;

// The rows of an open search query for the result grid: the fourteen card
// fields shown, read from the query a batch at a time as the grid scrolls
// down (fetchMore), so a search that finds the whole catalogue shows its
// first rows at once and the query is stepped once. The query stays open
// while the model is in use.
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

private:
    Dataset &m_dataset;
    std::vector<int> m_positions; // field position of each column
    std::vector<QStringList> m_rows;
    bool m_failed = false;
};
