#include "update/catalogue_update.h"

#include "data/card_table.h"
#include "data/database.h"
#include "data/dataset_guard.h"
#include "data/error.h"
#include "data/foreign_text.h"
#include "data/post_batch.h"
#include "data/query.h"
#include "data/session.h"
#include "data/sql_quote.h"
#include "paradox/handed_table.h"
#include "data/sqlite_connection.h"
#include "data/table_info.h"
#include "data/table.h"
#include "data/text_file.h"
#include "data/value_conversion.h"
#include "update/report_lines.h"

#include <QDir>

namespace {

constexpr int UpdateFieldCount = 14;  // Nom_français .. Cherche
constexpr int CatalogueFieldCount = 10; // Nom_français .. Type

using Key = QStringList; // Nom_français, Nom_anglais, Origine

// The printings of one (name, edition), for one of the two name fields. The
// key index (French names) and the engine's index on English names and
// editions make this a lookup, not a pass over the table. The query shares
// the table's connection, so it sees what the update posted before: a line
// renamed earlier is found under its new name by the lines after it.
QList<Key> printingsNamed(const Table &cards, int nameField, const QString &name, const QString &edition)
{
    Query keys;
    keys.sql() << QStringLiteral("SELECT Nom_français, Nom_anglais, Origine FROM")
               << sql::quoteDouble(cards.filePath())
               << QStringLiteral("WHERE ") + card::fieldNames().at(nameField) + QStringLiteral(" = ")
            + sql::quoteDouble(name) + QStringLiteral(" AND Origine = ") + sql::quoteDouble(edition);
    keys.open();
    DatasetGuard closeAfterwards(keys);
    QList<Key> found;
    for (; !keys.eof(); keys.next())
        found.append(Key{keys.field(0).asString(), keys.field(1).asString(), keys.field(2).asString()});
    return found;
}

[[noreturn]] void refusedLine(int number, const QString &fileName, const QString &line, const AppError &error)
{
    throw AppError(QStringLiteral("Ligne %1 du fichier %2 (« %3 ») : %4")
                       .arg(number)
                       .arg(QDir::toNativeSeparators(fileName), line, error.message()));
}

// Renames on one name field, Nom_français or Nom_anglais. A line renamed
// earlier in the file is found under its new name by the lines after it.
QStringList rename(Table &cards, const QStringList &lines, const QString &fileName, int nameField, bool reportFailures)
{
    QStringList report;
    if (lines.isEmpty())
        return report;
    PostBatch batch(cards, lines.size());
    for (int number = 1; number <= lines.size(); ++number) {
        const UpdateLine line = cutLine(lines[number - 1]);
        // A blank name is no name: it would take in every printing of the
        // edition that has none (all its lands, typically).
        const QList<Key> keys =
            line.a.isEmpty() ? QList<Key>() : printingsNamed(cards, nameField, line.a, line.c);
        if (keys.isEmpty() && reportFailures)
            report << report::renameFailed(line);
        for (int i = 0; i < keys.size(); ++i) {
            try {
                if (!cards.findKey(keys[i]))
                    continue;
                cards.edit();
                cards.field(nameField).setAsString(line.b);
                cards.post();
            } catch (const AppError &error) {
                // The update stops here; the batch keeps what was posted.
                cards.cancel();
                refusedLine(number, fileName, lines[number - 1], error);
            }
            batch.posted();
            report << report::renamed(line);
        }
    }
    batch.commit();
    return report;
}

// The new names of a rename file are plain text, checked before the first
// rename.
void checkNewNames(const QStringList &lines, const QString &fileName, int nameField)
{
    for (int number = 1; number <= lines.size(); ++number) {
        const QString fault =
            foreignTextFault(cutLine(lines[number - 1]).b, number, card::fieldNames().at(nameField));
        if (!fault.isEmpty())
            throw AppError(QStringLiteral("Le fichier de mise à jour « %1 » n'est pas appliqué : %2")
                               .arg(QDir::toNativeSeparators(fileName), fault));
    }
}

} // namespace

