#include "collection/jpeg_decoder.h"
#include "data/card_table.h"
#include "data/database.h"
#include "data/error.h"
#include "data/table.h"
#include "tests/support/temp_tables.h"
#include "tools/catalogue_writer.h"
#include "tools/makedb_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <functional>
#include <map>
#include <set>

namespace {

const QString CatalogueDir = QDir::cleanPath(QStringLiteral(TABRIX_TEST_DATA "/../../catalogue"));

// Rows of a statement run on a table file, read straight through SQLite.
QList<QVariantList> select(const QString &path, const QString &sql)
{
    sqlite3 *db = nullptr;
    QList<QVariantList> rows;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << path.toStdString();
        return rows;
    }
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db);
        sqlite3_close(db);
        return rows;
    }
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QVariantList row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_NULL:
                row << QVariant();
                break;
            case SQLITE_INTEGER:
                row << QVariant(sqlite3_column_int64(statement, c));
                break;
            case SQLITE_FLOAT:
                row << QVariant(sqlite3_column_double(statement, c));
                break;
            case SQLITE_BLOB:
                row << QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, c)),
                                           sqlite3_column_bytes(statement, c)));
                break;
            default:
                row << QVariant(
                    QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, c))));
            }
        }
        rows << row;
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

qint64 rowCount(const QString &path, const QString &table = QStringLiteral("CARTES"))
{
    const auto rows = select(path, QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table));
    return rows.isEmpty() ? -1 : rows.first().first().toLongLong();
}

bool isCreatureType(const QString &type)
{
    static const QSet<QString> creatures
        = {QStringLiteral("Inv"), QStringLiteral("inv"), QStringLiteral("Inc"), QStringLiteral("Token"),
           QStringLiteral("C. Art")};
    return creatures.contains(type);
}

const QSet<QString> AllColours
    = {"Ver", "Rge", "Noi", "Ble", "Bla", "Or", "Inc", "Vert", "Rouge", "Noir", "Inc."};
const QSet<QString> AllTypes
    = {"Inv", "Eph", "Rit", "Enc", "Int", "Mana sourc", "Ter", "Art", "C. Art", "inv", "Inc", "Token", "int"};
const QSet<QString> AllRarities = {"C", "U", "R"};

// What the passes of the program need from a catalogue, counted once.
struct Variety {
    QSet<QString> colours, types, rarities, editions;
    std::map<int, int> namesByEditionCount; // editions of a name -> names
    int duplicateKeys = 0;
    int blankPrices = 0, fractionalPrices = 0, pricesFrom100 = 0;
    int owned = 0, usedOnly = 0, exchangeable = 0, wanted = 0;
    std::map<int, int> ownedByCopies; // copies (5 stands for 5 and more) -> rows
    int creatureStatsWrong = 0;
    int accented = 0, apostrophes = 0, doubleQuotes = 0, parentheses = 0;
    int pictures = 0;

    explicit Variety(const std::vector<CardRow> &rows)
    {
        std::set<std::tuple<QString, QString, QString>> keys;
        std::map<std::pair<QString, QString>, int> editionsOfName;
        for (const CardRow &row : rows) {
            colours << row.couleur;
            types << row.type;
            rarities << row.rarete;
            editions << row.origine;
            if (!keys.insert({row.nomFrancais, row.nomAnglais, row.origine}).second)
                ++duplicateKeys;
            ++editionsOfName[{row.nomFrancais, row.nomAnglais}];
            if (!row.cote.isValid()) {
                ++blankPrices;
            } else {
                const double price = row.cote.toDouble();
                fractionalPrices += price != std::floor(price);
                pricesFrom100 += price >= 100;
            }
            const int copies = row.dispo + row.utilise;
            if (copies > 0) {
                ++owned;
                ++ownedByCopies[std::min(copies, 5)];
                usedOnly += row.dispo == 0;
            }
            exchangeable += row.echangeable > 0;
            wanted += row.cherche > 0;
            const bool hasStats = row.force.isValid() && row.endurance.isValid();
            const bool noStats = !row.force.isValid() && !row.endurance.isValid();
            if (isCreatureType(row.type) ? !hasStats : !noStats)
                ++creatureStatsWrong;
            const QString names = row.nomFrancais + row.nomAnglais;
            static const QRegularExpression accents(QStringLiteral("[éèêàçôâîûÉÈÎÂÔœŒ]"));
            accented += names.contains(accents);
            apostrophes += names.contains(QLatin1Char('\''));
            doubleQuotes += names.contains(QLatin1Char('"'));
            parentheses += names.contains(QLatin1Char('('));
            pictures += !row.dessin.isEmpty();
        }
        for (const auto &[name, count] : editionsOfName)
            ++namesByEditionCount[count];
    }
};

