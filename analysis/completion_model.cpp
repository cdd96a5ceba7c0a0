#include "analysis/completion_model.h"

#include <QFont>

void CompletionModel::setCompletion(Completion completion)
{
    beginResetModel();
    m_completion = std::move(completion);
    sortCompletion(m_completion.editions, m_column, m_ascending);
    endResetModel();
}

QString CompletionModel::editionAt(int row) const
{
    if (row < 0 || std::size_t(row) >= m_completion.editions.size())
        return QString();
    return m_completion.editions[std::size_t(row)].edition;
}

int CompletionModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_completion.editions.size()) + 1;
}

int CompletionModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(CompletionColumn::Count);
}

QVariant CompletionModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const bool isTotal = std::size_t(index.row()) == m_completion.editions.size();
    const EditionCompletion &row = isTotal ? m_completion.total : m_completion.editions[std::size_t(index.row())];
    const auto column = CompletionColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (isTotal && column == CompletionColumn::Edition)
            return QStringLiteral("Total");
        return completionCell(row, column);
    case Qt::TextAlignmentRole:
        return column == CompletionColumn::Edition ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::FontRole:
        if (isTotal) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant CompletionModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0
        || section >= completionTitles().size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return completionTitles().at(section);
}

void CompletionModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= int(CompletionColumn::Count))
        return;
    // Rows move: a reset, so that no selection points at another edition.
    beginResetModel();
    m_column = CompletionColumn(column);
    m_ascending = order == Qt::AscendingOrder;
    sortCompletion(m_completion.editions, m_column, m_ascending);
    endResetModel();
}