QStringList renameFrench(Table &cards, const QStringList &lines, const QString &fileName)
{
    return rename(cards, lines, fileName, card::NomFrancais, false);
}

QStringList renameEnglish(Table &cards, const QStringList &lines, const QString &fileName)
{
    return rename(cards, lines, fileName, card::NomAnglais, true);
}

QStringList deleteCards(Table &cards, const QStringList &lines, UpdateReports &reports)
{
    QStringList report;
    if (lines.isEmpty())
        return report;
    // Each card is reached through a cursor restricted to its key, so that
    // removing it does not read on through the rows that follow it. The
    // cursor shares the card table's connection and its transaction.
    Table byKey;
    byKey.setTableName(cards.filePath());
    byKey.setRequiredFields(card::fieldNames());
    byKey.openUnordered();
    DatasetGuard closeAfterwards(byKey);
    QStringList keyTests;
    for (int position = 0; position < card::KeyFieldCount; ++position)
        keyTests << quoteIdentifier(cards.fieldName(position)) + QStringLiteral(" = ?");
    const QString keyCondition = keyTests.join(QStringLiteral(" AND "));

    PostBatch batch(byKey, lines.size());
    for (const QString &text : lines) {
        const UpdateLine line = cutLine(text);
        byKey.setFilter(keyCondition, {line.a, line.b, line.c});
        if (byKey.eof())
            continue;
        const qint64 dispo = byKey.field(card::Dispo).asInteger();
        if (dispo > 0)
            reports.warn(report::deletionWarning(line, dispo));
        byKey.remove();
        batch.posted();
        report << report::deleted(line);
    }
    batch.commit();
    return report;
}

namespace {

// A table file holds one table and nothing else: triggers and views in a
// file from someone else have no business in an update, and are refused
// rather than merely switched off.
void refuseSchemaObjects(const QString &path)
{
    const std::shared_ptr<SqliteConnection> connection = Database::openUntrusted(findTableFile(path));
    const QString object = foreignSchemaObject(connection);
    if (!object.isEmpty())
        throw AppError(QStringLiteral("La table de mise à jour « %1 » contient un déclencheur ou une vue "
                                      "(« %2 ») : elle n'est pas importée.")
                           .arg(QDir::toNativeSeparators(connection->filePath()), object));
}

} // namespace

