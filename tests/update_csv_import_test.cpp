#include "app/counts_reset.h"
#include "data/card_table.h"
#include "data/csv_file.h"
#include "data/csv_reader.h"
#include "data/database.h"
#include "data/progress.h"
#include "data/query.h"
#include "data/session.h"
#include "data/sqlite_connection.h"
#include "search/result_model.h"
#include "search/search_criteria.h"
#include "tests/support/printing.h"
#include "tests/support/temp_tables.h"
#include "update/csv_columns.h"
#include "update/csv_import.h"
#include "update/csv_import_report.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace csvimport;

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// Every row of a table file, every field, in the order stored.
std::vector<QVariantList> tableRows(const QString &path)
{
    const std::shared_ptr<SqliteConnection> connection = Database::connect(path, OpenMode::ReadOnly);
    SqliteStatement all(connection, QStringLiteral("SELECT * FROM CARTES ORDER BY rowid"));
    StatementRun run(all);
    std::vector<QVariantList> rows;
    while (all.step()) {
        QVariantList row;
        for (int column = 0; column < all.columnCount(); ++column)
            row << all.column(column);
        rows.push_back(row);
    }
    return rows;
}

// The fields 0..13 of the printing with that key, as text.
QStringList printing(const QString &path, const QString &french, const QString &english, const QString &edition)
{
    for (const QVariantList &row : tableRows(path)) {
        if (row[0] == french && row[1] == english && row[2] == edition) {
            QStringList fields;
            for (int field = 0; field < card::Dessin; ++field)
                fields << (row[field].isNull() ? QStringLiteral("NULL") : row[field].toString());
            return fields;
        }
    }
    return {};
}

class CsvImportTest : public ::testing::Test
{
protected:
    Summary import(const char *text, Options options = Options())
    {
        file = csv::parse(u(text).toUtf8());
        columns = guessColumns(file.header);
        NoProgress none;
        return importCsv(file, columns, options, tables.cardPath(), none);
    }

    TempTables tables{{makeCard("Ange", "Angel", "Alpha", 1), makeCard("Ange", "Angel", "Beta"),
                       makeCard("Ours", "Bear", "Alpha"), makeCard("Pie", "Magpie", "Alpha"),
                       makeCard("Pie", "Magpie II", "Alpha"), makeCard("", "Wurm", "Alpha")}};
    csv::Document file;
    std::vector<int> columns;
};

} // namespace

TEST(CsvColumnsTest, HeaderWordsInFrenchAndEnglishNameTheirFields)
{
    const std::pair<const char *, int> cases[] = {
        {"Nom Français", card::NomFrancais}, {"nom_francais", card::NomFrancais}, {"NOM ANGLAIS", card::NomAnglais},
        {"Card name", card::NomAnglais},     {"English Name", card::NomAnglais},  {"Set name", card::Origine},
        {"Édition", card::Origine},          {"Extension", card::Origine},        {"Rareté", card::Rarete},
        {"Price", card::Cote},               {"Colour", card::Couleur},           {"Color", card::Couleur},
        {"Mana cost", card::Cout},           {"Coût", card::Cout},                {"Power", card::Force},
        {"Toughness", card::Endurance},      {"Qty.", card::Dispo},               {"Quantity", card::Dispo},
        {"Owned", card::Dispo},              {"In use", card::Utilise},           {"Tradelist", card::Echangeable},
        {"Wanted", card::Cherche},           {"want", card::Cherche},             {"Dessin", Ignored},
        {"Notes", Ignored},
    };
    for (const auto &[title, field] : cases)
        EXPECT_EQ(guessField(u(title)), field) << title;
    // A field goes to the first column naming it.
    EXPECT_EQ(guessColumns({"Name", "Nom anglais", "Count"}), (std::vector<int>{card::NomAnglais, Ignored, card::Dispo}));
}

