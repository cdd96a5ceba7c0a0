#include "collection/name_list_model.h"

void NameListModel::setList(NameList list)
{
    beginResetModel();
    m_list = std::move(list);
    endResetModel();
}

int NameListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_list.size());
}

QVariant NameListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_list.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_list.line(index.row());
}

QModelIndexList NameListModel::match(const QModelIndex &start, int role, const QVariant &value, int hits,
                                     Qt::MatchFlags flags) const
{
    const Qt::MatchFlags kind = flags & Qt::MatchTypeMask;
    const bool wholeText = kind == Qt::MatchExactly || kind == Qt::MatchFixedString;
    if (!wholeText || hits != 1 || start.row() != 0 || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QAbstractListModel::match(start, role, value, hits, flags);
    const QString text = value.toString();
    if (kind == Qt::MatchExactly || flags.testFlag(Qt::MatchCaseSensitive)) {
        const qsizetype row = m_list.rowOf(text);
        return row < 0 ? QModelIndexList() : QModelIndexList{index(int(row))};
    }
    for (const quint32 row : m_list.rowsStartingWith(text)) {
        if (m_list.line(row).size() == text.size())
            return {index(int(row))};
    }
    return {};
}

LineMatchesModel::LineMatchesModel(const NameListModel &lines, QObject *parent)
    : QAbstractListModel(parent), m_lines(lines)
{
    connect(&lines, &QAbstractItemModel::modelAboutToBeReset, this, [this] { setTyped(QString()); });
}

void LineMatchesModel::setTyped(const QString &typed)
{
    beginResetModel();
    m_rows = m_lines.list().rowsStartingWith(typed);
    endResetModel();
}

int LineMatchesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant LineMatchesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= m_rows.size() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return m_lines.list().line(m_rows[size_t(index.row())]);
}
