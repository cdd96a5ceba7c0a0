#include "data/session.h"
#include "collection/card_lookup.h"
#include "collection/card_pictures.h"
#include "collection/inventory.h"
#include "collection/jpeg_decoder.h"
#include "collection/name_lists.h"
#include "data/card_table.h"
#include "data/error.h"
#include "data/table.h"
#include "tests/support/printing.h"
#include "tests/support/temp_tables.h"

#include <limits>

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// Records what the list preparation reports.
struct CountingProgress : ListProgress {
    qint64 beganOwned = -1, beganSource = -1, ownedPass = -1;
    int sourceRows = 0, ownedRows = 0, ends = 0;
    void begin(qint64 owned, qint64 source) override { beganOwned = owned, beganSource = source; }
    void sourceRow() override { ++sourceRows; }
    void ownedPassStarted(qint64 owned) override { ownedPass = owned; }
    void ownedRow() override { ++ownedRows; }
    void ownedRowsCounted(qint64 rows) override { ownedRows += int(rows); }
    void end() override { ++ends; }
};

CardRow priced(CardRow row, const QVariant &cote, const QString &couleur = QStringLiteral("Ver"),
               const QString &rarete = QStringLiteral("C"), const QString &type = QStringLiteral("Inv"))
{
    row.cote = cote;
    row.couleur = couleur;
    row.rarete = rarete;
    row.type = type;
    return row;
}

struct OpenSession {
    explicit OpenSession(const TempTables &tables) { session.setDatabaseDirectory(tables.dir()); }
    Session session;
};

CardRow rowOf(Table &table, const QStringList &key)
{
    table.close();
    table.open();
    EXPECT_TRUE(table.findKey(key));
    CardRow row;
    row.cote = table.field(card::Cote).isNull() ? QVariant() : QVariant(table.field(card::Cote).asFloat());
    row.dispo = int(table.field(card::Dispo).asInteger());
    row.utilise = int(table.field(card::Utilise).asInteger());
    row.echangeable = int(table.field(card::Echangeable).asInteger());
    row.cherche = int(table.field(card::Cherche).asInteger());
    table.close();
    return row;
}

} // namespace

TEST(NameListsTest, OnePassGivesSortedCompleteListsAndCaptionCounts)
{
    TempTables tables({makeCard("zèbre", "Zebra", "Alpha"), makeCard("Éclair", "Lightning", "Bêta", 2, 1),
                       makeCard("abeille", "Bee", "Alpha"), makeCard("Éclair", "Lightning", "Alpha", 0, 3),
                       makeCard("Ours", "Bear", "Alpha", 70000, 0)});
    OpenSession s(tables);
    CountingProgress progress;
    const NameLists lists = prepareNameLists(s.session, progress);

    EXPECT_EQ(lists.french.lines(), QStringList({"abeille (Alpha)", "Éclair (Alpha)", "Éclair (Bêta)", "Ours (Alpha)",
                                         "zèbre (Alpha)"}));
    EXPECT_EQ(lists.english.lines(), QStringList({"Bear (Alpha)", "Bee (Alpha)", "Lightning (Alpha)", "Lightning (Bêta)",
                                          "Zebra (Alpha)"}));
    // Copies beyond 65,535 are counted, not wrapped.
    EXPECT_EQ(listsCaption(lists.owned, lists.total, lists.copies),
              "3/5         - Recherche de cartes -         70006");
    EXPECT_EQ(progress.beganOwned, 3);
    EXPECT_EQ(progress.beganSource, 5);
    EXPECT_EQ(progress.sourceRows, 5);
    EXPECT_EQ(progress.ownedPass, 3);
    EXPECT_EQ(progress.ownedRows, 3);
    EXPECT_EQ(progress.ends, 1);
}

TEST(NameListsTest, EditionSelectionRestrictsListsAndTotalButNotOwnedCounts)
{
    TempTables tables({makeCard("Loup", "Wolf", "Alpha", 1, 1), makeCard("Loup", "Wolf", "Bêta"),
                       makeCard("Ours", "Bear", "Bêta", 0, 4)});
    OpenSession s(tables);
    s.session.selectEdition(QStringLiteral("Bêta"));
    CountingProgress progress;
    const NameLists lists = prepareNameLists(s.session, progress);
    EXPECT_EQ(lists.french.lines(), QStringList({"Loup (Bêta)", "Ours (Bêta)"}));
    EXPECT_EQ(lists.total, 2);
    EXPECT_EQ(lists.owned, 2);
    EXPECT_EQ(lists.copies, 6);
}

