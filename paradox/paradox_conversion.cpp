#include "paradox/paradox_conversion.h"

#include "data/card_table.h"
#include "data/error.h"
#include "paradox/paradox_table.h"
#include "data/progress.h"
#include "data/sql_quote.h"
#include "data/sqlite_handles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <system_error>

namespace {

// What the written file must hold again when read back.
struct Totals {
    qint64 rows = 0;
    qint64 dispo = 0;
    qint64 utilise = 0;
    qint64 pictures = 0;
    bool operator==(const Totals &) const = default;
};

class Writer
{
public:
    Writer(const QString &path, const QString &target) : m_target(target)
    {
        sqlite3 *raw = nullptr;
        const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw,
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        m_db.reset(raw);
        if (opened != SQLITE_OK)
            fail();
    }
    void execute(const QString &sql)
    {
        if (sqlite3_exec(m_db.get(), sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }
    sqlite3_stmt *prepare(const QString &sql)
    {
        sqlite3_stmt *raw = nullptr;
        if (sqlite3_prepare_v2(m_db.get(), sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK)
            fail();
        return raw;
    }
    [[noreturn]] void fail() const
    {
        throw AppError(QStringLiteral("Impossible d'écrire la table %1 : %2")
                           .arg(QDir::toNativeSeparators(m_target),
                                m_db ? QString::fromUtf8(sqlite3_errmsg(m_db.get()))
                                     : QStringLiteral("mémoire insuffisante")));
    }
    void close()
    {
        if (sqlite3_close(m_db.release()) != SQLITE_OK)
            throw AppError(QStringLiteral("Impossible de fermer la table %1.").arg(QDir::toNativeSeparators(m_target)));
    }
    sqlite3 *db() const { return m_db.get(); }

private:
    QString m_target;
    DatabaseHandle m_db;
};

// Binds a value the Paradox reader gave by its type: none as NULL, integers,
// numbers, bytes as a blob, anything else as text.
void bindValue(sqlite3_stmt *statement, int index, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        sqlite3_bind_null(statement, index);
        break;
    case QMetaType::LongLong:
        sqlite3_bind_int64(statement, index, value.toLongLong());
        break;
    case QMetaType::Double:
        sqlite3_bind_double(statement, index, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
    }
}

// Binds one field of the Paradox row by its kind in the card layout: key and
// other text fields as text (blank key fields as the empty text), numbers as
// numbers or NULL, the picture as a blob or NULL.
void bindField(sqlite3_stmt *statement, Dataset &row, int position)
{
    const int index = position + 1;
    const QVariant value = row.value(position);
    if (position == card::Dessin) {
        const QByteArray bytes = value.toByteArray();
        bindValue(statement, index, bytes.isEmpty() ? QVariant() : QVariant(bytes));
    } else if (value.isNull() && position >= card::KeyFieldCount) {
        sqlite3_bind_null(statement, index);
    } else {
        const bool number = value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double;
        bindValue(statement, index, number ? value : QVariant(value.toString()));
    }
}

Totals writeRows(ParadoxTable &source, const QString &path, const QString &target, Progress &progress)
{
    Writer writer(path, target);
    // The card table is one file on its own: no WAL beside it.
    writer.execute(QStringLiteral("PRAGMA journal_mode=DELETE"));
    writer.execute(card::createTableSql(QStringLiteral("CARTES")));
    writer.execute(QStringLiteral("BEGIN"));
    QString insert = QStringLiteral("INSERT INTO \"CARTES\" VALUES (?");
    for (int i = 1; i < card::FieldCount; ++i)
        insert += QStringLiteral(", ?");
    insert += QLatin1Char(')');
    StatementHandle statement(writer.prepare(insert));

    Totals totals;
    progress.setMaximum(source.recordCount());
    progress.show();
    for (source.first(); !source.eof(); source.next()) {
        for (int i = 0; i < card::FieldCount; ++i)
            bindField(statement.get(), source, i);
        const int stepped = sqlite3_step(statement.get());
        if (stepped == SQLITE_CONSTRAINT)
            throw AppError(QStringLiteral("La carte « %1 » / « %2 » de l'édition « %3 » figure deux fois "
                                          "dans la table %4.")
                               .arg(source.textAt(card::NomFrancais), source.textAt(card::NomAnglais),
                                    source.textAt(card::Origine), QDir::toNativeSeparators(source.filePath())));
        if (stepped != SQLITE_DONE)
            writer.fail();
        sqlite3_reset(statement.get());
        ++totals.rows;
        totals.dispo += source.integerAt(card::Dispo);
        totals.utilise += source.integerAt(card::Utilise);
        totals.pictures += source.value(card::Dessin).toByteArray().isEmpty() ? 0 : 1;
        progress.advance();
    }
    progress.hide();
    statement.reset();
    writer.execute(card::lookupIndexSql(QStringLiteral("CARTES")));
    writer.execute(QStringLiteral("COMMIT"));
    writer.close();
    return totals;
}

// The written file read back by the engine, sound and with the same totals.
Totals readBack(const QString &path, const QString &target)
{
    Writer reader(path, target);
    StatementHandle check(reader.prepare(QStringLiteral("PRAGMA integrity_check")));
    if (sqlite3_step(check.get()) != SQLITE_ROW
        || qstrcmp(reinterpret_cast<const char *>(sqlite3_column_text(check.get(), 0)), "ok") != 0)
        reader.fail();
    StatementHandle sums(reader.prepare(QStringLiteral(
        "SELECT count(*), total(\"Dispo\"), total(\"Utilise\"), count(\"Dessin\") FROM \"CARTES\"")));
    if (sqlite3_step(sums.get()) != SQLITE_ROW)
        reader.fail();
    Totals totals;
    totals.rows = sqlite3_column_int64(sums.get(), 0);
    totals.dispo = qint64(sqlite3_column_double(sums.get(), 1));
    totals.utilise = qint64(sqlite3_column_double(sums.get(), 2));
    totals.pictures = sqlite3_column_int64(sums.get(), 3);
    return totals;
}

void discard(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

} // namespace

int convertParadoxCardTable(const QString &paradoxPath, const QString &targetPath, Progress &progress)
{
    ParadoxTable source(paradoxPath);
    source.open();
    const QStringList &names = card::fieldNames();
    bool sameLayout = source.fieldCount() == card::FieldCount;
    for (int i = 0; sameLayout && i < card::FieldCount; ++i)
        sameLayout = source.fieldIndex(names[i]) == i;
    if (!sameLayout)
        throw AppError(QStringLiteral("La table Paradox %1 n'a pas les champs de la table des cartes.")
                           .arg(QDir::toNativeSeparators(paradoxPath)));

    // Converting a table in place keeps the original, untouched, beside it.
    QString keptOriginal;
    if (QFileInfo(paradoxPath).canonicalFilePath() == QFileInfo(targetPath).canonicalFilePath()) {
        const QString original = targetPath + QStringLiteral(".paradox");
        if (QFileInfo::exists(original))
            throw AppError(QStringLiteral("Le fichier %1 existe déjà : la table Paradox n'est pas convertie.")
                               .arg(QDir::toNativeSeparators(original)));
        if (!QFile::copy(paradoxPath, original))
            throw AppError(QStringLiteral("Impossible de garder la table Paradox dans %1.")
                               .arg(QDir::toNativeSeparators(original)));
        keptOriginal = original;
    }

    const QString partial = targetPath + QStringLiteral(".partiel");
    discard(partial);
    Totals written;
    try {
        written = writeRows(source, partial, targetPath, progress);
        source.close();
        if (!(readBack(partial, targetPath) == written))
            throw AppError(QStringLiteral("La table %1 relue ne contient pas les cartes écrites.")
                               .arg(QDir::toNativeSeparators(targetPath)));
    } catch (...) {
        progress.hide();
        discard(partial);
        if (!keptOriginal.isEmpty())
            QFile::remove(keptOriginal);
        throw;
    }
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(targetPath + QLatin1String(suffix));
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(partial.toStdU16String()),
                            std::filesystem::path(targetPath.toStdU16String()), error);
    if (error) {
        discard(partial);
        if (!keptOriginal.isEmpty())
            QFile::remove(keptOriginal);
        throw AppError(QStringLiteral("Impossible de remplacer la table %1 : %2")
                           .arg(QDir::toNativeSeparators(targetPath), QString::fromLocal8Bit(error.message())));
    }
    return int(written.rows);
}

int copyParadoxTable(const QString &paradoxPath, const QString &sqlitePath, Progress &progress)
{
    ParadoxTable source(paradoxPath);
    source.open();
    QStringList columns;
    for (int i = 0; i < source.fieldCount(); ++i) {
        const char *type = "TEXT";
        switch (source.fieldKind(i)) {
        case Dataset::Kind::Integer: type = "INTEGER"; break;
        case Dataset::Kind::Float: type = "REAL"; break;
        case Dataset::Kind::Blob: type = "BLOB"; break;
        case Dataset::Kind::Text: break;
        }
        columns << sql::quoteDouble(source.fieldName(i)) + QLatin1Char(' ') + QLatin1String(type);
    }
    discard(sqlitePath);
    try {
        Writer writer(sqlitePath, paradoxPath);
        writer.execute(QStringLiteral("PRAGMA journal_mode=OFF"));
        writer.execute(QStringLiteral("CREATE TABLE %1 (%2)")
                           .arg(sql::quoteDouble(QFileInfo(paradoxPath).completeBaseName()),
                                columns.join(QStringLiteral(", "))));
        writer.execute(QStringLiteral("BEGIN"));
        QStringList marks;
        for (int i = 0; i < source.fieldCount(); ++i)
            marks << QStringLiteral("?");
        StatementHandle insert(writer.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                                                  .arg(sql::quoteDouble(QFileInfo(paradoxPath).completeBaseName()),
                                                       marks.join(QStringLiteral(", ")))));
        progress.setMaximum(source.recordCount());
        progress.show();
        int rows = 0;
        // No key: rows are read back in the order written, the table's key order.
        for (source.first(); !source.eof(); source.next()) {
            for (int i = 0; i < source.fieldCount(); ++i)
                bindValue(insert.get(), i + 1, source.value(i));
            if (sqlite3_step(insert.get()) != SQLITE_DONE)
                writer.fail();
            sqlite3_reset(insert.get());
            ++rows;
            progress.advance();
        }
        insert.reset();
        writer.execute(QStringLiteral("COMMIT"));
        writer.close();
        progress.hide();
        return rows;
    } catch (...) {
        progress.hide();
        discard(sqlitePath);
        throw;
    }
}