// A catalogue folder written from text, for the reader's failures.
class CatalogueFolder
{
public:
    CatalogueFolder(const QByteArray &cards)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("pictures"));
        write(QStringLiteral("cartes.tsv"), cards);
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(QDir(m_dir.path()).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

const QByteArray Header
    = "Nom_français\tNom_anglais\tOrigine\tRarete\tCote\tCouleur\tCoût\tForce\tEndurance\t"
      "Type\tDispo\tUtilise\tEchangeable\tCherche\tDessin\n";

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const AppError &error) {
        return error.message();
    }
    return QStringLiteral("<no error>");
}

} // namespace

TEST(CardTableFileTest, ReopensWithTheFieldsInOrderTheKeyAndEveryValue)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("CARTES.DB"));
    CardRow dragon = makeCard(QStringLiteral("L'Ange \"de\" cendre"), QStringLiteral("Angel (of) Ash"),
                              QStringLiteral("Forêt d'Émeraude"), 2, 1);
    dragon.cote = 125.75;
    dragon.couleur = QStringLiteral("Inc.");
    dragon.type = QStringLiteral("Mana sourc");
    dragon.force = QVariant();
    dragon.endurance = QVariant();
    dragon.echangeable = 1;
    dragon.cherche = 3;
    dragon.dessin = QByteArray("\xFF\xD8\xFF\x00picture", 11);
    CardRow blank = makeCard(QStringLiteral("Sans prix"), QString(), QStringLiteral("Aube"));
    blank.cote = QVariant();
    writeCardTable(path, {dragon, blank});

    const auto columns
        = select(path, QStringLiteral("SELECT name, pk FROM pragma_table_info('CARTES') ORDER BY cid"));
    ASSERT_EQ(columns.size(), card::FieldCount);
    for (int i = 0; i < card::FieldCount; ++i) {
        EXPECT_EQ(columns[i][0].toString(), card::fieldNames().at(i));
        EXPECT_EQ(columns[i][1].toInt(), i < card::KeyFieldCount ? i + 1 : 0) << i;
    }

    // The file stands alone: rollback journal, nothing beside it.
    EXPECT_EQ(select(path, QStringLiteral("PRAGMA journal_mode")).first().first().toString(),
              QStringLiteral("delete"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("CARTES.DB")});

    const auto rows = select(path, QStringLiteral("SELECT * FROM CARTES ORDER BY Nom_français"));
    ASSERT_EQ(rows.size(), 2);
    const QVariantList &first = rows[0];
    EXPECT_EQ(first[card::NomFrancais].toString(), dragon.nomFrancais);
    EXPECT_EQ(first[card::NomAnglais].toString(), dragon.nomAnglais);
    EXPECT_EQ(first[card::Origine].toString(), dragon.origine);
    EXPECT_DOUBLE_EQ(first[card::Cote].toDouble(), 125.75);
    EXPECT_EQ(first[card::Couleur].toString(), QStringLiteral("Inc."));
    EXPECT_EQ(first[card::Type].toString(), QStringLiteral("Mana sourc"));
    EXPECT_FALSE(first[card::Force].isValid());
    EXPECT_FALSE(first[card::Endurance].isValid());
    EXPECT_EQ(first[card::Dispo].toInt(), 2);
    EXPECT_EQ(first[card::Utilise].toInt(), 1);
    EXPECT_EQ(first[card::Echangeable].toInt(), 1);
    EXPECT_EQ(first[card::Cherche].toInt(), 3);
    EXPECT_EQ(first[card::Dessin].toByteArray(), dragon.dessin);

    // A blank key field is the empty text, a blank price NULL, no picture NULL.
    const QVariantList &second = rows[1];
    EXPECT_TRUE(second[card::NomAnglais].isValid());
    EXPECT_EQ(second[card::NomAnglais].toString(), QString());
    EXPECT_FALSE(second[card::Cote].isValid());
    EXPECT_DOUBLE_EQ(second[card::Force].toDouble(), 1.0);
    EXPECT_FALSE(second[card::Dessin].isValid());
}

