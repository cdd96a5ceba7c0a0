#include "update/csv_import_report.h"

#include "data/card_table.h"

namespace csvimport {

QString outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::NotFound:
        return QStringLiteral("introuvable");
    case Outcome::Ambiguous:
        return QStringLiteral("ambiguë");
    case Outcome::Refused:
        break;
    }
    return QStringLiteral("refusée");
}

QString lineCard(const csv::Document &file, const std::vector<int> &columns, int row)
{
    const auto text = [&](int field) {
        for (size_t column = 0; column < columns.size(); ++column) {
            if (columns[column] == field)
                return file.field(row, int(column));
        }
        return QString();
    };
    QString name = text(card::NomFrancais);
    if (name.isEmpty())
        name = text(card::NomAnglais);
    const QString edition = text(card::Origine);
    if (name.isEmpty())
        return edition.isEmpty() ? QString() : QStringLiteral("(%1)").arg(edition);
    return edition.isEmpty() ? name : card::cardLine(name, edition);
}

QStringList reportLines(const csv::Document &file, const std::vector<int> &columns, const Summary &summary)
{
    QStringList lines{
        QStringLiteral("Lignes lues : %1").arg(summary.lines),
        QStringLiteral("Cartes mises à jour : %1").arg(summary.updated),
        QStringLiteral("Cartes créées : %1").arg(summary.created),
        QStringLiteral("Introuvables : %1").arg(summary.notFound),
        QStringLiteral("Ambiguës : %1").arg(summary.ambiguous),
        QStringLiteral("Refusées : %1").arg(summary.refused),
    };
    for (const SkippedLine &skipped : summary.skipped) {
        const QString name = lineCard(file, columns, skipped.row);
        lines << QStringLiteral("Ligne %1, %2 : %3%4")
                     .arg(file.lineNumber(skipped.row))
                     .arg(outcomeName(skipped.outcome), name.isEmpty() ? QString() : name + QStringLiteral(" : "),
                          skipped.reason);
    }
    return lines;
}

csv::Rows skippedRows(const csv::Document &file, const Summary &summary)
{
    csv::Rows rows{QStringList{QStringLiteral("Ligne"), QStringLiteral("Motif")} + file.header};
    for (const SkippedLine &skipped : summary.skipped) {
        QStringList row{QString::number(file.lineNumber(skipped.row)),
                        outcomeName(skipped.outcome) + QStringLiteral(" : ") + skipped.reason};
        QStringList fields = file.row(skipped.row);
        while (fields.size() < file.header.size())
            fields << QString();
        rows << row + fields;
    }
    return rows;
}

} // namespace csvimport
