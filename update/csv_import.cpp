#include "update/csv_import.h"

#include "data/card_table.h"
#include "data/database.h"
#include "data/error.h"
#include "data/progress.h"
#include "data/sqlite_connection.h"
#include "data/table_info.h"
#include "data/value_conversion.h"
#include "update/csv_columns.h"

#include <QDir>
#include <QHash>

#include <utility>

namespace csvimport {

namespace {

constexpr int FieldCount = card::Cherche + 1; // Nom_français .. Cherche
constexpr std::array<int, 4> CountFields = {card::Dispo, card::Utilise, card::Echangeable, card::Cherche};

using NameAndEdition = std::pair<QString, QString>;

QString number(qint64 value)
{
    return QString::number(value);
}

} // namespace

struct CsvImport::Printing {
    qint64 rowid = -1; // -1 for a printing the import creates
    QString french, english, edition;
    std::array<qint64, 4> counts{};
};

struct CsvImport::Change {
    int printing = 0;
    int firstRow = 0; // the line that planned it
    std::array<qint64, 4> counts{};
    QVariant price;                    // null: the price stays
    std::vector<QVariant> createdRow;  // fields 0..13 of a printing to create
};

// The printings by name and edition, and by name alone for the lines that
// give no edition (made when first needed).
struct CsvImport::Index {
    QMultiHash<NameAndEdition, int> french, english;
    QMultiHash<QString, int> frenchOnly, englishOnly;
    bool namesOnly = false;