TEST_F(CsvImportTest, MatchesByNameAndEditionAndReportsWhatItCannotTell)
{
    const Summary summary = import("Nom Français;Nom anglais;Edition;Dispo;Cote\n"
                                   "Ours;;Alpha;3;2,5\n"
                                   ";Angel;Beta;2;\n"
                                   "Pie;;Alpha;1;\n"
                                   "Pie;Magpie II;Alpha;4;\n"
                                   "Ver géant;Wurm;Alpha;6;\n"
                                   "Dragon;Angel;Alpha;1;\n"
                                   "Ours;;Alpha;1;\n"
                                   ";;Alpha;1;\n"
                                   "Ange;Angel;Alpha;2;3;x\n");
    EXPECT_EQ(printing(tables.cardPath(), "Ours", "Bear", "Alpha")[card::Dispo], "3");
    EXPECT_EQ(printing(tables.cardPath(), "Ours", "Bear", "Alpha")[card::Cote], "2.5");
    // A blank price keeps the table's.
    EXPECT_EQ(printing(tables.cardPath(), "Ange", "Angel", "Beta")[card::Cote], "1");
    EXPECT_EQ(printing(tables.cardPath(), "Ange", "Angel", "Beta")[card::Dispo], "2");
    EXPECT_EQ(printing(tables.cardPath(), "Pie", "Magpie II", "Alpha")[card::Dispo], "4");
    EXPECT_EQ(printing(tables.cardPath(), "", "Wurm", "Alpha")[card::Dispo], "6");
    EXPECT_EQ(printing(tables.cardPath(), "Ange", "Angel", "Alpha")[card::Dispo], "1");

    EXPECT_EQ(reportLines(file, columns, summary),
              QStringList({u("Lignes lues : 9"), u("Cartes mises à jour : 4"), u("Cartes créées : 0"),
                           u("Introuvables : 1"), u("Ambiguës : 1"), u("Refusées : 3"),
                           u("Ligne 4, ambiguë : Pie (Alpha) : 2 cartes de ce nom dans cette édition"),
                           u("Ligne 7, introuvable : Dragon (Alpha) : aucune carte de ce nom dans cette édition"),
                           u("Ligne 8, refusée : Ours (Alpha) : la même carte est déjà à la ligne 2 (une seule "
                             "ligne par carte quand les nombres remplacent ceux de la table)"),
                           u("Ligne 9, refusée : (Alpha) : la ligne ne donne ni nom français ni nom anglais"),
                           u("Ligne 10, refusée : Ange (Alpha) : la ligne a 6 champs et l'en-tête 5 colonnes (un "
                             "séparateur dans un champ sans guillemets ?)")}));
    // The lines not applied as read, after their number and the reason:
    // the file imports again once corrected.
    const csv::Rows skipped = skippedRows(file, summary);
    ASSERT_EQ(skipped.size(), 6);
    EXPECT_EQ(skipped[0], QStringList({"Ligne", "Motif", u("Nom Français"), "Nom anglais", "Edition", "Dispo", "Cote"}));
    EXPECT_EQ(skipped[2], QStringList({"7", u("introuvable : aucune carte de ce nom dans cette édition"), "Dragon",
                                       "Angel", "Alpha", "1", ""}));
    EXPECT_EQ(guessColumns(skipped[0]).front(), Ignored);
}

TEST_F(CsvImportTest, CountsAreAddedOnRequestAndLinesWithoutEditionMatchOnlyAOnePrintingName)
{
    Options add;
    add.addCounts = true;
    const Summary summary = import("name,qty,wanted\nBear,2,1\nBear,3,\nAngel,1,\n", add);
    EXPECT_EQ(summary.updated, 2);
    EXPECT_EQ(summary.ambiguous, 1);
    const QStringList bear = printing(tables.cardPath(), "Ours", "Bear", "Alpha");
    EXPECT_EQ(bear.mid(card::Dispo), QStringList({"5", "0", "0", "1"}));
    EXPECT_EQ(summary.skipped.at(0).reason, u("2 cartes de ce nom : indiquez l'édition"));
}

TEST_F(CsvImportTest, CreatesMissingPrintingsWhenAskedFromLinesWithANameAndAnEdition)
{
    Options create;
    create.createMissing = true;
    create.addCounts = true;
    const Summary summary = import("Nom;English name;Set;Rarity;Price;Color;Cost;Power;Toughness;Type;Qty\n"
                                   "Dragon;Dragon EN;Gamma;R;7,5;Rge;3R;4;4;Inv;2\n"
                                   "Dragon;Dragon EN;Gamma;;;;;;;;1\n"
                                   ";Sprite;Gamma;;;;;;;;1\n"
                                   "Tarmo;Goyf;Gamma;;;;;*;1;;1\n"
                                   "Licorne;;;;;;;;;;1\n",
                                   create);
    EXPECT_EQ(summary.created, 2);
    EXPECT_EQ(summary.updated, 1);
    EXPECT_EQ(printing(tables.cardPath(), "Dragon", "Dragon EN", "Gamma"),
              QStringList({"Dragon", "Dragon EN", "Gamma", "R", "7.5", "Rge", "3R", "4", "4", "Inv", "3", "0",
                           "0", "0"}));
    // Without a French name the key field is blank, never NULL.
    EXPECT_EQ(printing(tables.cardPath(), "", "Sprite", "Gamma")[card::Rarete], "");
    ASSERT_EQ(summary.skipped.size(), 2u);
    EXPECT_EQ(summary.skipped[0].reason, u("carte absente, non créée : Force « * » n'est pas un nombre"));
    EXPECT_EQ(summary.skipped[1].reason, u("aucune carte de ce nom, et sans édition elle ne peut pas être créée"));
    EXPECT_EQ(tableRows(tables.cardPath()).size(), 8u);
}