TEST(CardTableFileTest, ReplacesAnExistingFileAndItsStaleJournals)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("ECHANGE.DB"));
    writeCardTable(path, syntheticCatalogue(30), QStringLiteral("ECHANGE"));
    ASSERT_EQ(rowCount(path, QStringLiteral("ECHANGE")), 30);
    for (const char *suffix : {"-wal", "-journal"}) {
        QFile stale(path + QLatin1String(suffix));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write(QByteArray(4096, '\x5a'));
    }

    writeCardTable(path, {}, QStringLiteral("ECHANGE"));

    EXPECT_EQ(rowCount(path, QStringLiteral("ECHANGE")), 0);
    const auto tables = select(path, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    ASSERT_EQ(tables.size(), 1);
    EXPECT_EQ(tables.first().first().toString(), QStringLiteral("ECHANGE"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ECHANGE.DB")});
}

TEST(CardTableFileTest, DuplicateKeyThrowsAndLeavesNoHalfWrittenFile)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("CARTES.DB"));
    const CardRow card = makeCard(QStringLiteral("Gardien des Brumes"), QStringLiteral("Mistward Keeper"),
                                  QStringLiteral("Aube"));
    CardRow otherEdition = card;
    otherEdition.origine = QStringLiteral("Crépuscule");
    CardRow sameKey = card;
    sameKey.cote = 3.5; // other catalogue fields do not make another printing

    const QString message = messageOf([&] { writeCardTable(path, {card, otherEdition, sameKey}); });
    EXPECT_TRUE(message.contains(QStringLiteral("Gardien des Brumes"))) << message.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // A table already there stays as it was.
    writeCardTable(path, {card, otherEdition});
    EXPECT_THROW(writeCardTable(path, {sameKey, sameKey}), AppError);
    EXPECT_EQ(rowCount(path), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("CARTES.DB")});

    EXPECT_THROW(writeCardTable(QDir(dir.path()).filePath(QStringLiteral("absent/CARTES.DB")), {card}),
                 AppError);
}

TEST(DemoCatalogueTest, HoldsEveryCodeEditionsPricesAndCounts)
{
    const std::vector<CardRow> rows = demoCatalogue(CatalogueDir);
    Variety v(rows);

    EXPECT_GE(rows.size(), 300u);
    EXPECT_EQ(v.duplicateKeys, 0);
    EXPECT_GE(v.editions.size(), 5);
    EXPECT_EQ(v.colours, AllColours);
    EXPECT_EQ(v.types, AllTypes);
    EXPECT_EQ(v.rarities, AllRarities);
    EXPECT_GT(v.namesByEditionCount[1], 0);
    EXPECT_GT(v.namesByEditionCount[2], 0);
    EXPECT_GT(v.namesByEditionCount[3], 0);
    EXPECT_EQ(v.namesByEditionCount.size(), 3u); // no name in more than three editions
    EXPECT_GT(v.blankPrices, 0);
    EXPECT_LT(v.blankPrices, int(rows.size()) / 10);
    EXPECT_GT(v.fractionalPrices, 0);
    EXPECT_GT(v.pricesFrom100, 0);
    EXPECT_EQ(v.creatureStatsWrong, 0);
    for (int copies = 1; copies <= 5; ++copies)
        EXPECT_GT(v.ownedByCopies[copies], 0) << copies << " copies";
    EXPECT_GT(v.usedOnly, 0);
    EXPECT_GT(v.exchangeable, 0);
    EXPECT_GT(v.wanted, 0);
    EXPECT_GT(v.owned, int(rows.size()) / 5);
    EXPECT_LT(v.owned, int(rows.size()) / 2);
    EXPECT_GT(v.accented, int(rows.size()) / 4);
    EXPECT_GT(v.apostrophes, 0);
}