std::vector<QStringList> readUpdateTable(const QString &path, const Table &cards)
{
    // The set's files are named without regard to letter case: the table's
    // file is found once, and its header and its content read from it.
    const QString file = findTableFile(path);
    // An update set may carry its table as an SQLite file or as a Paradox
    // table; the entry point picks the reader by the file's header.
    if (tableFileFormat(file) != TableFileFormat::Paradox)
        refuseSchemaObjects(file);
    const std::unique_ptr<Dataset> handed = openHandedTable(file);
    Dataset &table = *handed;
    table.open();
    DatasetGuard closeAfterwards(table);
    const QString shownPath = QDir::toNativeSeparators(file);
    if (table.fieldCount() < UpdateFieldCount)
        throw AppError(QStringLiteral("La table de mise à jour « %1 » n'a que %2 champs : il en faut au moins %3.")
                           .arg(shownPath)
                           .arg(table.fieldCount())
                           .arg(UpdateFieldCount));
    std::vector<QStringList> records;
    for (; !table.eof(); table.next()) {
        const qint64 number = qint64(records.size()) + 1;
        QStringList record;
        for (int position = 0; position < UpdateFieldCount; ++position)
            record << table.field(position).asString();
        // Checked now, so that a value that is not plain text or that the
        // card table cannot hold stops the update before its first change.
        for (int position = 0; position < CatalogueFieldCount; ++position) {
            const QString fault = foreignTextFault(table.value(position), number, cards.fieldName(position));
            if (!fault.isEmpty())
                throw AppError(QStringLiteral("La table de mise à jour « %1 » n'est pas importée : %2")
                                   .arg(shownPath, fault));
            try {
                values::forColumn(record[position], cards.fieldKind(position));
            } catch (const AppError &error) {
                throw AppError(QStringLiteral("Enregistrement %1 de la table de mise à jour « %2 », champ %3 : %4")
                                   .arg(number)
                                   .arg(shownPath, cards.fieldName(position), error.message()));
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

QStringList importRecords(Table &cards, const std::vector<QStringList> &records, const UpdateOptions &options)
{
    QStringList report;
    PostBatch batch(cards, qint64(records.size()));
    for (const QStringList &record : records) {
        const bool found = cards.findKey(record.mid(0, card::KeyFieldCount));
        if (found) {
            cards.edit();
            const double oldPrice = cards.field(card::Cote).asFloat();
            // The key is the one just found: only the catalogue fields after
            // it change; the counts and the picture are the user's.
            for (int position = card::KeyFieldCount; position < CatalogueFieldCount; ++position)
                cards.field(position).setAsString(record[position]);
            const double newPrice = cards.field(card::Cote).asFloat();
            const QString name = cards.field(card::NomFrancais).asString();
            const QString edition = cards.field(card::Origine).asString();
            if (oldPrice != -1) {
                if (newPrice < oldPrice && options.devaluation)
                    report << report::priceDrop(name, edition, oldPrice, newPrice);
                else if (newPrice > oldPrice && options.reevaluation)
                    report << report::priceRise(name, edition, oldPrice, newPrice);
            }
        } else {
            cards.insert();
            for (int position = 0; position < CatalogueFieldCount; ++position)
                cards.field(position).setAsString(record[position]);
            const QString name = cards.field(card::NomFrancais).asString();
            if (options.apparition && !name.isEmpty())
                report << report::newCard(name, cards.field(card::Origine).asString(),
                                          cards.value(card::Cote));
            // Whatever the update table says, the user has none of a new card.
            for (int position : {card::Dispo, card::Utilise, card::Echangeable, card::Cherche})
                cards.field(position).setAsInteger(0);
        }
        cards.post();
        batch.posted();
    }
    batch.commit();
    return report;
}

namespace {

// The desktop file is a sign for the user that an import ran; it never
// stops one.
void leaveDesktopFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).absoluteDir().exists())
        return;
    try {
        writeLinesFile(path, {});
    } catch (const AppError &) {
    }
}

} // namespace

void applyUpdateSet(Session &session, QString chosenPath, const UpdateOptions &options, UpdateReports &reports)
{
    const QString base = textBaseName(chosenPath);
    const QString rnm = base + QStringLiteral(".RNM");
    const QString ang = base + QStringLiteral(".ANG");
    Table &cards = session.table;
    cards.close();
    // Only key lookups and posts: the table is read in its stored order.
    cards.openUnordered();
    DatasetGuard closeAfterwards(cards);

    // The whole set is read and checked before its first change: a set that
    // cannot be applied whole changes nothing.
    const QStringList frenchLines = readUpdateLines(rnm);
    checkNewNames(frenchLines, rnm, card::NomFrancais);
    const QStringList englishLines = readUpdateLines(ang);
    checkNewNames(englishLines, ang, card::NomAnglais);
    const QStringList deletions = readUpdateLines(base + QStringLiteral(".SUP"));
    const std::vector<QStringList> records =
        readUpdateTable(tableBaseName(chosenPath) + QStringLiteral(".DB"), cards);

    QStringList renamed = renameFrench(cards, frenchLines, rnm);
    renamed += renameEnglish(cards, englishLines, ang);
    reports.report(RenamedCaption, renamed);

    reports.report(DeletedCaption, deleteCards(cards, deletions, reports));

    leaveDesktopFile(options.desktopFile);
    const QStringList imported = importRecords(cards, records, options);
    cards.close();
    reports.report(ImportCaption, imported);
}