TEST(NameListsTest, CopiesBeyondTheLargestCountStayAtIt)
{
    constexpr qint64 Half = std::numeric_limits<qint64>::max() / 2 + 1;
    TempTables tables({makeCard("Loup", "Wolf", "Alpha", 0, 0), makeCard("Loup", "Wolf", "Bêta", 0, 0)});
    OpenSession s(tables);
    for (const char *edition : {"Alpha", "Bêta"}) {
        Table &table = s.session.table;
        table.open();
        ASSERT_TRUE(table.findKey({"Loup", "Wolf", edition}));
        table.edit();
        table.field(card::Dispo).setAsInteger(Half);
        table.post();
        table.close();
    }
    CountingProgress progress;
    const NameLists lists = prepareNameLists(s.session, progress);
    EXPECT_EQ(lists.copies, std::numeric_limits<qint64>::max());
    s.session.selectEdition(QStringLiteral("Bêta"));
    EXPECT_EQ(prepareNameLists(s.session, progress).copies, std::numeric_limits<qint64>::max());
}

TEST(NameListsTest, ProgressEndsAlsoWhenTheSourceCannotBeRead)
{
    TempTables tables;
    OpenSession s(tables);
    s.session.setDatabaseDirectory(tables.path("absent"));
    CountingProgress progress;
    EXPECT_THROW(prepareNameLists(s.session, progress), AppError);
    EXPECT_EQ(progress.ends, 1);
}

TEST(CardLookupTest, FindsTheEditionOfTheLineByEitherName)
{
    TempTables tables({priced(makeCard("Éclair", "Lightning", "Alpha", 2, 1), 2.5, "Rge", "U"),
                       priced(makeCard("Éclair", "Lightning", "Bêta", 0, 0), QVariant(), "Or", "R"),
                       makeCard("Sort (ancien)", "Old (spell)", "Alpha", 4),
                       makeCard("Le \"Grand\" Ours", "The \"Big\" Bear", "Ed \"1\"", 7)});
    OpenSession s(tables);
    Query &q = s.session.query1;

    auto alpha = lookupFrench(q, "Éclair (Alpha)");
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->english, "Lightning");
    EXPECT_EQ(alpha->cote, "2.5");
    EXPECT_EQ(alpha->couleur, "Rge");
    EXPECT_EQ(alpha->rarete, "U");
    EXPECT_EQ(alpha->dispo, 2);
    EXPECT_EQ(alpha->utilise, 1);

    auto beta = lookupEnglish(q, "Lightning (Bêta)");
    ASSERT_TRUE(beta);
    EXPECT_EQ(beta->french, "Éclair");
    EXPECT_EQ(beta->edition, "Bêta");
    EXPECT_EQ(beta->cote, "");
    EXPECT_EQ(beta->couleur, "Or");

    // The last "(" separates the edition; the name keeps its own parentheses.
    auto paren = lookupFrench(q, "Sort (ancien) (Alpha)");
    ASSERT_TRUE(paren);
    EXPECT_EQ(paren->dispo, 4);
    ASSERT_TRUE(lookupEnglish(q, "Old (spell) (Alpha)"));

    // A double quote in the name or the edition finds its card.
    auto quoted = lookupFrench(q, "Le \"Grand\" Ours (Ed \"1\")");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->dispo, 7);

    for (const char *text : {"Éclair (Alph", "éclair (Alpha)", "Éclair", "", "Lightning (Alpha)"})
        EXPECT_FALSE(lookupFrench(q, text)) << text;
    EXPECT_EQ(q.state(), Dataset::State::Inactive);
}

TEST(CardLookupTest, PriceTextsAcceptedAndRefused)
{
    EXPECT_EQ(parsePrice("12.5"), 12.5);
    EXPECT_EQ(parsePrice("12,5"), 12.5);
    EXPECT_EQ(parsePrice(" 3 "), 3.0);
    EXPECT_FALSE(parsePrice(""));
    EXPECT_FALSE(parsePrice("  "));
    for (const char *bad : {"douze", "12,5,1", "1 2", "12.5 Fr", "inf", "nan"}) {
        try {
            parsePrice(bad);
            ADD_FAILURE() << bad;
        } catch (const AppError &e) {
            EXPECT_TRUE(e.message().contains("n'est pas un nombre")) << bad;
        }
    }
}