TEST(DemoCatalogueTest, PicturesDecodeAsJpeg)
{
    int pictures = 0;
    for (const CardRow &row : demoCatalogue(CatalogueDir)) {
        if (row.dessin.isEmpty())
            continue;
        ++pictures;
        // Decoded as the picture window decodes it.
        const DecodedPicture picture = decodeJpeg(row.dessin);
        EXPECT_GT(picture.width, 0) << row.nomFrancais.toStdString();
        EXPECT_GT(picture.height, picture.width) << row.nomFrancais.toStdString(); // card-shaped
    }
    EXPECT_GE(pictures, 5);
    EXPECT_LE(pictures, 10);
}

TEST(DemoCatalogueTest, ReadsCellsByHeaderNameWithBlankNumbersAndCrlf)
{
    CatalogueFolder folder(
        "Nom_anglais\tnom_français\tOrigine\tRarete\tCote\tCouleur\tCoût\tForce\tEndurance\t"
        "Type\tDispo\tUtilise\tEchangeable\tCherche\r\n"
        "Mist Keeper\tGardien des Brumes\tAube\tR\t\tVer\t2G\t2\t3\tInv\t0\t4\t1\t\r\n"
        "\r\n"
        "Ash Pact\tPacte de cendre\tAube\tC\t0.5\tNoi\tB\t\t\tRit\t5\t0\t0\t2\r\n");
    const std::vector<CardRow> rows = demoCatalogue(folder.path());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].nomFrancais, QStringLiteral("Gardien des Brumes"));
    EXPECT_EQ(rows[0].nomAnglais, QStringLiteral("Mist Keeper"));
    EXPECT_FALSE(rows[0].cote.isValid());
    EXPECT_EQ(rows[0].force.toInt(), 2);
    EXPECT_EQ(rows[0].utilise, 4);
    EXPECT_EQ(rows[0].cherche, 0);
    EXPECT_TRUE(rows[0].dessin.isEmpty());
    EXPECT_DOUBLE_EQ(rows[1].cote.toDouble(), 0.5);
    EXPECT_FALSE(rows[1].force.isValid());
    EXPECT_EQ(rows[1].type, QStringLiteral("Rit"));
    EXPECT_EQ(rows[1].cherche, 2);
}

TEST(DemoCatalogueTest, BadFilesThrowWithTheLine)
{
    const QByteArray good = "Loup\tWolf\tAube\tC\t1\tVer\tG\t1\t1\tInv\t0\t0\t0\t0\t";
    struct Case {
        const char *what;
        QByteArray cards;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"missing column", "Nom_français\tNom_anglais\tOrigine\n", QStringLiteral("Rarete")},
        {"cells missing", Header + good + "\nLoup\tWolf\n", QStringLiteral("ligne 3")},
        {"price not a number", Header + "Loup\tWolf\tAube\tC\t1,5\tVer\tG\t1\t1\tInv\t0\t0\t0\t0\t\n",
         QStringLiteral("1,5")},
        {"negative count", Header + "Loup\tWolf\tAube\tC\t1\tVer\tG\t1\t1\tInv\t-1\t0\t0\t0\t\n",
         QStringLiteral("ligne 2")},
        {"missing picture", Header + good + "absent.jpg\n", QStringLiteral("absent.jpg")},
        {"picture not a JPEG", Header + good + "faux.jpg\n", QStringLiteral("JPEG")},
        {"picture outside its folder", Header + good + "../cartes.tsv\n", QStringLiteral("ligne 2")},
        {"not UTF-8", Header + "Loup \xe9\tWolf\tAube\tC\t1\tVer\tG\t1\t1\tInv\t0\t0\t0\t0\t\n",
         QStringLiteral("UTF-8")},
    };
    for (const Case &c : cases) {
        CatalogueFolder folder(c.cards);
        folder.write(QStringLiteral("pictures/faux.jpg"), "\xFF\xD8\xFF\xE0 not really a picture");
        const QString message = messageOf([&] { demoCatalogue(folder.path()); });
        EXPECT_TRUE(message.contains(c.expected)) << c.what << ": " << message.toStdString();
    }
    EXPECT_TRUE(messageOf([] {
                    demoCatalogue(QStringLiteral("/nonexistent/catalogue"));
                }).startsWith(QStringLiteral("Fichier introuvable")));
}

