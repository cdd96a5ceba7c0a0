#include "exchange/received_exchange.h"

#include "data/card_table.h"
#include "data/error.h"
#include "data/foreign_text.h"
#include "paradox/handed_table.h"
#include "data/query.h"
#include "data/session.h"
#include "data/table.h"
#include "exchange/narrowed_source.h"

#include <QDir>
#include <QHash>

#include <exception>

namespace exchange {

namespace {

// Far more than any catalogue: a file beyond them is not an exchange table.
constexpr int MaxRows = 1000000;

const QString NomFrancais = QStringLiteral("Nom_Français");
const QString Origine = QStringLiteral("Origine");
const QString Echangeable = QStringLiteral("Echangeable");
const QString Cherche = QStringLiteral("Cherche");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw AppError(QStringLiteral("Le fichier « %1 » n'est pas un fichier d'échanges lisible : %2")
                       .arg(shown(path), why));
}

// A name or an edition: text without control characters.
QString textOf(Dataset &table, int position, const QString &path, int row)
{
    const QString fault = foreignTextFault(table.value(position), row, table.fieldName(position));
    if (!fault.isEmpty())
        refuse(path, fault);
    return table.field(position).asString();
}

qint64 countOf(Dataset &table, int position, const QString &path, int row)
{
    try {
        return table.field(position).asInteger();
    } catch (const AppError &) {
        refuse(path, QStringLiteral("la ligne %1 n'a pas un nombre entier dans le champ %2.")
                         .arg(row)
                         .arg(table.fieldName(position)));
    }
}

QString key(const QString &name, const QString &edition)
{
    return name + QChar(0x1f) + edition;
}

QString plural(qint64 n, const QString &one, const QString &many)
{
    return n <= 1 ? one : many;
}

} // namespace

namespace {

// The lines of an exchange table, open on its first row.
ReceivedExchange readLines(Dataset &table, const QString &path)
{
    ReceivedExchange received;
    int positions[4];
    const QString names[4] = {NomFrancais, Origine, Echangeable, Cherche};
    for (int i = 0; i < 4; ++i) {
        positions[i] = table.fieldIndex(names[i]);
        if (positions[i] < 0)
            refuse(path, QStringLiteral("il lui manque le champ %1.").arg(names[i]));
    }
    int row = 0;
    for (; !table.eof(); table.next()) {
        if (++row > MaxRows)
            refuse(path, QStringLiteral("il contient plus de %1 lignes.").arg(MaxRows));
        const qint64 offered = countOf(table, positions[2], path, row);
        const qint64 wanted = countOf(table, positions[3], path, row);
        if (offered <= 0 && wanted <= 0)
            continue;
        ReceivedLine line;
        line.name = textOf(table, positions[0], path, row);
        line.edition = textOf(table, positions[1], path, row);
        if (offered > 0) {
            line.text = card::countedLine(line.name, offered, line.edition);
            received.offered.push_back(line);
        }
        if (wanted > 0) {
            line.text = card::cardLine(line.name, line.edition);
            received.wanted.push_back(line);
        }
    }
    return received;
}

} // namespace

ReceivedExchange readReceivedExchange(Table &table, const QString &path)
{
    table.close();
    // Another collector may send a Paradox table: the entry point for handed
    // table files reads it, the window's own component reads SQLite files.
    std::unique_ptr<Dataset> handed;
    Dataset *source = &table;
    try {
        if (tableFileFormat(path) == TableFileFormat::Paradox) {
            handed = openHandedTable(path);
            source = handed.get();
        } else {
            table.setTableName(path);
            table.setUntrusted(true);
            table.setRequiredFields({});
        }
        source->open();
    } catch (const AppError &e) {
        // The reader's message names the file already.
        throw AppError(QStringLiteral("Le fichier choisi n'est pas un fichier d'échanges lisible.\n%1").arg(e.message()));
    }
    try {
        ReceivedExchange received = readLines(*source, path);
        source->close();
        return received;
    } catch (...) {
        source->close();
        throw;
    }
}

