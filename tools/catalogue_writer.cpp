#include "tools/catalogue_writer.h"

#include "data/card_table.h"
#include "data/error.h"
#include "data/sqlite_handles.h"

#include <QFile>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <system_error>

namespace {

QString engineMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

void execute(sqlite3 *db, const QString &sql, const QString &filePath)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString text = QString::fromUtf8(error ? error : "erreur inconnue");
        sqlite3_free(error);
        throw AppError(QStringLiteral("Impossible d'écrire la table %1 : %2").arg(filePath, text));
    }
}

// Key fields are never NULL, so an empty text is bound as text.
void bindText(sqlite3_stmt *statement, int index, const QString &value)
{
    const QByteArray bytes = value.toUtf8();
    sqlite3_bind_text(statement, index, bytes.isNull() ? "" : bytes.constData(), int(bytes.size()),
                      SQLITE_TRANSIENT);
}

// A blank number is NULL; a whole number stays an integer.
void bindNumber(sqlite3_stmt *statement, int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        sqlite3_bind_int64(statement, index, value.toLongLong());
        break;
    default:
        sqlite3_bind_double(statement, index, value.toDouble());
        break;
    }
}

void bindRow(sqlite3_stmt *statement, const CardRow &row)
{
    bindText(statement, card::NomFrancais + 1, row.nomFrancais);
    bindText(statement, card::NomAnglais + 1, row.nomAnglais);
    bindText(statement, card::Origine + 1, row.origine);
    bindText(statement, card::Rarete + 1, row.rarete);
    if (row.cote.isValid() && !row.cote.isNull())
        sqlite3_bind_double(statement, card::Cote + 1, row.cote.toDouble());
    else
        sqlite3_bind_null(statement, card::Cote + 1);
    bindText(statement, card::Couleur + 1, row.couleur);
    bindText(statement, card::Cout + 1, row.cout);
    bindNumber(statement, card::Force + 1, row.force);
    bindNumber(statement, card::Endurance + 1, row.endurance);
    bindText(statement, card::Type + 1, row.type);
    sqlite3_bind_int(statement, card::Dispo + 1, row.dispo);
    sqlite3_bind_int(statement, card::Utilise + 1, row.utilise);
    sqlite3_bind_int(statement, card::Echangeable + 1, row.echangeable);
    sqlite3_bind_int(statement, card::Cherche + 1, row.cherche);
    if (row.dessin.isEmpty())
        sqlite3_bind_null(statement, card::Dessin + 1);
    else
        sqlite3_bind_blob(statement, card::Dessin + 1, row.dessin.constData(), int(row.dessin.size()),
                          SQLITE_TRANSIENT);
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Removes the partly written file and its journal.
void discard(const QString &path)
{
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

void fillTable(const QString &path, const QString &filePath, const std::vector<CardRow> &rows,
               const QString &tableName)
{
    sqlite3 *raw = nullptr;
    const int opened = sqlite3_open_v2(path.toUtf8().constData(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    DatabaseHandle db(raw);
    if (opened != SQLITE_OK)
        throw AppError(QStringLiteral("Impossible de créer la table %1 : %2")
                           .arg(filePath, raw ? engineMessage(raw) : QStringLiteral("mémoire insuffisante")));

    // A table file is handed around on its own: no WAL beside it.
    execute(db.get(), QStringLiteral("PRAGMA journal_mode=DELETE"), filePath);
    execute(db.get(), card::createTableSql(tableName), filePath);
    execute(db.get(), QStringLiteral("BEGIN"), filePath);

    QString insert = QStringLiteral("INSERT INTO %1 VALUES (").arg(quoteIdentifier(tableName));
    for (int i = 0; i < card::FieldCount; ++i)
        insert += i == 0 ? QStringLiteral("?") : QStringLiteral(", ?");
    insert += QLatin1Char(')');

    sqlite3_stmt *rawStatement = nullptr;
    if (sqlite3_prepare_v2(db.get(), insert.toUtf8().constData(), -1, &rawStatement, nullptr) != SQLITE_OK)
        throw AppError(
            QStringLiteral("Impossible d'écrire la table %1 : %2").arg(filePath, engineMessage(db.get())));
    StatementHandle statement(rawStatement);

    for (const CardRow &row : rows) {
        bindRow(statement.get(), row);
        const int stepped = sqlite3_step(statement.get());
        if (stepped == SQLITE_CONSTRAINT
            && sqlite3_extended_errcode(db.get()) == SQLITE_CONSTRAINT_PRIMARYKEY) {
            throw AppError(QStringLiteral("La carte « %1 » / « %2 » de l'édition « %3 » figure deux "
                                          "fois dans la table %4.")
                               .arg(row.nomFrancais, row.nomAnglais, row.origine, filePath));
        }
        if (stepped != SQLITE_DONE)
            throw AppError(QStringLiteral("Impossible d'écrire la carte « %1 » (%2) dans la table %3 : %4")
                               .arg(row.nomFrancais, row.origine, filePath, engineMessage(db.get())));
        sqlite3_reset(statement.get());
    }
    statement.reset();
    // The index of English lookups, made once the rows are in (faster than
    // keeping it up to date row by row).
    execute(db.get(), card::lookupIndexSql(tableName), filePath);
    execute(db.get(), QStringLiteral("COMMIT"), filePath);

    if (sqlite3_close(db.release()) != SQLITE_OK)
        throw AppError(QStringLiteral("Impossible de fermer la table %1.").arg(filePath));
}

} // namespace

void writeCardTable(const QString &filePath, const std::vector<CardRow> &rows, const QString &tableName)
{
    // The rows go to a file beside the target, which then replaces it in one
    // rename: a failure leaves the old file (or none) and never half a table.
    const QString partial = filePath + QStringLiteral(".partiel");
    discard(partial);
    try {
        fillTable(partial, filePath, rows, tableName);
    } catch (...) {
        discard(partial);
        throw;
    }

    // Journals left by an earlier file of that name would be played back
    // into the new one when it is next opened.
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(filePath + QLatin1String(suffix));

    std::error_code error;
    std::filesystem::rename(std::filesystem::path(partial.toStdU16String()),
                            std::filesystem::path(filePath.toStdU16String()), error);
    if (error) {
        discard(partial);
        throw AppError(QStringLiteral("Impossible de remplacer la table %1 : %2")
                           .arg(filePath, QString::fromLocal8Bit(error.message())));
    }
}
