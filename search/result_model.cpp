#include "search/result_model.h"

#include "data/dataset.h"
#include "data/error.h"

#include <exception>
#include <iterator>

namespace {
// Rows are read a few screenfuls at a time.
constexpr int BatchSize = 256;
} // namespace

SearchResultModel::SearchResultModel(Dataset &rows, QObject *parent)
    : QAbstractTableModel(parent)
    , m_dataset(rows)
{
    for (const QString &name : columnFields())
        m_positions.push_back(m_dataset.fieldByName(name).position());
}

const QStringList &SearchResultModel::columnFields()
{
    static const QStringList fields = {
        QStringLiteral("Nom_français"), QStringLiteral("Nom_anglais"), QStringLiteral("Origine"),
        QStringLiteral("Rarete"),       QStringLiteral("Cote"),        QStringLiteral("Couleur"),
        QStringLiteral("Coût"),         QStringLiteral("Force"),       QStringLiteral("Endurance"),
        QStringLiteral("Type"),         QStringLiteral("Dispo"),       QStringLiteral("Utilise"),
        QStringLiteral("Echangeable"),  QStringLiteral("Cherche"),
    };
    return fields;
}

QString SearchResultModel::columnTitle(int column)
{
    if (column == 0)
        return QStringLiteral("Nom Français");
    if (column == 1)
        return QStringLiteral("Nom anglais");
    return columnFields().value(column);
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SearchResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_positions.size());
}

bool SearchResultModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_failed && !m_dataset.eof();
}

void SearchResultModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    std::vector<QStringList> batch;
    // The grid asks from its layout and scrolling, where an exception has
    // nowhere to go: a query that fails half-way keeps the rows read before
    // and says why, once, through readFailed.
    QString failure;
    try {
        while (int(batch.size()) < BatchSize && !m_dataset.eof()) {
            QStringList values;
            values.reserve(int(m_positions.size()));
            for (int position : m_positions)
                values << m_dataset.field(position).asString();
            batch.push_back(std::move(values));
            m_dataset.next();
        }
    } catch (const AppError &e) {
        failure = e.message();
    } catch (const std::exception &e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    if (!batch.empty()) {
        const int first = int(m_rows.size());
        beginInsertRows(QModelIndex(), first, first + int(batch.size()) - 1);
        std::move(batch.begin(), batch.end(), std::back_inserter(m_rows));
        endInsertRows();
    }
    if (!failure.isNull()) {
        m_failed = true;
        emit readFailed(failure);
    }
}

csv::Rows SearchResultModel::exportRows()
{
    fetchAll();
    // Part of a result written as the whole would mislead whoever reads the
    // file.
    if (m_failed)
        throw AppError(QStringLiteral("Le résultat de la recherche n'a pas pu être lu jusqu'au bout : "
                                      "il n'est pas exporté."));
    static const QStringList numericFields = {
        QStringLiteral("Cote"),    QStringLiteral("Force"),       QStringLiteral("Endurance"), QStringLiteral("Dispo"),
        QStringLiteral("Utilise"), QStringLiteral("Echangeable"), QStringLiteral("Cherche")};
    csv::Rows rows;
    QStringList titles;
    for (int column = 0; column < columnCount(); ++column)
        titles << columnTitle(column);
    rows << titles;
    for (const QStringList &values : m_rows) {
        QStringList row = values;
        for (int column = 0; column < row.size(); ++column) {
            bool isNumber = false;
            const double number = row[column].toDouble(&isNumber);
            if (isNumber && numericFields.contains(columnFields().value(column)))
                row[column] = csv::number(number);
        }
        rows << row;
    }
    return rows;
}

void SearchResultModel::fetchAll()
{
    while (canFetchMore())
        fetchMore();
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= int(m_rows.size()))
        return QVariant();
    return m_rows[size_t(index.row())].value(index.column());
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal)
        return columnTitle(section);
    return QVariant();
}

Qt::ItemFlags SearchResultModel::flags(const QModelIndex &index) const
{
    // Read-only: the rows can be selected, never edited.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
