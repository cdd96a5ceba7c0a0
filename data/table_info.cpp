#include "data/table_info.h"

#include "data/error.h"
#include "data/sqlite_connection.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QStringList TableInfo::columnNames() const
{
    QStringList names;
    for (const ColumnInfo &column : columns)
        names << column.name;
    return names;
}

QList<bool> TableInfo::numericColumns() const
{
    QList<bool> numeric;
    for (const ColumnInfo &column : columns)
        numeric << (column.kind == Dataset::Kind::Integer || column.kind == Dataset::Kind::Float);
    return numeric;
}

Dataset::Kind kindOfDeclaredType(const QString &declaredType)
{
    const QString type = declaredType.toUpper();
    if (type.contains(QLatin1String("INT")))
        return Dataset::Kind::Integer;
    if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB"))
        || type.contains(QLatin1String("TEXT")))
        return Dataset::Kind::Text;
    if (type.isEmpty() || type.contains(QLatin1String("BLOB")))
        return Dataset::Kind::Blob;
    return Dataset::Kind::Float;
}

TableInfo readTableInfo(const std::shared_ptr<SqliteConnection> &connection)
{
    if (const std::shared_ptr<const TableInfo> layout = connection->cachedLayout())
        return *layout;
    const QString &path = connection->filePath();
    TableInfo info;
    {
        // Indexes, and the triggers and views the engine never uses, are not
        // tables.
        SqliteStatement tables(connection,
                               QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                                              "AND substr(name, 1, 7) <> 'sqlite_'"));
        StatementRun run(tables);
        QStringList names;
        while (tables.step())
            names << tables.column(0).toString();
        if (names.isEmpty())
            throw AppError(QStringLiteral("Le fichier « %1 » ne contient aucune table.").arg(path));
        if (names.size() > 1)
            throw AppError(QStringLiteral("Le fichier « %1 » contient plusieurs tables (%2) : une "
                                          "seule est attendue.")
                               .arg(path, names.join(QStringLiteral(", "))));
        info.name = names.first();
        info.quotedName = quoteIdentifier(info.name);
    }

    std::vector<std::pair<int, int>> keyOrder; // (rank in the key, position)
    {
        SqliteStatement columns(connection, QStringLiteral("SELECT name, type, \"notnull\", pk FROM "
                                                           "pragma_table_info(?1)"));
        columns.bind(1, info.name);
        StatementRun run(columns);
        while (columns.step()) {
            ColumnInfo column;
            column.name = columns.column(0).toString();
            column.quoted = quoteIdentifier(column.name);
            column.kind = kindOfDeclaredType(columns.column(1).toString());
            column.notNull = columns.columnInt(2) != 0;
            const int rank = int(columns.columnInt(3));
            if (rank > 0)
                keyOrder.emplace_back(rank, int(info.columns.size()));
            info.columns.push_back(column);
        }
    }
    if (info.columns.empty())
        throw AppError(QStringLiteral("La table du fichier « %1 » ne peut pas être lue.").arg(path));
    std::sort(keyOrder.begin(), keyOrder.end());
    for (const auto &[rank, position] : keyOrder)
        info.keyColumns.push_back(position);

    // Rows are addressed by their rowid (a post, a lookup of the row left,
    // a picture read when asked for): a table without one, or whose field
    // named "rowid" hides it, is refused rather than read wrongly.
    {
        SqliteStatement withoutRowid(connection, QStringLiteral("SELECT wr FROM pragma_table_list "
                                                                "WHERE schema = 'main' AND name = ?1"));
        withoutRowid.bind(1, info.name);
        StatementRun run(withoutRowid);
        const bool hidden = std::any_of(info.columns.begin(), info.columns.end(), [](const ColumnInfo &c) {
            return c.name.compare(QLatin1String("rowid"), Qt::CaseInsensitive) == 0;
        });
        if (hidden || !withoutRowid.step() || withoutRowid.columnInt(0) != 0)
            throw AppError(QStringLiteral("La table du fichier « %1 » n'a pas de numéros de ligne (rowid) : "
                                          "ce programme ne sait pas la lire.")
                               .arg(path));
    }
    connection->setCachedLayout(std::make_shared<const TableInfo>(info));
    return info;
}

QString foreignSchemaObject(const std::shared_ptr<SqliteConnection> &connection)
{
    SqliteStatement objects(connection, QStringLiteral("SELECT name FROM sqlite_master WHERE type NOT IN "
                                                       "('table', 'index') LIMIT 1"));
    StatementRun run(objects);
    return objects.step() ? objects.columnText(0) : QString();
}

void checkRequiredFields(const TableInfo &info, const QStringList &names, const QString &filePath)
{
    const QString start = QStringLiteral("La table « %1 » n'a pas la structure attendue : ").arg(filePath);
    if (int(info.columns.size()) < names.size())
        throw AppError(start
                       + QStringLiteral("elle a %1 champs au lieu d'au moins %2.")
                             .arg(info.columns.size())
                             .arg(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        if (QString::compare(info.columns[size_t(i)].name, names[i], Qt::CaseInsensitive) != 0)
            throw AppError(start
                           + QStringLiteral("le champ n° %1 est « %2 » au lieu de « %3 ».")
                                 .arg(i + 1)
                                 .arg(info.columns[size_t(i)].name, names[i]));
    }
}

QString findTableFile(const QString &path)
{
    const QFileInfo file(path);
    if (file.isFile())
        return file.absoluteFilePath();
    const QDir directory = file.absoluteDir();
    if (directory.exists()) {
        const QStringList entries = directory.entryList(QDir::Files | QDir::Hidden);
        for (const QString &entry : entries) {
            if (QString::compare(entry, file.fileName(), Qt::CaseInsensitive) == 0)
                return directory.filePath(entry);
        }
    }
    throw AppError(QStringLiteral("Table introuvable : %1").arg(path));
}