    void add(const Printing &printing, int position)
    {
        french.insert({printing.french, printing.edition}, position);
        english.insert({printing.english, printing.edition}, position);
        if (namesOnly) {
            frenchOnly.insert(printing.french, position);
            englishOnly.insert(printing.english, position);
        }
    }
};

CsvImport::CsvImport(const csv::Document &file, std::vector<int> columns, Options options)
    : m_file(file)
    , m_columns(std::move(columns))
    , m_options(options)
{
    m_columnOf.fill(-1);
    for (size_t column = 0; column < m_columns.size(); ++column) {
        const int field = m_columns[column];
        if (field >= 0 && field < FieldCount && m_columnOf[size_t(field)] < 0)
            m_columnOf[size_t(field)] = int(column);
    }
}

CsvImport::~CsvImport() = default;

void CsvImport::refuseValue(int row, int column, const QString &why) const
{
    throw AppError(QStringLiteral("Ligne %1, colonne %2 (« %3 ») : %4. Rien n'a été importé.")
                       .arg(m_file.lineNumber(row))
                       .arg(column + 1)
                       .arg(m_file.header.value(column), why));
}

qint64 CsvImport::countAt(int row, int column) const
{
    const QString text = m_file.field(row, column).trimmed();
    if (text.isEmpty())
        return 0;
    const std::optional<qint64> count = values::parseInteger(text);
    if (!count)
        refuseValue(row, column, QStringLiteral("« %1 » n'est pas un nombre entier").arg(text));
    if (*count < 0)
        refuseValue(row, column, QStringLiteral("le nombre %1 est négatif").arg(text));
    if (*count > MaxCount)
        refuseValue(row, column, QStringLiteral("le nombre %1 dépasse %2, le plus grand que la table garde")
                                     .arg(text, number(MaxCount)));
    return *count;
}

QVariant CsvImport::priceAt(int row, int column) const
{
    const QString text = m_file.field(row, column).trimmed();
    if (text.isEmpty())
        return QVariant();
    const std::optional<double> price = values::parseNumber(text);
    if (!price)
        refuseValue(row, column, QStringLiteral("la cote « %1 » n'est pas un nombre").arg(text));
    return *price;
}

void CsvImport::skip(int row, Outcome outcome, const QString &reason)
{
    m_summary.skipped.push_back({row, outcome, reason});
    switch (outcome) {
    case Outcome::NotFound:
        ++m_summary.notFound;
        break;
    case Outcome::Ambiguous:
        ++m_summary.ambiguous;
        break;
    case Outcome::Refused:
        ++m_summary.refused;
        break;
    }
}

void CsvImport::plan(const QString &cardTablePath, Progress &progress)
{
    if (m_columnOf[card::NomFrancais] < 0 && m_columnOf[card::NomAnglais] < 0)
        throw AppError(QStringLiteral("Aucune colonne ne donne le nom des cartes : choisissez la colonne du "
                                      "nom français (Nom_français) ou du nom anglais (Nom_anglais)."));
    m_cardTablePath = cardTablePath;
    m_printings.clear();
    m_changes.clear();
    m_summary = Summary();

    // The whole card table, whatever edition is selected: the key, the
    // counts and the row of each printing.
    {
        const std::shared_ptr<SqliteConnection> connection =
            Database::connect(cardTablePath, OpenMode::ReadOnly);
        const TableInfo info = readTableInfo(connection);
        checkRequiredFields(info, card::fieldNames(), connection->filePath());
        QStringList columns{QStringLiteral("rowid")};
        for (int field : {int(card::NomFrancais), int(card::NomAnglais), int(card::Origine)})
            columns << info.columns[size_t(field)].quoted;
        for (int field : CountFields)
            columns << info.columns[size_t(field)].quoted;
        SqliteStatement rows(connection, QStringLiteral("SELECT %1 FROM %2")
                                             .arg(columns.join(QStringLiteral(", ")), info.quotedName));
        StatementRun run(rows);
        while (rows.step()) {
            Printing printing;
            printing.rowid = rows.columnInteger(0);
            printing.french = rows.columnText(1);
            printing.english = rows.columnText(2);
            printing.edition = rows.columnText(3);
            for (size_t i = 0; i < CountFields.size(); ++i)
                printing.counts[i] = rows.columnInteger(int(4 + i));
            m_printings.push_back(std::move(printing));
        }
    }

    Index index;
    index.namesOnly = m_columnOf[card::Origine] < 0;
    if (!index.namesOnly) {
        // Lines with a blank edition match by name alone too.
        for (int row = 0; row < m_file.rowCount() && !index.namesOnly; ++row)
            index.namesOnly = m_file.field(row, m_columnOf[card::Origine]).isEmpty();
    }
    index.french.reserve(qsizetype(m_printings.size()));
    index.english.reserve(qsizetype(m_printings.size()));
    for (size_t position = 0; position < m_printings.size(); ++position)
        index.add(m_printings[position], int(position));
    m_changeOf.assign(m_printings.size(), -1);

    for (int row = 0; row < m_file.rowCount(); ++row) {
        planLine(row, index);
        progress.advance();
    }
    m_summary.lines = m_file.rowCount();
}

void CsvImport::planLine(int row, Index &index)
{
    // A line with more fields than the header has its columns shifted,
    // most often by a separator inside a field without quotes.
    const int fields = m_file.fieldCount(row);
    for (int column = int(m_file.header.size()); column < fields; ++column) {
        if (!m_file.field(row, column).trimmed().isEmpty()) {
            skip(row, Outcome::Refused,
                 QStringLiteral("la ligne a %1 champs et l'en-tête %2 colonnes (un séparateur dans un champ "
                                "sans guillemets ?)")
                     .arg(fields)
                     .arg(m_file.header.size()));
            return;
        }
    }

    // The values every applied line writes are checked on every line: a bad
    // one means a wrong column or a damaged file, and stops the import.
    std::array<std::optional<qint64>, 4> counts;
    for (size_t i = 0; i < CountFields.size(); ++i) {
        const int column = m_columnOf[size_t(CountFields[i])];
        if (column >= 0)
            counts[i] = countAt(row, column);
    }
    const int priceColumn = m_columnOf[card::Cote];
    const QVariant price = priceColumn >= 0 ? priceAt(row, priceColumn) : QVariant();

    const auto text = [&](int field) {
        const int column = m_columnOf[size_t(field)];
        return column >= 0 ? m_file.field(row, column) : QString();
    };
    const QString french = text(card::NomFrancais);
    const QString english = text(card::NomAnglais);
    const QString edition = text(card::Origine);
    if (french.isEmpty() && english.isEmpty()) {
        skip(row, Outcome::Refused, QStringLiteral("la ligne ne donne ni nom français ni nom anglais"));
        return;
    }

    // The printing: by French name, else by English name; several
    // printings under one name are told apart by the other name only.
    const bool byEdition = !edition.isEmpty();
    const auto candidates = [&](bool frenchName) {
        const QString &name = frenchName ? french : english;
        if (name.isEmpty())
            return QList<int>();
        QList<int> found = byEdition ? (frenchName ? index.french : index.english).values({name, edition})
                                     : (frenchName ? index.frenchOnly : index.englishOnly).values(name);
        const QString &other = frenchName ? english : french;
        if (found.size() > 1 && !other.isEmpty()) {
            QList<int> narrowed;
            for (int position : std::as_const(found)) {
                const Printing &printing = m_printings[size_t(position)];
                if ((frenchName ? printing.english : printing.french) == other)
                    narrowed << position;
            }
            if (!narrowed.isEmpty())
                found = narrowed;
        }
        return found;
    };
    QList<int> found = candidates(true);
    if (found.isEmpty()) {
        found = candidates(false);
        // A line that gives a French name the table does not know names
        // another printing than one known under another French name (the
        // French name is part of the key); only a printing the catalogue
        // knows without French name is found by its English name then.
        if (!french.isEmpty())
            found.removeIf([this](int position) { return !m_printings[size_t(position)].french.isEmpty(); });
    }
    if (found.size() > 1) {
        skip(row, Outcome::Ambiguous,
             byEdition ? QStringLiteral("%1 cartes de ce nom dans cette édition").arg(found.size())
                       : QStringLiteral("%1 cartes de ce nom : indiquez l'édition").arg(found.size()));
        return;
    }

    if (found.isEmpty()) {
        if (!m_options.createMissing) {
            skip(row, Outcome::NotFound,
                 byEdition ? QStringLiteral("aucune carte de ce nom dans cette édition")
                           : QStringLiteral("aucune carte de ce nom"));
            return;
        }
        if (!byEdition) {
            skip(row, Outcome::NotFound,
                 QStringLiteral("aucune carte de ce nom, et sans édition elle ne peut pas être créée"));
            return;
        }
        // A new printing: its fields from the line or empty, each checked
        // against the kind of its field and the length of the texts.
        std::vector<QVariant> created(FieldCount);
        for (int field = 0; field < FieldCount; ++field) {
            QString value = text(field);
            if (value.isNull())
                value = QStringLiteral(""); // a blank text, never NULL (the key fields refuse it)
            const bool numeric = field == card::Cote || field == card::Force || field == card::Endurance;
            if (field == card::Cote) {
                created[size_t(field)] = price;
            } else if (numeric) {
                if (!value.trimmed().isEmpty()) {
                    const std::optional<double> parsed = values::parseNumber(value);
                    if (!parsed) {
                        skip(row, Outcome::Refused,
                             QStringLiteral("carte absente, non créée : %1 « %2 » n'est pas un nombre")
                                 .arg(card::fieldNames().at(field), value));
                        return;
                    }
                    created[size_t(field)] = *parsed;
                }
            } else if (field < card::Dispo) {
                if (value.size() > MaxTextLength) {
                    skip(row, Outcome::Refused,
                         QStringLiteral("carte absente, non créée : %1 a %2 caractères, %3 au plus")
                             .arg(card::fieldNames().at(field))
                             .arg(value.size())
                             .arg(MaxTextLength));
                    return;
                }
                created[size_t(field)] = value;
            }
        }
        Printing printing;
        printing.french = french;
        printing.english = english;
        printing.edition = edition;
        const int position = int(m_printings.size());
        m_printings.push_back(printing);
        m_changeOf.push_back(-1);
        index.add(m_printings.back(), position);
        found << position;
        Change change;
        change.printing = position;
        change.firstRow = row;
        change.createdRow = std::move(created);
        m_changeOf[size_t(position)] = int(m_changes.size());
        m_changes.push_back(std::move(change));
        ++m_summary.created;
    } else if (m_changeOf[size_t(found[0])] < 0) {
        Change change;
        change.printing = found[0];
        change.firstRow = row;
        change.counts = m_printings[size_t(found[0])].counts;
        m_changeOf[size_t(found[0])] = int(m_changes.size());
        m_changes.push_back(std::move(change));
        ++m_summary.updated;
    } else if (!m_options.addCounts) {
        const Change &earlier = m_changes[size_t(m_changeOf[size_t(found[0])])];
        skip(row, Outcome::Refused,
             QStringLiteral("la même carte est déjà à la ligne %1 (une seule ligne par carte quand les nombres "
                            "remplacent ceux de la table)")
                 .arg(m_file.lineNumber(earlier.firstRow)));
        return;
    } else {
        // Another line for the same printing adds its counts as well.
        ++m_summary.updated;
    }

    Change &change = m_changes[size_t(m_changeOf[size_t(found[0])])];
    const bool fresh = !change.createdRow.empty() && change.firstRow == row;
    for (size_t i = 0; i < CountFields.size(); ++i) {
        if (!counts[i])
            continue;
        qint64 &count = change.counts[i];
        if (!m_options.addCounts || fresh) {
            count = *counts[i];
        } else if (count > MaxCount - *counts[i]) {
            refuseValue(row, m_columnOf[size_t(CountFields[i])],
                        QStringLiteral("avec les %1 déjà comptés, le nombre dépasse %2, le plus grand que la "
                                       "table garde")
                            .arg(number(count), number(MaxCount)));
        } else {
            count += *counts[i];
        }
    }
    if (price.isValid())
        change.price = price;
}

void CsvImport::apply(Progress &progress)
{
    if (m_changes.empty())
        return;
    const std::shared_ptr<SqliteConnection> connection = Database::connect(m_cardTablePath, OpenMode::Writable);
    const TableInfo info = readTableInfo(connection);
    const auto column = [&](int field) { return info.columns[size_t(field)].quoted; };

    // Only the counts the file gives, and its price when the line has one.
    QStringList sets;
    std::vector<size_t> givenCounts;
    for (size_t i = 0; i < CountFields.size(); ++i) {
        if (m_columnOf[size_t(CountFields[i])] >= 0) {
            givenCounts.push_back(i);
            sets << column(CountFields[i]) + QStringLiteral(" = ?");
        }
    }
    const bool givenPrice = m_columnOf[card::Cote] >= 0;
    if (givenPrice)
        sets << column(card::Cote) + QStringLiteral(" = COALESCE(?, ") + column(card::Cote) + QLatin1Char(')');
    QStringList names, marks;
    for (int field = 0; field < FieldCount; ++field) {
        names << column(field);
        marks << QStringLiteral("?");
    }

    connection->exec(QStringLiteral("SAVEPOINT import_csv"));
    try {
        std::unique_ptr<SqliteStatement> update;
        if (!sets.isEmpty())
            update = std::make_unique<SqliteStatement>(
                connection, QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                .arg(info.quotedName, sets.join(QStringLiteral(", "))));
        SqliteStatement insert(connection, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                               .arg(info.quotedName, names.join(QStringLiteral(", ")),
                                                    marks.join(QStringLiteral(", "))));
        for (const Change &change : m_changes) {
            if (!change.createdRow.empty()) {
                std::vector<QVariant> row = change.createdRow;
                for (size_t i = 0; i < CountFields.size(); ++i)
                    row[size_t(CountFields[i])] = change.counts[i];
                if (change.price.isValid())
                    row[card::Cote] = change.price;
                for (int field = 0; field < FieldCount; ++field)
                    insert.bind(field + 1, row[size_t(field)]);
                StatementRun run(insert);
                insert.step();
            } else if (update) {
                int bindIndex = 1;
                for (size_t i : givenCounts)
                    update->bind(bindIndex++, change.counts[i]);
                if (givenPrice)
                    update->bind(bindIndex++, change.price);
                update->bind(bindIndex, m_printings[size_t(change.printing)].rowid);
                StatementRun run(*update);
                update->step();
            }
            progress.advance();
        }
        connection->exec(QStringLiteral("RELEASE import_csv"));
    } catch (...) {
        try {
            connection->exec(QStringLiteral("ROLLBACK TO import_csv"));
            connection->exec(QStringLiteral("RELEASE import_csv"));
        } catch (...) {
            // The write's own error is the one to show.
        }
        throw;
    }
}

Summary importCsv(const csv::Document &file, const std::vector<int> &columns, const Options &options,
                  const QString &cardTablePath, Progress &progress)
{
    CsvImport import(file, columns, options);
    import.plan(cardTablePath, progress);
    import.apply(progress);
    return import.summary();
}

} // namespace csvimport