TEST(SyntheticCatalogueTest, SameSeedGivesTheSameCatalogue)
{
    const auto a = syntheticCatalogue(2000, 7);
    const auto b = syntheticCatalogue(2000, 7);
    const auto c = syntheticCatalogue(2000, 8);
    ASSERT_EQ(a.size(), 2000u);
    ASSERT_EQ(b.size(), 2000u);
    int differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].nomFrancais, b[i].nomFrancais);
        EXPECT_EQ(a[i].origine, b[i].origine);
        EXPECT_EQ(a[i].cote, b[i].cote);
        EXPECT_EQ(a[i].dispo, b[i].dispo);
        EXPECT_EQ(a[i].type, b[i].type);
        differing += a[i].nomFrancais != c[i].nomFrancais || a[i].origine != c[i].origine;
    }
    EXPECT_GT(differing, 1000);
    EXPECT_TRUE(syntheticCatalogue(0).empty());
    EXPECT_EQ(syntheticCatalogue(1).size(), 1u);
}

TEST(SyntheticCatalogueTest, HasUniqueKeysEveryCodeAndQuotingCases)
{
    const auto rows = syntheticCatalogue(5000, 3);
    Variety v(rows);
    EXPECT_EQ(v.duplicateKeys, 0);
    EXPECT_EQ(v.colours, AllColours);
    EXPECT_EQ(v.types, AllTypes);
    EXPECT_EQ(v.rarities, AllRarities);
    EXPECT_GE(v.editions.size(), 5);
    EXPECT_GT(v.namesByEditionCount[1], 0);
    EXPECT_GT(v.namesByEditionCount[2], 0);
    EXPECT_GT(v.namesByEditionCount[3], 0);
    EXPECT_EQ(v.namesByEditionCount.size(), 3u);
    EXPECT_GT(v.blankPrices, 0);
    EXPECT_GT(v.fractionalPrices, 0);
    EXPECT_GT(v.pricesFrom100, 0);
    EXPECT_EQ(v.creatureStatsWrong, 0);
    EXPECT_GT(v.owned, 5000 / 4);
    EXPECT_LT(v.owned, 5000 * 2 / 5);
    for (int copies = 1; copies <= 5; ++copies)
        EXPECT_GT(v.ownedByCopies[copies], 0) << copies << " copies";
    EXPECT_GT(v.usedOnly, 0);
    EXPECT_GT(v.exchangeable, 0);
    EXPECT_GT(v.wanted, 0);
    EXPECT_GT(v.accented, 0);
    EXPECT_GT(v.apostrophes, 0);
    EXPECT_GT(v.doubleQuotes, 0);
    EXPECT_GT(v.parentheses, 0);

    // Even a small catalogue holds every spelling.
    Variety small(syntheticCatalogue(30, 9));
    EXPECT_EQ(small.colours, AllColours);
    EXPECT_EQ(small.types, AllTypes);
}

TEST(SyntheticCatalogueTest, LargeCatalogueKeepsItsKeysUniqueInTheFile)
{
    // Past the word combinations the names take a number; the table's own
    // key check confirms that no two printings collide.
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("CARTES.DB"));
    writeCardTable(path, syntheticCatalogue(70000, 5));
    EXPECT_EQ(rowCount(path), 70000);
    const auto numbered
        = select(path, QStringLiteral("SELECT COUNT(*) FROM CARTES WHERE Nom_français LIKE '% 2'"));
    EXPECT_GT(numbered.first().first().toInt(), 0);
}