TEST_F(CsvImportTest, BadValuesStopTheImportNamingLineAndColumnAndLeaveTheTableAsItWas)
{
    const QByteArray before = readFile(tables.cardPath());
    Options add;
    add.addCounts = true;
    struct Case {
        const char *file;
        Options options;
        const char *message;
    } cases[] = {
        {"Nom;Origine;Dispo\nOurs;Alpha;1\nAnge;Alpha;2,5\n", {}, "Ligne 3, colonne 3 (« Dispo ») : « 2,5 » n'est pas un nombre entier. Rien n'a été importé."},
        {"Nom;Origine;Utilise\nOurs;Alpha;-1\n", {}, "Ligne 2, colonne 3 (« Utilise ») : le nombre -1 est négatif."},
        {"Nom;Origine;Cherche\nOurs;Alpha;2147483648\n", {}, "Ligne 2, colonne 3 (« Cherche ») : le nombre 2147483648 dépasse 2147483647"},
        {"Nom;Origine;Dispo\nAnge;Alpha;2147483647\n", add, "Ligne 2, colonne 3 (« Dispo ») : avec les 1 déjà comptés, le nombre dépasse"},
        {"Nom;Origine;Dispo;Cote\nDragon;Alpha;1;12 F\n", {}, "Ligne 2, colonne 4 (« Cote ») : la cote « 12 F » n'est pas un nombre."},
        {"Edition;Dispo\nAlpha;1\n", {}, "Aucune colonne ne donne le nom des cartes"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QString message = errorOf([&] { import(c.file, c.options); });
        EXPECT_TRUE(message.startsWith(u(c.message))) << message.toStdString();
        EXPECT_EQ(readFile(tables.cardPath()), before);
    }
}

TEST_F(CsvImportTest, AWriteRefusedHalfWayKeepsNoLine)
{
    // A rule of the file that only the write meets: no two owned
    // printings with the same count. Ours gets 7, then Dragon would get the
    // 1 of Ange.
    {
        const std::shared_ptr<SqliteConnection> connection = Database::connect(tables.cardPath(), OpenMode::Writable);
        connection->exec("CREATE UNIQUE INDEX one_count ON CARTES (Dispo) WHERE Dispo > 0");
    }
    const std::vector<QVariantList> before = tableRows(tables.cardPath());
    Options create;
    create.createMissing = true;
    const QString message = errorOf([&] { import("Nom;Origine;Dispo\nOurs;Alpha;7\nDragon;Alpha;1\n", create); });
    EXPECT_TRUE(message.contains("UNIQUE")) << message.toStdString();
    EXPECT_TRUE(tableRows(tables.cardPath()) == before);
}

TEST(CsvRoundTripTest, SearchGridExportImportedOnResetCountsGivesTheTableBack)
{
    // The demo catalogue; the export of the search grid with its default
    // criteria (every rarity box checked, which is every printing).
    TempTables tables;
    QFile::remove(tables.cardPath());
    ASSERT_TRUE(QFile::copy(QStringLiteral(TABRIX_BIN_DIR "/CARTES.DB"), tables.cardPath()));
    Session session;
    session.setDatabaseDirectory(tables.dir());
    const std::vector<QVariantList> original = tableRows(tables.cardPath());
    csv::Rows exported;
    {
        Query search(&session.database1);
        search.sql() = searchStatement(SearchCriteria());
        search.open();
        SearchResultModel grid(search);
        exported = grid.exportRows();
        search.close();
    }
    ASSERT_EQ(exported.size(), qsizetype(original.size() + 1));
    const QString path = tables.path("export.csv");
    csv::writeFile(path, exported);

    NoProgress none;
    resetAllCounts(session, none);
    ASSERT_NE(tableRows(tables.cardPath()), original);
    const csv::Document file = csv::readFile(path);
    const Summary summary = importCsv(file, guessColumns(file.header), Options(), session.cardTablePath(), none);
    EXPECT_EQ(summary.updated, int(original.size()));
    EXPECT_TRUE(summary.skipped.empty());
    EXPECT_EQ(tableRows(tables.cardPath()), original);
}