TEST(CardLookupTest, WriteCardPostsPriceAndCountsByKeyAndRefusesABadPrice)
{
    TempTables tables({makeCard("Éclair", "Lightning", "Alpha"), makeCard("Éclair", "Lightning", "Bêta"),
                       makeCard("Le \"Grand\" Ours", "The \"Big\" Bear", "Alpha")});
    OpenSession s(tables);
    Table &t = s.session.table;

    EXPECT_TRUE(writeCard(t, "Éclair (Bêta)", "Lightning (Bêta)", "12,5", {1, 2, 3, 4}));
    CardRow beta = rowOf(t, {"Éclair", "Lightning", "Bêta"});
    EXPECT_EQ(beta.cote.toDouble(), 12.5);
    EXPECT_EQ(beta.dispo, 1);
    EXPECT_EQ(beta.utilise, 2);
    EXPECT_EQ(beta.echangeable, 3);
    EXPECT_EQ(beta.cherche, 4);
    EXPECT_EQ(rowOf(t, {"Éclair", "Lightning", "Alpha"}).dispo, 0);

    // A blank price is no price.
    EXPECT_TRUE(writeCard(t, "Éclair (Bêta)", "Lightning (Bêta)", "", {1, 2, 3, 4}));
    EXPECT_FALSE(rowOf(t, {"Éclair", "Lightning", "Bêta"}).cote.isValid());

    EXPECT_THROW(writeCard(t, "Éclair (Bêta)", "Lightning (Bêta)", "abc", {9, 9, 9, 9}), AppError);
    EXPECT_EQ(rowOf(t, {"Éclair", "Lightning", "Bêta"}).dispo, 1);

    EXPECT_TRUE(writeCard(t, "Le \"Grand\" Ours (Alpha)", "The \"Big\" Bear (Alpha)", "1", {5, 0, 0, 0}));
    EXPECT_EQ(rowOf(t, {"Le \"Grand\" Ours", "The \"Big\" Bear", "Alpha"}).dispo, 5);

    // English name of another card: no row has the three values.
    EXPECT_FALSE(writeCard(t, "Éclair (Alpha)", "Thunder (Alpha)", "1", {8, 0, 0, 0}));
    EXPECT_EQ(rowOf(t, {"Éclair", "Lightning", "Alpha"}).dispo, 0);
    EXPECT_EQ(t.state(), Dataset::State::Inactive);
}

class InventoryTest : public ::testing::Test
{
protected:
    InventoryTest()
        : tables({priced(makeCard("Ange de Sérénité", "Serra Angel", "Alpha", 3, 0), 2.5, "Ver", "U"),
                  priced(makeCard("Bête sauvage", "Wild Beast", "Alpha", 0, 2), 125.75),
                  priced(makeCard("Forêt", "Forest", "Alpha"), 2.5, "Ver", "C", "Ter"),
                  priced(makeCard("Forêt", "Forest", "Bêta", 1, 1), 0.25, "Ver", "C", "Ter"),
                  priced(makeCard("Géant rouge", "Red Giant", "Alpha", 5), 2.5, "Rge"),
                  priced(makeCard("Loup", "Wolf", "Alpha", 1), 125.7, "Vert"),
                  priced(makeCard("Œil du cyclone", "Eye of the Storm", "Révisée", 12), QVariant(), "Ver", "R")}),
          s(tables), file(tables.path("FICHIER.TXT"))
    {
    }
    InventoryLists fill(const InventoryCriteria &criteria)
    {
        return fillInventory(s.session.cardSource(), criteria, file);
    }

    TempTables tables;
    OpenSession s;
    QString file;
};

TEST_F(InventoryTest, ColourCellListsOwnedAndMissingAndWritesTheFile)
{
    const InventoryLists all = fill({});
    EXPECT_EQ(all.owned, QStringList({"Ange de Sérénité x 3 (Alpha)", "Bête sauvage x 2 (Alpha)",
                                      "Forêt x 2 (Bêta)", "Œil du cyclone x 12 (Révisée)"}));
    EXPECT_EQ(all.missing, QStringList({"Forêt (Alpha)"}));
    EXPECT_EQ(readFile(file), readFile(QStringLiteral(TABRIX_TEST_DATA "/collection_inventaire.txt")));

    InventoryCriteria uncommon;
    uncommon.rarete = "U";
    EXPECT_EQ(fill(uncommon).owned, QStringList({"Ange de Sérénité x 3 (Alpha)"}));
    EXPECT_EQ(readFile(file), QByteArray("Ange de S\xe9r\xe9nit\xe9 x 3 (Alpha)\r\n"));

    InventoryCriteria lands;
    lands.type = "Ter";
    const InventoryLists landLists = fill(lands);
    EXPECT_EQ(landLists.owned, QStringList({"Forêt x 2 (Bêta)"}));
    EXPECT_EQ(landLists.missing, QStringList({"Forêt (Alpha)"}));

    InventoryCriteria red;
    red.couleur = 1;
    EXPECT_EQ(fill(red).owned, QStringList({"Géant rouge x 5 (Alpha)"}));

    // A cell with nothing owned still leaves the file, emptied of the lines
    // of the cell before, and creates it when there is none.
    InventoryCriteria outside;
    outside.couleur = 7;
    const InventoryLists none = fill(outside);
    EXPECT_TRUE(none.owned.isEmpty() && none.missing.isEmpty());
    EXPECT_TRUE(QFileInfo(file).isFile());
    EXPECT_EQ(readFile(file), QByteArray());
    ASSERT_TRUE(QFile::remove(file));
    fill(outside);
    EXPECT_TRUE(QFileInfo(file).isFile());
}