TEST(MakedbTest, WritesBothTablesOrRefusesItsArguments)
{
    QTemporaryDir dir;
    const QString demoDir = QDir(dir.path()).filePath(QStringLiteral("demo/bin"));
    QString out, err;
    QTextStream outStream(&out), errStream(&err);

    EXPECT_EQ(runMakedb({QStringLiteral("--demo"), CatalogueDir, demoDir}, outStream, errStream), 0)
        << err.toStdString();
    EXPECT_EQ(rowCount(QDir(demoDir).filePath(QStringLiteral("CARTES.DB"))),
              qint64(demoCatalogue(CatalogueDir).size()));
    const QString exchange = QDir(demoDir).filePath(QStringLiteral("ECHANGE.DB"));
    EXPECT_EQ(rowCount(exchange, QStringLiteral("ECHANGE")), 0);
    EXPECT_EQ(select(exchange, QStringLiteral("SELECT COUNT(*) FROM pragma_table_info('ECHANGE')"))
                  .first()
                  .first()
                  .toInt(),
              card::FieldCount);

    const QString synthetic = QDir(dir.path()).filePath(QStringLiteral("synthetic"));
    EXPECT_EQ(
        runMakedb({QStringLiteral("--synthetic"), QStringLiteral("250"), synthetic, QStringLiteral("4")},
                  outStream, errStream),
        0);
    EXPECT_EQ(rowCount(QDir(synthetic).filePath(QStringLiteral("CARTES.DB"))), 250);
    EXPECT_EQ(rowCount(QDir(synthetic).filePath(QStringLiteral("ECHANGE.DB")), QStringLiteral("ECHANGE")), 0);

    const QString refused = QDir(dir.path()).filePath(QStringLiteral("refused"));
    const QList<QStringList> badArguments = {
        {},
        {QStringLiteral("--demo"), CatalogueDir},
        {QStringLiteral("--synthetic"), QStringLiteral("-3"), refused},
        {QStringLiteral("--synthetic"), QStringLiteral("dix"), refused},
        {QStringLiteral("--synthetic"), QStringLiteral("10"), refused, QStringLiteral("graine")},
        {QStringLiteral("--autre"), refused},
    };
    for (const QStringList &arguments : badArguments) {
        err.clear();
        EXPECT_EQ(runMakedb(arguments, outStream, errStream), 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("Usage"))) << err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(refused));

    err.clear();
    EXPECT_EQ(
        runMakedb({QStringLiteral("--demo"), QDir(dir.path()).filePath(QStringLiteral("none")), refused},
                  outStream, errStream),
        1);
    EXPECT_TRUE(err.contains(QStringLiteral("Fichier introuvable"))) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(QDir(refused).filePath(QStringLiteral("CARTES.DB"))));
}

TEST(MakedbTest, InstalledTablesOpenThroughTheEngine)
{
    QTemporaryDir dir;
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    ASSERT_EQ(runMakedb({QStringLiteral("--demo"), CatalogueDir, dir.path()}, outStream, errStream), 0);
    const std::vector<CardRow> demo = demoCatalogue(CatalogueDir);
    const Variety variety(demo);

    Database database;
    database.setName(QStringLiteral("Vexar"));
    database.params() << QStringLiteral("PATH=") + dir.path();
    Table cards(&database);
    cards.setTableName(QStringLiteral("Cartes"));
    cards.setRequiredFields(card::fieldNames());
    cards.open();
    EXPECT_EQ(cards.recordCount(), int(demo.size()));
    int rows = 0, blankPrices = 0, pictures = 0;
    QStringList previousKey;
    for (cards.first(); !cards.eof(); cards.next()) {
        ++rows;
        const QStringList key
            = {cards.field(card::NomFrancais).asString(), cards.field(card::NomAnglais).asString(),
               cards.field(card::Origine).asString()};
        EXPECT_LT(previousKey, key);
        previousKey = key;
        blankPrices += cards.field(card::Cote).asString().isEmpty();
        pictures += !cards.field(card::Dessin).asBytes().isEmpty();
    }
    cards.close();
    EXPECT_EQ(rows, int(demo.size()));
    EXPECT_EQ(blankPrices, variety.blankPrices);
    EXPECT_EQ(pictures, variety.pictures);

    // The empty exchange table passes the checks made on a file received
    // from someone else.
    Table exchange(&database);
    exchange.setTableName(QStringLiteral("ECHANGE.DB"));
    exchange.setRequiredFields(card::fieldNames());
    exchange.setUntrusted(true);
    exchange.open();
    EXPECT_EQ(exchange.recordCount(), 0);
    EXPECT_TRUE(exchange.eof());
    exchange.close();
}
