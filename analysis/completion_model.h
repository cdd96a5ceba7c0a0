#pragma once

#include "analysis/completion.h"

#include <QAbstractTableModel>

// The rows of the completion window: one per edition in the order chosen
// by a click on a column title, then the total, which stays last.
class CompletionModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // New figures, sorted as the rows were.
    void setCompletion(Completion completion);
    const std::vector<EditionCompletion> &rows() const { return m_completion.editions; }
    const EditionCompletion &total() const { return m_completion.total; }
    // The edition of a row; empty for the total.
    QString editionAt(int row) const;
    int sortColumn() const { return int(m_column); }
    Qt::SortOrder sortOrder() const { return m_ascending ? Qt::AscendingOrder : Qt::DescendingOrder; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    Completion m_completion;
    CompletionColumn m_column = CompletionColumn::Edition;
    bool m_ascending = true;
};
