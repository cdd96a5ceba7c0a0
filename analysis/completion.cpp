#include "analysis/completion.h"

#include "analysis/saturating.h"
#include "collection/name_list.h"
#include "data/card_table.h"
#include "data/dataset.h"
#include "data/dataset_guard.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

void addRow(EditionCompletion &sum, const EditionCompletion &row)
{
    sum.printings = saturatingAdd(sum.printings, row.printings);
    sum.owned = saturatingAdd(sum.owned, row.owned);
    sum.copies = saturatingAdd(sum.copies, row.copies);
    sum.value += row.value;
    sum.costToComplete += row.costToComplete;
    sum.unpriced = saturatingAdd(sum.unpriced, row.unpriced);
}

QString francs(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

Completion completionByEdition(Dataset &cards)
{
    std::vector<EditionCompletion> rows;
    QHash<QString, std::size_t> rowOf;

    cards.close();
    cards.setFieldsToRead({card::Origine, card::Dispo, card::Utilise, card::Cote});
    cards.openUnordered();
    DatasetGuard guard(cards);
    // Rows of one edition often follow one another: the last one found is
    // tried before the table of editions.
    QString lastEdition;
    std::size_t last = 0;
    for (; !cards.eof(); cards.next()) {
        const QString edition = cards.field(card::Origine).asString();
        if (rows.empty() || edition != lastEdition) {
            auto it = rowOf.constFind(edition);
            if (it == rowOf.cend()) {
                it = rowOf.insert(edition, rows.size());
                rows.push_back(EditionCompletion{});
                rows.back().edition = edition;
            }
            last = *it;
            lastEdition = edition;
        }
        EditionCompletion &row = rows[last];
        const qint64 copies = card::ownedCopies(cards);
        const Field cote = cards.field(card::Cote);
        row.printings = saturatingAdd<qint64>(row.printings, 1);
        row.copies = saturatingAdd(row.copies, copies);
        row.value += cote.asFloat() * double(copies);
        if (copies > 0) {
            row.owned = saturatingAdd<qint64>(row.owned, 1);
        } else if (cote.isNull()) {
            row.unpriced = saturatingAdd<qint64>(row.unpriced, 1);
        } else {
            row.costToComplete += cote.asFloat();
        }
    }
    cards.close();

    Completion completion;
    for (const EditionCompletion &row : rows)
        addRow(completion.total, row);
    sortCompletion(rows, CompletionColumn::Edition, true);
    completion.editions = std::move(rows);
    return completion;
}

const QStringList &completionTitles()
{
    static const QStringList titles = {
        QStringLiteral("Edition"),     QStringLiteral("Cartes"),  QStringLiteral("Possédées"),
        QStringLiteral("Complétude"),  QStringLiteral("Exemplaires"), QStringLiteral("Valeur (Francs)"),
        QStringLiteral("Coût pour compléter (Francs)")};
    return titles;
}

double completionPercent(const EditionCompletion &row)
{
    if (row.printings <= 0)
        return -1;
    return double(row.owned) / double(row.printings) * 100.0;
}

QString completionCell(const EditionCompletion &row, CompletionColumn column)
{
    switch (column) {
    case CompletionColumn::Edition:
        return row.edition;
    case CompletionColumn::Printings:
        return QString::number(row.printings);
    case CompletionColumn::Owned:
        return QString::number(row.owned);
    case CompletionColumn::Percent:
        // As the analysis writes a cell's percentage.
        if (row.printings <= 0)
            return QStringLiteral("NC");
        if (row.owned == row.printings)
            return QStringLiteral("100 %");
        return QString::number(completionPercent(row), 'f', 1) + QStringLiteral(" %");
    case CompletionColumn::Copies:
        return QString::number(row.copies);
    case CompletionColumn::Value:
        return francs(row.value);
    case CompletionColumn::Cost:
        if (row.unpriced > 0)
            return francs(row.costToComplete) + QStringLiteral(", dont %1 sans cote").arg(row.unpriced);
        return francs(row.costToComplete);
    case CompletionColumn::Count:
        break;
    }
    return QString();
}

void sortCompletion(std::vector<EditionCompletion> &rows, CompletionColumn column, bool ascending)
{
    const auto editionOrder = [](const EditionCompletion &a, const EditionCompletion &b) {
        return shownBefore(a.edition, b.edition);
    };
    std::sort(rows.begin(), rows.end(), editionOrder);
    if (column == CompletionColumn::Edition) {
        if (!ascending)
            std::reverse(rows.begin(), rows.end());
        return;
    }
    const auto number = [column](const EditionCompletion &row) -> double {
        switch (column) {
        case CompletionColumn::Printings: return double(row.printings);
        case CompletionColumn::Owned: return double(row.owned);
        case CompletionColumn::Percent: return completionPercent(row);
        case CompletionColumn::Copies: return double(row.copies);
        case CompletionColumn::Value: return row.value;
        case CompletionColumn::Cost: return row.costToComplete;
        default: return 0;
        }
    };
    // Equal numbers keep the edition order, whichever way the column goes.
    std::stable_sort(rows.begin(), rows.end(), [&](const EditionCompletion &a, const EditionCompletion &b) {
        const double x = number(a), y = number(b);
        if (x != y)
            return ascending ? x < y : x > y;
        // Printings without a price cost more than nothing: among equal
        // costs, more of them count as dearer.
        if (column == CompletionColumn::Cost && a.unpriced != b.unpriced)
            return ascending ? a.unpriced < b.unpriced : a.unpriced > b.unpriced;
        return false;
    });
}

csv::Rows completionCsvRows(const std::vector<EditionCompletion> &rows, const EditionCompletion &total)
{
    csv::Rows csvRows{{QStringLiteral("Edition"), QStringLiteral("Cartes"), QStringLiteral("Possédées"),
                       QStringLiteral("Complétude (%)"), QStringLiteral("Exemplaires"), QStringLiteral("Valeur"),
                       QStringLiteral("Coût pour compléter"), QStringLiteral("Sans cote")}};
    const auto add = [&csvRows](const EditionCompletion &row, const QString &name) {
        const double percent = completionPercent(row);
        csvRows << QStringList{name,
                               QString::number(row.printings),
                               QString::number(row.owned),
                               percent < 0 ? QStringLiteral("NC") : csv::number(std::round(percent * 10) / 10),
                               QString::number(row.copies),
                               csv::number(row.value),
                               csv::number(row.costToComplete),
                               QString::number(row.unpriced)};
    };
    for (const EditionCompletion &row : rows)
        add(row, row.edition);
    add(total, QStringLiteral("Total"));
    return csvRows;
}

csv::Rows completionTextRows(const std::vector<EditionCompletion> &rows, const EditionCompletion &total)
{
    // The printed page is narrower than the window: the printings without a
    // price get a column of their own.
    csv::Rows texts{{QStringLiteral("Edition"), QStringLiteral("Cartes"), QStringLiteral("Possédées"),
                     QStringLiteral("Complétude"), QStringLiteral("Exemplaires"), QStringLiteral("Valeur"),
                     QStringLiteral("Pour compléter"), QStringLiteral("Sans cote")}};
    const auto add = [&texts](const EditionCompletion &row, const QString &name) {
        QStringList cells{name};
        for (int c = int(CompletionColumn::Printings); c < int(CompletionColumn::Cost); ++c)
            cells << completionCell(row, CompletionColumn(c));
        cells << francs(row.costToComplete) << QString::number(row.unpriced);
        texts << cells;
    };
    for (const EditionCompletion &row : rows)
        add(row, row.edition);
    add(total, QStringLiteral("Total"));
    return texts;
}