TEST_F(InventoryTest, PriceModeListsExactlyThatPriceWhateverTheColour)
{
    InventoryCriteria price;
    price.modeCote = true;
    price.couleur = 3; // ignored in price mode
    price.cote = 2.5;
    const InventoryLists cheap = fill(price);
    EXPECT_EQ(cheap.owned, QStringList({"Ange de Sérénité x 3 (Alpha)", "Géant rouge x 5 (Alpha)"}));
    EXPECT_EQ(cheap.missing, QStringList({"Forêt (Alpha)"}));

    price.cote = 125.75;
    const InventoryLists dear = fill(price);
    EXPECT_EQ(dear.owned, QStringList({"Bête sauvage x 2 (Alpha)"}));
    EXPECT_TRUE(dear.missing.isEmpty());
    EXPECT_EQ(readFile(file), QByteArray("B\xeate sauvage x 2 (Alpha)\r\n"));
}

TEST_F(InventoryTest, FileThatCannotBeCreatedStopsBeforeReading)
{
    file = tables.path("absent/FICHIER.TXT");
    try {
        fill({});
        FAIL();
    } catch (const AppError &e) {
        EXPECT_TRUE(e.message().startsWith("Impossible de créer le fichier"));
    }
    EXPECT_FALSE(s.session.cardSource().isOpen());
}

TEST(JpegTest, DecodesWithLibjpegAndRefusesOtherData)
{
    const QByteArray jpeg = readFile(QStringLiteral(TABRIX_TEST_DATA "/collection_picture.jpg"));
    const DecodedPicture picture = decodeJpeg(jpeg);
    ASSERT_EQ(picture.width, 32);
    ASSERT_EQ(picture.height, 8);
    ASSERT_EQ(picture.rgb.size(), 32 * 8 * 3);
    auto pixel = [&](int x, int y, int c) { return int(uchar(picture.rgb[(y * 32 + x) * 3 + c])); };
    // Left half red, right half blue (allowing for JPEG loss).
    EXPECT_GT(pixel(2, 4, 0), 200);
    EXPECT_LT(pixel(2, 4, 2), 60);
    EXPECT_LT(pixel(29, 4, 0), 60);
    EXPECT_GT(pixel(29, 4, 2), 200);

    EXPECT_THROW(decodeJpeg("BM not a jpeg"), AppError);
    EXPECT_THROW(decodeJpeg(QByteArrayLiteral("\xFF\xD8\xFF\xE0 garbage")), AppError);
    try {
        decodeJpeg(jpeg.left(40));
        FAIL();
    } catch (const AppError &e) {
        // In French only, without libjpeg's English text.
        EXPECT_EQ(e.message(), "Image JPEG illisible : le fichier est abîmé ou incomplet.");
    }
}

TEST(CardPicturesTest, KeysFollowTheCardSourceAndAMissingRowIsReported)
{
    TempTables tables({makeCard("Loup", "Wolf", "Alpha"), makeCard("Loup", "Wolf", "Bêta"),
                       makeCard("Ours", "Bear", "Alpha")});
    OpenSession s(tables);
    s.session.selectEdition("Alpha");
    EXPECT_EQ(datasetKeys(s.session.cardSource()),
              (std::vector<QStringList>{{"Loup", "Wolf", "Alpha"}, {"Ours", "Bear", "Alpha"}}));
    EXPECT_THROW(storePictureFile(s.session.table, {"Absent", "Missing", "Alpha"},
                                  QStringLiteral(TABRIX_TEST_DATA "/collection_picture.jpg")),
                 AppError);
}
