// tabrix-bench DIR OPERATION...
// Runs named operations headless on the table files of DIR, through the same
// code as the menu commands, and prints "<operation> <seconds> s" for each.
#include "analysis/analysis_matrix.h"
#include "analysis/classification.h"
#include "analysis/completion.h"
#include "analysis/valuation.h"
#include "app/counts_reset.h"
#include "app/multiples.h"
#include "data/progress.h"
#include "data/session.h"
#include "app/startup.h"
#include "data/backup.h"
#include "collection/card_lookup.h"
#include "collection/inventory.h"
#include "collection/used_cards.h"
#include "collection/trecherche_de_cartes.h"
#include "ui/windows.h"
#include "data/card_table.h"
#include "data/error.h"
#include "paradox/paradox_reader_process.h"
#include "data/table.h"
#include "exchange/exchange_table.h"
#include "exchange/received_exchange.h"
#include "exchange/threshold.h"
#include "ui/dialogs.h"
#include "data/dataset_guard.h"
#include "search/result_model.h"
#include "search/search_criteria.h"
#include "tools/paradox_writer.h"
#include "tools/update_set_writer.h"
#include "update/catalogue_update.h"
#include "update/csv_columns.h"
#include "update/csv_import.h"
#include "data/csv_file.h"
#include "data/csv_reader.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: tabrix-bench DIR OPERATION...\n"
                 "operations: reset startup valuation inventory multiples analysis\n"
                 "            classification used search update threshold exchange viewer keys\n"
                 "            lookup backup paradox csvimport completion\n");
    return 2;
}

// Nobody is there to answer a box: its text goes to stderr, a question is
// answered Yes (the benchmark runs what it was asked to) and a file dialog
// is cancelled.
class BenchDialogs : public Dialogs
{
public:
    Answer ask(QWidget *, const QString &text, int) override
    {
        print(text);
        return Answer::Yes;
    }
    void inform(QWidget *, const QString &text, int, const QString &) override { print(text); }
    void error(QWidget *, const QString &text) override { print(text); }
    QString openFile(QWidget *, const QString &, const QString &, int) override { return QString(); }
    QString saveFile(QWidget *, const QString &, const QString &, int) override { return QString(); }

private:
    static void print(const QString &text) { std::fprintf(stderr, "%s\n", qPrintable(text)); }
};

// Card entry lookups as the window runs them on each keystroke: 1000 French
// and 1000 English card lines spread over the table, each looked up once;
// prints the time per lookup of each language.
void lookups(Session &session)
{
    constexpr int Lookups = 1000;
    std::vector<QString> french, english;
    Table &table = session.table;
    table.close();
    table.openUnordered();
    const int step = qMax(1, table.recordCount() / Lookups);
    for (int row = 0; !table.eof() && int(french.size()) < Lookups; table.next(), ++row) {
        if (row % step != 0)
            continue;
        const QString edition = table.field(card::Origine).asString();
        french.push_back(card::cardLine(table.field(card::NomFrancais).asString(), edition));
        english.push_back(card::cardLine(table.field(card::NomAnglais).asString(), edition));
    }
    table.close();
    const auto run = [&](const char *language, const std::vector<QString> &lines, auto lookup) {
        QElapsedTimer timer;
        timer.start();
        int found = 0;
        for (const QString &line : lines)
            found += lookup(session.query1, line).has_value() ? 1 : 0;
        const double perLookup = lines.empty() ? 0 : timer.nsecsElapsed() / 1e6 / double(lines.size());
        std::printf("lookup %s %.3f ms per lookup (%d of %d found)\n", language, perLookup, found,
                    int(lines.size()));
    };
    run("french", french, lookupFrench);
    run("english", english, lookupEnglish);
}

// Types lines spread over the French (or English) box of the card entry
// window key by key, as the user does: each key looks the text up and
// refreshes the completion popup. Prints the mean and the slowest key.
void typeLines(const char *name, const char *box)
{
    auto *entry = windows().rechercheDeCartes;
    auto *combo = entry->findChild<QComboBox *>(QLatin1String(box));
    entry->show();
    combo->setFocus();
    constexpr int Lines = 20;
    qint64 keys = 0, total = 0, slowest = 0;
    for (int i = 0; i < Lines && combo->count() > 0; ++i) {
        const QString line = combo->itemText(int(qint64(i) * combo->count() / Lines));
        combo->lineEdit()->clear();
        for (const QChar c : line) {
            QElapsedTimer key;
            key.start();
            combo->lineEdit()->insert(QString(c));
            QCoreApplication::processEvents();
            const qint64 ns = key.nsecsElapsed();
            ++keys;
            total += ns;
            slowest = qMax(slowest, ns);
        }
    }
    std::printf("%s: %lld keys, mean %.2f ms, slowest %.2f ms\n", name, keys, keys ? total / 1e6 / keys : 0.0,
                slowest / 1e6);
    entry->hide();
}