void compareWithCollection(ReceivedExchange &received, Dataset &cardTable)
{
    struct Mine {
        qint64 owned = 0;
        qint64 offered = 0;
    };
    QHash<QString, Mine> mine;
    for (const ReceivedLine &line : received.offered)
        mine.insert(key(line.name, line.edition), {});
    for (const ReceivedLine &line : received.wanted)
        mine.insert(key(line.name, line.edition), {});

    if (!mine.isEmpty()) {
        // Sums, so the order of the rows does not matter.
        cardTable.close();
        cardTable.openUnordered();
        try {
            for (; !cardTable.eof(); cardTable.next()) {
                const auto found = mine.find(key(cardTable.field(card::NomFrancais).asString(),
                                                 cardTable.field(card::Origine).asString()));
                if (found == mine.end())
                    continue;
                found->owned += card::ownedCopies(cardTable);
                found->offered += cardTable.field(card::Echangeable).asInteger();
            }
        } catch (...) {
            cardTable.close();
            throw;
        }
        cardTable.close();
    }

    for (ReceivedLine &line : received.offered) {
        line.mine = mine.value(key(line.name, line.edition)).owned;
        line.standsOut = line.mine <= 0;
        line.toolTip = QStringLiteral("vous en avez %1").arg(line.mine);
    }
    for (ReceivedLine &line : received.wanted) {
        line.mine = mine.value(key(line.name, line.edition)).offered;
        line.standsOut = line.mine > 0;
        line.toolTip = QStringLiteral("vous pouvez en donner %1").arg(line.mine);
    }
}

void compareWithCollection(ReceivedExchange &received, Session &session)
{
    // A row with no copy owned or offered changes no count.
    Query holdings;
    narrowCardTable(holdings, session, false, QStringLiteral("Dispo > 0 OR Utilise > 0 OR Echangeable > 0"));
    compareWithCollection(received, holdings);
}

QString compareAndSummarise(ReceivedExchange &received, Session &session)
{
    QString why;
    try {
        compareWithCollection(received, session);
        return summaryLine(received);
    } catch (const AppError &e) {
        why = e.message();
    } catch (const std::exception &e) {
        why = QString::fromLocal8Bit(e.what());
    }
    // Marks of an earlier comparison no longer hold.
    for (auto *lines : {&received.offered, &received.wanted}) {
        for (ReceivedLine &line : *lines) {
            line.mine = 0;
            line.standsOut = false;
            line.toolTip.clear();
        }
    }
    const qint64 offered = qint64(received.offered.size());
    const qint64 wanted = qint64(received.wanted.size());
    return QStringLiteral("%1 %2 ; %3 %4. La comparaison avec votre collection n'a pas pu être faite : %5")
        .arg(offered)
        .arg(plural(offered, QStringLiteral("carte proposée"), QStringLiteral("cartes proposées")))
        .arg(wanted)
        .arg(plural(wanted, QStringLiteral("recherchée"), QStringLiteral("recherchées")))
        .arg(why);
}

QString summaryLine(const ReceivedExchange &received)
{
    const qint64 offered = qint64(received.offered.size());
    const qint64 wanted = qint64(received.wanted.size());
    qint64 missing = 0;
    qint64 givable = 0;
    for (const ReceivedLine &line : received.offered)
        missing += line.standsOut ? 1 : 0;
    for (const ReceivedLine &line : received.wanted)
        givable += line.standsOut ? 1 : 0;
    return QStringLiteral("%1 %2 dont %3 %4 ; %5 %6 dont %7 que vous pouvez donner")
        .arg(offered)
        .arg(plural(offered, QStringLiteral("carte proposée"), QStringLiteral("cartes proposées")))
        .arg(missing)
        .arg(plural(missing, QStringLiteral("vous manque"), QStringLiteral("vous manquent")))
        .arg(wanted)
        .arg(plural(wanted, QStringLiteral("recherchée"), QStringLiteral("recherchées")))
        .arg(givable);
}

} // namespace exchange
