// libFuzzer entry: every input is written out as a table (and its .MB file),
// read through the Paradox reader in both orders, then copied into SQLite as
// the helper program does for the program. A refusal is an AppError;
// anything else (a crash, a sanitizer report, a hang past -timeout) is a
// finding.
#include "data/error.h"
#include "paradox/paradox_conversion.h"
#include "paradox/paradox_table.h"
#include "data/progress.h"
#include "fuzz/fuzz_input.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
}

void readAll(ParadoxTable &table)
{
    for (table.first(); !table.eof(); table.next()) {
        for (int i = 0; i < table.fieldCount(); ++i) {
            table.fieldName(i);
            table.value(i);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/paradox_fuzz-XXXXXX"));
    static const QString table = dir.filePath(QStringLiteral("CARTES.DB"));
    static const QString pictures = dir.filePath(QStringLiteral("CARTES.MB"));
    static const QString copy = dir.filePath(QStringLiteral("COPIE.DB"));

    const FuzzFiles files = splitFuzzInput(reinterpret_cast<const char *>(data), size);
    writeFile(table, files.table);
    if (files.pictures.isEmpty())
        QFile::remove(pictures);
    else
        writeFile(pictures, files.pictures);

    tableFileFormat(table);
    ParadoxTable reader(table);
    try {
        reader.open();
        readAll(reader);
        reader.openUnordered();
        readAll(reader);
        reader.close();
        NoProgress progress;
        copyParadoxTable(table, copy, progress);
    } catch (const AppError &) {
    }
    return 0;
}