// A collection file as a spreadsheet keeps it: every printing of the card
// table with one more copy available, and one new printing in ten.
void writeCollectionCsv(const QString &cardTable, const QString &path)
{
    Table cards;
    cards.setTableName(cardTable);
    cards.openUnordered();
    DatasetGuard closeAfterwards(cards);
    csv::Rows rows{{QStringLiteral("Nom Français"), QStringLiteral("Nom anglais"), QStringLiteral("Origine"),
                    QStringLiteral("Dispo"), QStringLiteral("Utilise"), QStringLiteral("Echangeable"),
                    QStringLiteral("Cherche")}};
    for (int row = 0; !cards.eof(); cards.next(), ++row) {
        QStringList line{cards.field(card::NomFrancais).asString(), cards.field(card::NomAnglais).asString(),
                         cards.field(card::Origine).asString()};
        line << QString::number(cards.field(card::Dispo).asInteger() + 1);
        for (int count : {card::Utilise, card::Echangeable, card::Cherche})
            line << cards.field(count).asString();
        rows << line;
        if (row % 10 == 9)
            rows << QStringList{line[0] + QStringLiteral(" (nouvelle)"), line[1], line[2], QStringLiteral("1"),
                                QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    }
    csv::writeFile(path, rows);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchDialogs benchDialogs;
    setDialogs(&benchDialogs);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2)
        return usage();
    const QString dir = QDir(args.first()).absolutePath();

    Session session;
    session.setDatabaseDirectory(dir);
    QTemporaryDir scratch;
    NoProgress noProgress;

    // The update applies a set of 10,000 records (half new, half re-priced),
    // 1,000 renames of each kind and 1,000 deletions, written beforehand.
    struct NoReports : UpdateReports {
        void report(const QString &, const QStringList &) override {}
        void warn(const QString &) override {}
    } noReports;
    const QString updateSet = scratch.filePath(QStringLiteral("SERIE"));
    if (args.mid(1).contains(QStringLiteral("update"))) {
        try {
            writeUpdateSet(QDir(dir).filePath(QStringLiteral("CARTES.DB")), updateSet, 10000);
        } catch (const AppError &e) {
            std::fprintf(stderr, "update: %s\n", qPrintable(e.message()));
            return 1;
        }
    }

    // The conversion reads a Paradox table of the rows of DIR/CARTES.DB (its
    // pictures left out), written by pxlib beforehand.
    const QString paradoxTable = scratch.filePath(QStringLiteral("PARADOX.DB"));
    if (args.mid(1).contains(QStringLiteral("paradox"))) {
        try {
            Table cards;
            cards.setTableName(QDir(dir).filePath(card::TableFile));
            cards.open();
            DatasetGuard closeAfterwards(cards);
            std::vector<std::vector<QVariant>> rows;
            for (; !cards.eof(); cards.next()) {
                std::vector<QVariant> row;
                for (int i = 0; i < card::Dessin; ++i)
                    row.push_back(cards.value(i));
                rows.push_back(std::move(row));
            }
            writeParadoxTable(paradoxTable, paradoxCardFields(), rows, 850, card::KeyFieldCount, false);
        } catch (const AppError &e) {
            std::fprintf(stderr, "paradox: %s\n", qPrintable(e.message()));
            return 1;
        }
    }

    // The CSV import reads a file of every printing of DIR with new counts,
    // and one new printing in ten, written beforehand.
    const QString csvFile = scratch.filePath(QStringLiteral("collection.csv"));
    if (args.mid(1).contains(QStringLiteral("csvimport"))) {
        try {
            writeCollectionCsv(QDir(dir).filePath(card::TableFile), csvFile);
        } catch (const AppError &e) {
            std::fprintf(stderr, "csvimport: %s\n", qPrintable(e.message()));
            return 1;
        }
    }

    // The whole program started on DIR, without a configuration file.
    const auto startOnDir = [&] {
        StartupOptions options = defaultStartupOptions();
        options.configurationFile = scratch.filePath(QStringLiteral("absent.ini"));
        options.defaultDirectory = dir;
        if (startUp(options) != 0)
            throw AppError(QStringLiteral("Le démarrage a échoué."));
    };
    const std::map<QString, std::function<void()>> operations = {
        {QStringLiteral("reset"), [&] { resetAllCounts(session, noProgress); }},
        {QStringLiteral("startup"),
         [&] {
             startOnDir();
             shutDown();
         }},
        {QStringLiteral("keys"),
         [&] {
             startOnDir();
             typeLines("keys-french", "ComboBox1");
             typeLines("keys-english", "ComboBox2");
             shutDown();
         }},
        {QStringLiteral("valuation"), [&] { evaluateCollection(session.cardSource()); }},
        {QStringLiteral("inventory"),
         [&] {
             InventoryCriteria allOfGreen;
             fillInventory(session.cardSource(), allOfGreen,
                           scratch.filePath(QStringLiteral("FICHIER.TXT")));
         }},
        {QStringLiteral("multiples"), [&] { multiplesLines(session.cardSource(), 2); }},
        {QStringLiteral("analysis"), [&] { analyseCollection(session.cardSource(), noProgress); }},
        // Completion by edition always counts the whole card table.
        {QStringLiteral("completion"), [&] { completionByEdition(session.table); }},
        {QStringLiteral("classification"),
         [&] {
             writeClassificationFile(session.query1, scratch.filePath(QStringLiteral("classement.txt")));
         }},
        {QStringLiteral("used"), [&] { usedCardsLists(session.query1, noProgress); }},
        {QStringLiteral("exchange"), [&] { exchange::writeSessionExchangeTable(session); }},
        // Reads the table the exchange operation wrote, as the viewer does.
        {QStringLiteral("viewer"),
         [&] {
             exchange::ReceivedExchange received =
                 exchange::readReceivedExchange(session.tableEchange, exchange::exchangeTablePath(session));
             exchange::compareWithCollection(received, session);
         }},
        // One copy of the card table into DIR/sauvegardes, as made before a
        // whole-table command.
        {QStringLiteral("backup"),
         [&] { backup::makeBackup(QDir(dir).filePath(QStringLiteral("CARTES.DB")), backup::ResetCounts); }},
        {QStringLiteral("threshold"), [&] { threshold::runOnCardSource(session, 5, false, noProgress); }},
        {QStringLiteral("update"),
         [&] { applyUpdateSet(session, updateSet + QStringLiteral(".maj"), UpdateOptions(), noReports); }},
        {QStringLiteral("search"),
         [&] {
             // Red or green dragons of every rarity, read to the last row
             // through the result grid's model.
             SearchCriteria dragons;
             dragons.francais = QStringLiteral("dragon");
             dragons.rouge = true;
             dragons.vert = true;
             Query query(&session.database1);
             query.sql() = searchStatement(dragons);
             query.open();
             DatasetGuard closeAfterwards(query);
             SearchResultModel grid(query);
             grid.fetchAll();
         }},
        {QStringLiteral("lookup"), [&] { lookups(session); }},
        // "Importer un fichier CSV…" with "Créer les cartes absentes du
        // catalogue" on: reading, column guessing, matching and writing.
        {QStringLiteral("csvimport"),
         [&] {
             const csv::Document file = csv::readFile(csvFile);
             csvimport::Options create;
             create.createMissing = true;
             csvimport::importCsv(file, csvimport::guessColumns(file.header), create, session.cardTablePath(),
                                  noProgress);
         }},
        {QStringLiteral("paradox"),
         [&] {
             // As the program converts at start-up: apart, in tabrix-makedb.
             runParadoxReader({QStringLiteral("--from-paradox"), paradoxTable, scratch.path()}, paradoxTable,
                              noProgress);
         }},
    };

    for (const QString &name : args.mid(1)) {
        const auto operation = operations.find(name);
        if (operation == operations.end())
            return usage();
        QElapsedTimer timer;
        timer.start();
        try {
            operation->second();
        } catch (const AppError &e) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(name), qPrintable(e.message()));
            return 1;
        }
        std::printf("%s %.3f s\n", qPrintable(name), timer.nsecsElapsed() / 1e9);
        std::fflush(stdout);
    }
    return 0;
}
