#include "paradox/handed_table.h"

#include "data/error.h"
#include "paradox/paradox_reader_process.h"
#include "paradox/paradox_table.h"
#include "data/table.h"

#include <QDir>

std::unique_ptr<Dataset> openHandedTable(const QString &filePath)
{
    switch (tableFileFormat(filePath)) {
    case TableFileFormat::Paradox:
        return openParadoxCopy(filePath);
    case TableFileFormat::Sqlite: {
        auto table = std::make_unique<Table>();
        table->setTableName(filePath);
        table->setUntrusted(true);
        return table;
    }
    case TableFileFormat::Unknown:
        break;
    }
    throw AppError(QStringLiteral("Le fichier %1 n'est ni une table SQLite ni une table Paradox.")
                       .arg(QDir::toNativeSeparators(filePath)));
}
