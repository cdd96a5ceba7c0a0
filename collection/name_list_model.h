#pragma once

#include "collection/name_list.h"

#include <QAbstractListModel>

#include <vector>

// The lines of a name list for a combo box. Finding a line (the combo box
// looks its text up when a line is picked) is a binary search.
class NameListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setList(NameList list);
    const NameList &list() const { return m_list; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QModelIndexList match(const QModelIndex &start, int role, const QVariant &value, int hits = 1,
                          Qt::MatchFlags flags = Qt::MatchFlags(Qt::MatchStartsWith | Qt::MatchWrap)) const override;

private:
    NameList m_list;
};

// The lines of a name list that start with the text typed, letter case
// ignored: the rows of the completion popup, so that it never scans the
// whole list at each keystroke.
class LineMatchesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit LineMatchesModel(const NameListModel &lines, QObject *parent = nullptr);

    void setTyped(const QString &typed);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    const NameListModel &m_lines;
    std::vector<quint32> m_rows;
};
