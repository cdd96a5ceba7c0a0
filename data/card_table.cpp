#include "data/card_table.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/error.h"
#include "data/sqlite_connection.h"
#include "data/table_info.h"

#include <limits>

namespace card {

const QStringList &fieldNames()
{
    static const QStringList names = {
        QStringLiteral("Nom_français"), QStringLiteral("Nom_anglais"), QStringLiteral("Origine"),
        QStringLiteral("Rarete"),       QStringLiteral("Cote"),        QStringLiteral("Couleur"),
        QStringLiteral("Coût"),         QStringLiteral("Force"),       QStringLiteral("Endurance"),
        QStringLiteral("Type"),         QStringLiteral("Dispo"),       QStringLiteral("Utilise"),
        QStringLiteral("Echangeable"),  QStringLiteral("Cherche"),     QStringLiteral("Dessin"),
    };
    return names;
}

QString createTableSql(const QString &tableName)
{
    QString quotedName = tableName;
    quotedName.replace(QLatin1Char('"'), QLatin1String("\"\""));
    // The key fields are NOT NULL with a blank default so that key comparisons
    // never meet a NULL; a blank number is NULL.
    return QStringLiteral("CREATE TABLE \"%1\" ("
                          "\"Nom_français\" TEXT NOT NULL DEFAULT '', "
                          "\"Nom_anglais\" TEXT NOT NULL DEFAULT '', "
                          "\"Origine\" TEXT NOT NULL DEFAULT '', "
                          "\"Rarete\" TEXT, "
                          "\"Cote\" REAL, "
                          "\"Couleur\" TEXT, "
                          "\"Coût\" TEXT, "
                          "\"Force\" REAL, "
                          "\"Endurance\" REAL, "
                          "\"Type\" TEXT, "
                          "\"Dispo\" INTEGER, "
                          "\"Utilise\" INTEGER, "
                          "\"Echangeable\" INTEGER, "
                          "\"Cherche\" INTEGER, "
                          "\"Dessin\" BLOB, "
                          "PRIMARY KEY (\"Nom_français\", \"Nom_anglais\", \"Origine\"))")
        .arg(quotedName);
}

QString lookupIndexSql(const QString &tableName)
{
    QString quotedName = tableName;
    quotedName.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QStringLiteral("CREATE INDEX IF NOT EXISTS \"%1_anglais\" ON \"%1\" (\"Nom_anglais\", \"Origine\")")
        .arg(quotedName);
}

void ensureLookupIndex(const QString &filePath)
{
    try {
        const std::shared_ptr<SqliteConnection> connection = Database::connect(filePath, OpenMode::ReadOnly);
        if (connection->isReadOnly())
            return;
        const TableInfo info = readTableInfo(connection);
        if (info.columns.size() < size_t(FieldCount))
            return;
        {
            SqliteStatement existing(connection, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = "
                                                                "'index' AND name = ?1 || '_anglais'"));
            existing.bind(1, info.name);
            StatementRun run(existing);
            if (existing.step())
                return;
        }
        connection->exec(lookupIndexSql(info.name));
    } catch (const AppError &) {
        // A full disk or a busy file: the lookups still work, table scan.
    }
}

const std::array<const char *, ColourCount> ColourCodes = {"Ver", "Rge", "Noi", "Ble", "Bla", "Or", "Inc"};
const std::array<const char *, ColourCount> ColourNames = {"Vert",  "Rouge",  "Noir",          "Bleu",
                                                           "Blanc", "Chrome", "Artefact/Autre"};

QString colourCode(int index)
{
    if (index < 0 || index >= ColourCount)
        return {};
    return QString::fromUtf8(ColourCodes[index]);
}

QString cardLine(const QString &name, const QString &edition)
{
    return name + QStringLiteral(" (") + edition + QLatin1Char(')');
}

QString countedLine(const QString &name, qint64 count, const QString &edition)
{
    return name + QStringLiteral(" x ") + QString::number(count) + QStringLiteral(" (") + edition
        + QLatin1Char(')');
}

SplitLine splitCardLine(const QString &line)
{
    const qsizetype open = line.lastIndexOf(QLatin1Char('('));
    SplitLine split;
    // The name ends two characters before the "(" (the blank of " (").
    if (open >= 1)
        split.name = line.left(open - 1);
    split.edition = line.mid(open + 1);
    if (!split.edition.isEmpty())
        split.edition.chop(1);
    return split;
}

QString uncountLine(const QString &countedLine)
{
    const qsizetype times = countedLine.indexOf(QStringLiteral(" x "));
    const qsizetype open = countedLine.indexOf(QLatin1Char('('));
    // The name with the blank that follows it; nothing when there is no count.
    const QString name = times >= 0 ? countedLine.left(times + 1) : QString();
    const QString rest = open >= 0 ? countedLine.mid(open) : countedLine;
    return name + rest;
}

qint64 ownedCopies(Dataset &row)
{
    const qint64 dispo = row.field(Dispo).asInteger();
    const qint64 utilise = row.field(Utilise).asInteger();
    qint64 copies = 0;
    // A damaged or hostile table may hold counts whose sum does not fit: it
    // stays at the largest (or smallest) count instead of wrapping round.
    if (__builtin_add_overflow(dispo, utilise, &copies))
        return utilise > 0 ? std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::min();
    return copies;
}

} // namespace card
