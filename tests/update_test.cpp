#include "app/tprincipale.h"
#include "collection/trecherche_de_cartes.h"
#include "data/card_table.h"
#include "data/backup.h"
#include "data/dataset_guard.h"
#include "data/session.h"
#include "data/table.h"
#include "tests/support/default_locale.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"
#include "tools/paradox_writer.h"
#include "tests/support/temp_tables.h"
#include "update/catalogue_update.h"
#include "update/report_lines.h"
#include "update/timportation.h"
#include "update/tmiseajour.h"
#include "update/update_set.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>
#include <sqlite3.h>

namespace {

QString cp(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

TEST(UpdateSetTest, CutsLinesAtTheirSeparatorsWithoutTrimming)
{
    struct Case {
        const char *line, *a, *b, *c;
    } cases[] = {
        {"Ange###Archange%%%Alpha", "Ange", "Archange", "Alpha"},
        {" Ange ### Archange %%% Alpha ", " Ange ", " Archange ", " Alpha "},
        {"", "", "", ""},
        // No "###": A is empty and the rest starts at the third character.
        {"abcdef%%%Alpha", "", "cdef", "Alpha"},
        // No "%%%": B is empty and C starts at the third character of the rest.
        {"Ange###Archange", "Ange", "", "change"},
        {"sans séparateur", "", "", " séparateur"},
        {"a%%%b###c", "a%%%b", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const UpdateLine cut = cutLine(cp(c.line));
        EXPECT_EQ(cut.a, cp(c.a));
        EXPECT_EQ(cut.b, cp(c.b));
        EXPECT_EQ(cut.c, cp(c.c));
    }
    // Fields past the 255th character belong to the line as well.
    const QString longName(250, QLatin1Char('O'));
    const UpdateLine cut = cutLine(QStringLiteral("Ours###") + longName + QStringLiteral("%%%Alpha"));
    EXPECT_EQ(cut.b, longName);
    EXPECT_EQ(cut.c, QStringLiteral("Alpha"));
}

TEST(UpdateSetTest, SplitsLinesAtCarriageReturnsAndStopsAtCtrlZ)
{
    EXPECT_EQ(splitUpdateText(QByteArray("un\r\ndeux\rtrois\nquatre\r\n\r\nf\xE9\x9E" "e\r\n")),
              QStringList({"un", "deux", "trois\nquatre", "", cp("féže")}));
    EXPECT_EQ(splitUpdateText(QByteArray("a\r\nb\x1A" "c\r\nd")), QStringList({"a", "b"}));
    EXPECT_EQ(splitUpdateText(QByteArray("\x1A" "a\r\n")), QStringList());
    EXPECT_EQ(splitUpdateText(QByteArray()), QStringList());
    EXPECT_EQ(splitUpdateText(QByteArray("sans fin")), QStringList({"sans fin"}));
    EXPECT_EQ(splitUpdateText(QByteArray("\r\r\n")), QStringList({"", ""}));
    EXPECT_EQ(splitUpdateText(QByteArray("\0\xFF\x81", 3)).size(), 1);

    // A long line is read whole, and so is a long file with no line end.
    const QStringList cut = splitUpdateText(QByteArray(300, 'x') + "\r\nsuite");
    ASSERT_EQ(cut.size(), 2);
    EXPECT_EQ(cut[0], QString(300, QLatin1Char('x')));
    EXPECT_EQ(cut[1], QStringLiteral("suite"));
    const QStringList unended = splitUpdateText(QByteArray(1 << 20, 'y'));
    ASSERT_EQ(unended.size(), 1);
    EXPECT_EQ(unended[0].size(), 1 << 20);
}

TEST(UpdateSetTest, TextFilesLoseTheExtensionOnlyTableLosesFourCharacters)
{
    struct Case {
        const char *chosen, *text, *table;
    } cases[] = {
        {"C:\\MAJ\\SERIE5.maj", "C:\\MAJ\\SERIE5", "C:\\MAJ\\SERIE5"},
        {"C:\\MES.DOCS\\SERIE5.maj", "C:\\MES.DOCS\\SERIE5", "C:\\MES.DOCS\\SERIE5"},
        {"/home/u/.local/share/maj/serie.5.maj", "/home/u/.local/share/maj/serie.5", "/home/u/.local/share/maj/serie.5"},
        {"/home/u/.maj/SERIE", "/home/u/.maj/SERIE", "/home/u/.maj/S"},
        {"", "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chosen);
        EXPECT_EQ(textBaseName(cp(c.chosen)), cp(c.text));
        EXPECT_EQ(tableBaseName(cp(c.chosen)), cp(c.table));
    }
}

TEST(UpdateReportTest, LinesAreWrittenExactly)
{
    // The rename, deletion and price lines are checked in the update below.
    const UpdateLine line{QStringLiteral("Ange"), QStringLiteral("Archange"), QStringLiteral("Alpha")};
    EXPECT_EQ(report::deletionWarning(line, 3),
              cp("Attention, la carte \"Ange (Alpha)\" n'existe pas, pourtant, vous déclarez en avoir ... Elle "
                 "vas-être supprimée, veuillez vérifier dans votre collection. Nombre de carte : 3"));

    const std::pair<double, const char *> prices[] = {{3, " 3.0"}, {12.5, "12.5"}, {150, "150.0"}, {9.5, " 9.5"},
                                                      {0, " 0.0"}, {0.25, " 0.3"}};
    for (const auto &[price, text] : prices)
        EXPECT_EQ(report::fixedPrice(price), cp(text)) << price;
    EXPECT_EQ(report::priceRise(QStringLiteral("Ange"), QStringLiteral("Alpha"), 3, 150),
              cp("Reevaluation de Ange (Alpha) de  3.0 à 150.0"));
    // The new card's price is in the number format of the user's settings.
    {
        const DefaultLocale french(QLocale::French);
        EXPECT_EQ(report::newCard(QStringLiteral("Ange"), QStringLiteral("Alpha"), 12.5), cp("Apparition de Ange (Alpha) à 12,5 Frs"));
        EXPECT_EQ(report::newCard(QStringLiteral("Ange"), QStringLiteral("Alpha"), 1234.75), cp("Apparition de Ange (Alpha) à 1234,75 Frs"));
        EXPECT_EQ(report::newCard(QStringLiteral("Ange"), QStringLiteral("Alpha"), 3.0), cp("Apparition de Ange (Alpha) à 3 Frs"));
        EXPECT_EQ(report::newCard(QStringLiteral("Ange"), QStringLiteral("Alpha"), QVariant()), cp("Apparition de Ange (Alpha) à  Frs"));
    }
    const DefaultLocale english(QLocale::English);
    EXPECT_EQ(report::newCard(QStringLiteral("Ange"), QStringLiteral("Alpha"), 12.5), cp("Apparition de Ange (Alpha) à 12.5 Frs"));
    EXPECT_EQ(report::newCard(QStringLiteral("Ange"), QStringLiteral("Alpha"), 1234.75), cp("Apparition de Ange (Alpha) à 1234.75 Frs"));
}

namespace {

struct RecordedReports : UpdateReports {
    void report(const QString &caption, const QStringList &lines) override
    {
        if (!lines.isEmpty())
            shown.push_back({caption, lines});
    }
    void warn(const QString &text) override { warnings << text; }
    std::vector<std::pair<QString, QStringList>> shown;
    QStringList warnings;
};

CardRow priced(const QString &french, const QString &english, const QString &edition, const QVariant &cote,
               int dispo = 0)
{
    CardRow row = makeCard(french, english, edition, dispo, 1);
    row.cote = cote;
    return row;
}

// A catalogue and an update set in a folder whose name holds a dot.
class UpdateSetFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(tables.dir()).mkpath(QStringLiteral("mes.maj/lot")));
        base = tables.path(QStringLiteral("mes.maj/lot/SERIE5"));
        session.setDatabaseDirectory(tables.dir());
    }

    void writeText(const char *extension, const QByteArray &cp1252)
    {
        QFile file(base + QLatin1String(extension));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(cp1252);
    }
    void writeSet(const QByteArray &rnm, const QByteArray &ang, const QByteArray &sup,
                  const std::vector<CardRow> &records)
    {
        writeText(".maj", {});
        writeText(".RNM", rnm);
        writeText(".ANG", ang);
        writeText(".SUP", sup);
        writeCardTable(base + QStringLiteral(".DB"), records, QStringLiteral("SERIE5"));
    }
    QString apply(const UpdateOptions &options = UpdateOptions())
    {
        return errorOf([&] { applyUpdateSet(session, base + QStringLiteral(".maj"), options, reports); });
    }

    // Key -> price and counts, for the rows of the card table.
    std::map<QString, QString> rows()
    {
        Table cards;
        cards.setTableName(tables.cardPath());
        cards.open();
        DatasetGuard guard(cards);
        std::map<QString, QString> result;
        for (; !cards.eof(); cards.next()) {
            QStringList key, rest;
            for (int i = 0; i < card::FieldCount; ++i)
                (i < card::KeyFieldCount ? key : rest) << cards.field(i).asString();
            rest.last() = rest.last().isEmpty() ? QStringLiteral("-") : QStringLiteral("image");
            result[key.join(QLatin1Char('/'))] = rest.join(QLatin1Char(' '));
        }
        return result;
    }

    static CardRow pictured(CardRow row)
    {
        row.dessin = QByteArray("\xFF\xD8 image");
        return row;
    }

    TempTables tables{{priced(cp("Ange"), cp("Angel"), cp("Alpha"), 12.0, 2),
                       priced(cp("Ange"), cp("Angel"), cp("Bêta"), 2.0),
                       priced(cp("Ange"), cp("Angel of Mercy"), cp("Bêta"), 1.0),
                       pictured(priced(cp("Ours"), cp("Bear"), cp("Alpha"), -1.0)),
                       priced(cp(""), cp("Plains"), cp("Alpha"), 0.5),
                       priced(cp("Troll"), cp("Troll"), cp("Alpha"), 3.0, 4)}};
    Session session;
    QString base;
    RecordedReports reports;
    // The number format the reports below are written in.
    DefaultLocale french{QLocale::French};
};

} // namespace

TEST_F(UpdateSetFiles, AppliesRenamesDeletionsAndImportWithTheirReports)
{
    CardRow newcomer = priced(cp("Élan"), cp("Elk"), cp("Gamma"), 12.5, 3);
    newcomer.utilise = 2;
    CardRow nameless = priced(cp(""), cp("Swamp"), cp("Gamma"), QVariant(), 0);
    CardRow cheaper = priced(cp("Ours"), cp("Bear"), cp("Alpha"), 9.5); // -1 before: no line
    CardRow dearer = priced(cp("Archange"), cp("Archangel"), cp("Bêta"), 3.0);
    CardRow sameAlpha = priced(cp("Ange"), cp("Archangel"), cp("Alpha"), 9.5);
    sameAlpha.rarete = QStringLiteral("R");
    writeSet(QByteArray("Ange###Archange%%%B\xEAta\r\n"),
             // A card with a French name is found by its English name; a line
             // for no card reports that it failed.
             QByteArray("Angel###Archangel%%%B\xEAta\r\nAngel###Archangel%%%Alpha\r\nGhost###Spirit%%%Alpha\r\n"),
             QByteArray("Troll###Troll%%%Alpha\r\nOurs###Wrong%%%Alpha\r\n"), {newcomer, nameless, cheaper, dearer, sameAlpha});
    const QString desktop = tables.path(QStringLiteral("tabrix.txt"));
    UpdateOptions options;
    options.desktopFile = desktop;

    EXPECT_EQ(apply(options), QString());
    ASSERT_EQ(reports.shown.size(), 3u);
    EXPECT_EQ(reports.shown[0].first, cp("Liste des cartes renommées"));
    EXPECT_EQ(reports.shown[0].second,
              QStringList({cp("Ange(Bêta) est renomé en Archange"), cp("Ange(Bêta) est renomé en Archange"),
                           cp("Angel(Bêta) est renomé en Archangel"),
                           cp("Angel(Alpha) est renomé en Archangel"), cp("Ghost(Alpha) impossible de renomé en Spirit")}));
    EXPECT_EQ(reports.shown[1].first, cp("Liste des cartes Supprimées"));
    EXPECT_EQ(reports.shown[1].second, QStringList({cp("Troll(Alpha) à été supprimée.")}));
    EXPECT_EQ(reports.warnings, QStringList({report::deletionWarning({cp("Troll"), cp("Troll"), cp("Alpha")}, 4)}));
    EXPECT_EQ(reports.shown[2].first, cp("Importation"));
    EXPECT_EQ(reports.shown[2].second,
              QStringList({cp("Devaluation de Ange (Alpha) de 12.0 à  9.5"), cp("Reevaluation de Archange (Bêta) de  2.0 à  3.0"),
                           cp("Apparition de Élan (Gamma) à 12,5 Frs")}));

    // Counts and pictures kept for the cards already there, zero counts for
    // the new ones.
    const std::map<QString, QString> expected = {
        {cp("/Plains/Alpha"), cp("C 0.5 Ver 1G 1 1 Inv 0 1 0 0 -")},
        {cp("/Swamp/Gamma"), cp("C  Ver 1G 1 1 Inv 0 0 0 0 -")},
        {cp("Ange/Archangel/Alpha"), cp("R 9.5 Ver 1G 1 1 Inv 2 1 0 0 -")},
        {cp("Archange/Archangel/Bêta"), cp("C 3 Ver 1G 1 1 Inv 0 1 0 0 -")},
        {cp("Archange/Angel of Mercy/Bêta"), cp("C 1 Ver 1G 1 1 Inv 0 1 0 0 -")},
        {cp("Ours/Bear/Alpha"), cp("C 9.5 Ver 1G 1 1 Inv 0 1 0 0 image")},
        {cp("Élan/Elk/Gamma"), cp("C 12.5 Ver 1G 1 1 Inv 0 0 0 0 -")},
    };
    EXPECT_EQ(rows(), expected);
    EXPECT_TRUE(QFile::exists(desktop));
    EXPECT_EQ(readFile(desktop), QByteArray());
}

// An update set whose table is a Paradox file imports as its SQLite twin.
TEST_F(UpdateSetFiles, ImportsAParadoxUpdateTable)
{
    writeSet({}, {}, {}, {});
    CardRow newcomer = priced(cp("Élan"), cp("Elk"), cp("Gamma"), 12.5, 3);
    std::vector<std::vector<QVariant>> records{paradoxCardRow(priced(cp("Ange"), cp("Angel"), cp("Alpha"), 9.5)),
                                               paradoxCardRow(newcomer)};
    writeParadoxTable(base + QStringLiteral(".DB"), paradoxCardFields(), records, 1252, card::KeyFieldCount, false);

    EXPECT_EQ(apply(), QString());
    ASSERT_FALSE(reports.shown.empty());
    EXPECT_EQ(reports.shown.back().second,
              QStringList({cp("Devaluation de Ange (Alpha) de 12.0 à  9.5"), cp("Apparition de Élan (Gamma) à 12,5 Frs")}));
    const std::map<QString, QString> after = rows();
    EXPECT_EQ(after.at(cp("Ange/Angel/Alpha")), cp("C 9.5 Ver 1G 1 1 Inv 2 1 0 0 -"));
    EXPECT_EQ(after.at(cp("Élan/Elk/Gamma")), cp("C 12.5 Ver 1G 1 1 Inv 0 0 0 0 -"));
}

TEST_F(UpdateSetFiles, OptionsChooseThePriceAndNewCardLines)
{
    writeSet({}, {}, {},
             {priced(cp("Ange"), cp("Angel"), cp("Alpha"), 9.5), priced(cp("Ange"), cp("Angel"), cp("Bêta"), 4.0),
              priced(cp("Neuf"), cp("New"), cp("Alpha"), 1.0)});
    UpdateOptions options;
    options.reevaluation = false;
    options.apparition = false;
    // A desktop file that cannot be written never stops the import.
    options.desktopFile = tables.path(QStringLiteral("absent/tabrix.txt"));
    EXPECT_EQ(apply(options), QString());
    // Empty text files: no report before the import's.
    ASSERT_EQ(reports.shown.size(), 1u);
    EXPECT_EQ(reports.shown[0].second, QStringList({cp("Devaluation de Ange (Alpha) de 12.0 à  9.5")}));
}

TEST_F(UpdateSetFiles, RenameOntoAnotherCardsKeyStopsAtItsLineKeepingWhatWasDone)
{
    // After the French rename, "Bear" -> "Angel" would give the key of the
    // first card.
    writeSet(QByteArray("Ours###Ange%%%Alpha\r\n"), QByteArray("Troll###Trolls%%%Alpha\r\nBear###Angel%%%Alpha\r\n"),
             {}, {});
    const QString error = apply();
    EXPECT_EQ(error.left(error.indexOf(QStringLiteral(" : "))),
              cp("Ligne 2 du fichier ") + QDir::toNativeSeparators(base + QStringLiteral(".ANG"))
                  + cp(" (« Bear###Angel%%%Alpha »)"));
    EXPECT_TRUE(error.contains(cp("Clé en double")));
    EXPECT_TRUE(reports.shown.empty());
    const std::map<QString, QString> after = rows();
    EXPECT_EQ(after.count(cp("Ange/Bear/Alpha")), 1u);
    EXPECT_EQ(after.count(cp("Troll/Trolls/Alpha")), 1u);
    EXPECT_EQ(after.count(cp("Ange/Angel/Alpha")), 1u);
    EXPECT_EQ(after.size(), 6u);
}

TEST_F(UpdateSetFiles, BlankCurrentNameRenamesNothing)
{
    // Two lands without French name and two cards without English name in
    // one edition.
    writeCardTable(tables.cardPath(), {priced(cp(""), cp("Plains"), cp("Alpha"), 0.5),
                                       priced(cp(""), cp("Forest"), cp("Alpha"), 0.5),
                                       priced(cp("Ours"), cp(""), cp("Alpha"), 1.0),
                                       priced(cp("Loup"), cp(""), cp("Alpha"), 1.0)});
    writeSet(QByteArray("###For\xEAt%%%Alpha\r\n"), QByteArray("###Bear%%%Alpha\r\n"), {}, {});
    const std::map<QString, QString> before = rows();

    EXPECT_EQ(apply(), QString());
    EXPECT_EQ(rows(), before);
    // The English line says it found nothing to rename; the French one adds
    // no line, as for any line that finds nothing.
    ASSERT_EQ(reports.shown.size(), 1u);
    EXPECT_EQ(reports.shown[0].first, cp("Liste des cartes renommées"));
    EXPECT_EQ(reports.shown[0].second, QStringList({cp("(Alpha) impossible de renomé en Bear")}));
}

// Sets made on systems that ignore letter case name their table in any case.
TEST_F(UpdateSetFiles, UpdateTableNamedInAnotherLetterCaseIsImported)
{
    writeSet({}, {}, {}, {});
    QFile::remove(base + QStringLiteral(".DB"));
    writeCardTable(base + QStringLiteral(".db"), {priced(cp("Ange"), cp("Angel"), cp("Alpha"), 9.5)});
    EXPECT_EQ(apply(), QString());
    ASSERT_EQ(reports.shown.size(), 1u);
    EXPECT_EQ(reports.shown[0].second, QStringList({cp("Devaluation de Ange (Alpha) de 12.0 à  9.5")}));
}

namespace {

void makeTable(const QString &path, const char *sql)
{
    QFile::remove(path);
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char *message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

const char *const Fields = "(a TEXT, b TEXT, c TEXT, d TEXT, e TEXT, f TEXT, g TEXT, h TEXT, i TEXT, j TEXT, "
                           "k TEXT, l TEXT, m TEXT";

} // namespace

TEST_F(UpdateSetFiles, BadFilesStopTheUpdateBeforeAnyChangeWithAMessage)
{
    // Every file of the set is read before the first rename: a missing one
    // leaves the card table as it was.
    writeSet(QByteArray("Ours###Oursin%%%Alpha\r\n"), {}, {}, {});
    const std::map<QString, QString> before = rows();
    for (const char *extension : {".ANG", ".SUP", ".DB"}) {
        SCOPED_TRACE(extension);
        const QString missing = base + QLatin1String(extension);
        ASSERT_TRUE(QFile::rename(missing, missing + QStringLiteral(".absent")));
        const QString message = apply();
        EXPECT_TRUE(message.endsWith(QDir::toNativeSeparators(missing))) << message.toStdString();
        EXPECT_EQ(rows(), before);
        ASSERT_TRUE(QFile::rename(missing + QStringLiteral(".absent"), missing));
    }

    // Nor does an update table that cannot be imported whole.
    const QString table = base + QStringLiteral(".DB");
    const QString shown = QDir::toNativeSeparators(table);
    struct Case {
        const char *what;
        std::function<void()> write;
        QString message;
    } cases[] = {
        {"not a table",
         [&] {
             QFile file(table);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray(4096, '\x42'));
         },
         cp("Le fichier « %1 » n'est pas une table de base de données.")},
        {"thirteen fields",
         [&] { makeTable(table, (QByteArray("CREATE TABLE T ") + Fields + ");").constData()); },
         cp("La table de mise à jour « %1 » n'a que 13 champs : il en faut au moins 14.")},
        {"a trigger",
         [&] {
             makeTable(table, (QByteArray("CREATE TABLE T ") + Fields + ", n TEXT);"
                               "CREATE TRIGGER G AFTER UPDATE ON T BEGIN DELETE FROM T; END;")
                                  .constData());
         },
         cp("La table de mise à jour « %1 » contient un déclencheur ou une vue (« G ») : elle n'est pas importée.")},
        {"a view", [&] { makeTable(table, (QByteArray("CREATE TABLE T ") + Fields + ", n TEXT); CREATE VIEW V AS SELECT * FROM T;").constData()); },
         cp("La table de mise à jour « %1 » contient un déclencheur ou une vue (« V ») : elle n'est pas importée.")},
        {"a value the card table cannot hold",
         [&] {
             makeTable(table, (QByteArray("CREATE TABLE T ") + Fields + ", n TEXT);"
                               "INSERT INTO T VALUES ('Neuf', 'New', 'Alpha', 'C', '1', 'Ver', '', '', '', 'Inv', 0, 0, 0, 0);"
                               "INSERT INTO T VALUES ('Pie', 'Magpie', 'Alpha', 'C', 'cher', 'Ver', '', '', '', 'Inv', 0, 0, 0, 0);")
                                  .constData());
         },
         cp("Enregistrement 2 de la table de mise à jour « %1 », champ Cote : 'cher' n'est pas une valeur numérique "
            "correcte.")},
        {"a huge value",
         [&] {
             makeTable(table, (QByteArray("CREATE TABLE T ") + Fields + ", n TEXT);"
                               "INSERT INTO T VALUES (CAST(zeroblob(20000000) AS TEXT), '', '', '', '', '', '', '', '', "
                               "'', 0, 0, 0, 0);")
                                  .constData());
         },
         cp("Une valeur est trop grande pour la table « %1 »")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.write();
        reports.shown.clear();
        const QString message = apply();
        EXPECT_TRUE(message.startsWith(c.message.arg(shown))) << message.toStdString();
        EXPECT_TRUE(reports.shown.empty());
        EXPECT_EQ(rows(), before);
    }
}

TEST_F(UpdateSetFiles, NamesWithControlCharactersOrBytesAreRefusedBeforeAnyChange)
{
    writeSet(QByteArray("Ours###Oursin%%%Alpha\r\n"), {}, {}, {});
    const std::map<QString, QString> before = rows();
    const QString table = base + QStringLiteral(".DB");
    // The message, once the update has changed nothing.
    const auto refused = [&](const QString &message) {
        EXPECT_TRUE(reports.shown.empty());
        EXPECT_EQ(rows(), before);
        return message;
    };
    const QString shownBase = QDir::toNativeSeparators(base);
    // The second record gets the value at the field's position.
    const struct {
        int position;
        const char *value, *message;
    } records[] = {
        {0, "'Pie' || char(9)", "des caractères de contrôle dans le champ Nom_français."},
        {1, "'Mag' || char(10) || 'pie'", "des caractères de contrôle dans le champ Nom_anglais."},
        {2, "'Alpha' || char(13)", "des caractères de contrôle dans le champ Origine."},
        {9, "char(7) || 'Inv'", "des caractères de contrôle dans le champ Type."},
        {0, "X'00506965'", "des données binaires dans le champ Nom_français."},
    };
    for (const auto &record : records) {
        SCOPED_TRACE(record.value);
        QStringList values = {"'Pie'", "'Magpie'", "'Alpha'", "'C'", "1", "'Ver'", "''",
                              "''", "''", "'Inv'", "0", "0", "0", "0"};
        values[record.position] = QString::fromLatin1(record.value);
        makeTable(table, (QByteArray("CREATE TABLE T ") + Fields + ", n TEXT); INSERT INTO T VALUES ('Neuf', 'New', "
                          "'Alpha', 'C', 1, 'Ver', '', '', '', 'Inv', 0, 0, 0, 0), (" + values.join(", ").toUtf8() + ");")
                             .constData());
        const QString message = apply();
        EXPECT_EQ(message, refused(cp("La table de mise à jour « ") + shownBase
                                   + cp(".DB » n'est pas importée : la ligne 2 contient ") + cp(record.message)));
    }

    // The new names of the rename files as well.
    writeCardTable(table, {});
    writeText(".RNM", "Troll###Troll%%%Alpha\r\nOurs###Our\tson%%%Alpha\r\n");
    QString message = apply();
    EXPECT_EQ(message, refused(cp("Le fichier de mise à jour « ") + shownBase
                               + cp(".RNM » n'est pas appliqué : la ligne 2 contient des caractères de contrôle "
                                    "dans le champ Nom_français.")));
    writeText(".RNM", "Ours###Oursin%%%Alpha\r\n");
    writeText(".ANG", "Bear###Be\nar%%%Alpha\r\n");
    message = apply();
    EXPECT_EQ(message, refused(cp("Le fichier de mise à jour « ") + shownBase
                               + cp(".ANG » n'est pas appliqué : la ligne 1 contient des caractères de contrôle "
                                    "dans le champ Nom_anglais.")));
}

namespace {

class UpdateWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(program.status, 0);
        windows().miseAJour->setDesktopFile(program.tables.path(QStringLiteral("tabrix.txt")));
    }

    // A set that renames, deletes a card of which one copy is declared and
    // brings a new card; returns its ".maj" path.
    QString writeSet(const QString &name = QStringLiteral("MAJ"))
    {
        const QString base = program.tables.path(name);
        for (const char *extension : {".maj", ".RNM", ".ANG", ".SUP"}) {
            QFile file(base + QLatin1String(extension));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            if (QByteArray(extension) == ".RNM")
                file.write("Ours###Ourson%%%Alpha\r\n");
            if (QByteArray(extension) == ".SUP")
                file.write("Ange###Angel%%%Alpha\r\n");
        }
        writeCardTable(base + QStringLiteral(".DB"), {makeCard(cp("Pie"), cp("Magpie"), cp("Beta"), 5)});
        return base + QStringLiteral(".maj");
    }

    // Reads each report the report window shows, then closes it with a
    // click on "&Fermer", as the user does.
    void readReports()
    {
        TImportation *reportWindow = windows().importation;
        QObject::connect(&reader, &QTimer::timeout, [this, reportWindow] {
            if (!reportWindow->isVisible())
                return;
            QStringList lines;
            for (int row = 0; row < reportWindow->listBox1()->count(); ++row)
                lines << reportWindow->listBox1()->item(row)->text();
            shown.push_back({reportWindow->windowTitle(), lines});
            QPushButton *close = reportWindow->findChild<QPushButton *>("BitBtn1");
            QTest::mouseClick(close, Qt::LeftButton);
        });
        reader.start(10);
    }

    // The reports of the set of writeSet().
    static std::vector<std::pair<QString, QStringList>> setReports()
    {
        return {{cp("Liste des cartes renommées"), {cp("Ours(Alpha) est renomé en Ourson")}},
                {cp("Liste des cartes Supprimées"), {cp("Ange(Alpha) à été supprimée.")}},
                {cp("Importation"), {cp("Apparition de Pie (Beta) à 1 Frs")}}};
    }

    ScriptedDialogs dialogs;
    StartedProgram program{{makeCard(cp("Ange"), cp("Angel"), cp("Alpha"), 1), makeCard(cp("Ours"), cp("Bear"), cp("Alpha"))}};
    QTimer reader;
    std::vector<std::pair<QString, QStringList>> shown;
};

} // namespace

TEST_F(UpdateWindowTest, MenuAppliesTheChosenSetShowsItsReportsAndRebuildsTheEntryLists)
{
    TMiseAJour *update = windows().miseAJour;
    ASSERT_NE(update, nullptr);
    ASSERT_NE(windows().importation, nullptr);
    EXPECT_EQ(update->windowTitle(), cp("Mise à jour"));
    EXPECT_EQ(update->property("helpContext").toInt(), 5);

    const QString chosen = writeSet();
    dialogs.files.push_back(chosen);
    readReports();
    whenShown(update, [&] {
        update->findChild<QPushButton *>("BitBtn1")->click();
        EXPECT_EQ(update->findChild<QPushButton *>("BitBtn1")->text(), QDir::toNativeSeparators(chosen));
        update->findChild<QPushButton *>("BitBtn2")->click();
    });
    windows().rechercheDeCartes->FormShow();
    ASSERT_EQ(windows().rechercheDeCartes->frenchLines().size(), 2);
    static_cast<TPrincipale *>(windows().principale)->findChild<QAction *>("MisejourImportation1")->trigger();
    reader.stop();

    EXPECT_FALSE(update->isVisible());
    EXPECT_EQ(dialogs.filters, QStringList({cp("Fichier de mise-à-jour|*.maj")}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(cp("Attention, la carte \"Ange (Alpha)\" n'existe pas")));
    EXPECT_EQ(shown, setReports());
    EXPECT_TRUE(dialogs.errors.isEmpty());

    // The card entry window builds its lists from the updated table.
    EXPECT_TRUE(windows().rechercheDeCartes->frenchLines().isEmpty());
    windows().rechercheDeCartes->FormShow();
    EXPECT_EQ(windows().rechercheDeCartes->frenchLines(), QStringList({cp("Ourson (Alpha)"), cp("Pie (Beta)")}));
}

// Clicks and keys that reach the window while the update runs (the window
// system gets its turn between the steps) start nothing: no second update,
// no other set chosen half-way, no closing; the reports and the warning
// still take theirs.
TEST_F(UpdateWindowTest, InputQueuedDuringTheUpdateIsHeld)
{
    TMiseAJour *update = windows().miseAJour;
    QPushButton *choose = update->findChild<QPushButton *>("BitBtn1");
    QPushButton *import = update->findChild<QPushButton *>("BitBtn2");
    dialogs.files = {writeSet(), writeSet(QStringLiteral("AUTRE"))};
    readReports();
    whenShown(update, [&] {
        choose->click();
        const auto queueClick = [](QWidget *button) {
            const QPointF centre = QRectF(button->rect()).center();
            for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QCoreApplication::postEvent(button, new QMouseEvent(type, centre, button->mapToGlobal(centre),
                                                                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        };
        const auto queueKey = [update](int key) {
            for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
                QCoreApplication::postEvent(update, new QKeyEvent(type, key, Qt::NoModifier));
        };
        queueClick(import);
        queueKey(Qt::Key_Return);
        queueClick(choose);
        queueKey(Qt::Key_Escape);
        import->click();
    });
    update->exec();
    reader.stop();

    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(dialogs.filters.size(), 1);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(shown, setReports());
    EXPECT_EQ(update->result(), QDialog::Accepted);
    EXPECT_EQ(backup::listBackups(backup::folderFor(program.tables.cardPath())).size(), 1);
    EXPECT_EQ(choose->text(), QDir::toNativeSeparators(program.tables.path(QStringLiteral("MAJ.maj"))));
}

// The window keeps the size it is given, and everything in it shows whole.
TEST_F(UpdateWindowTest, WindowIs330By174)
{
    TMiseAJour *update = windows().miseAJour;
    update->show();
    EXPECT_EQ(update->size(), QSize(330, 174));
    EXPECT_LE(update->minimumSizeHint().width(), 330);
    EXPECT_LE(update->minimumSizeHint().height(), 174);
    update->hide();
}

TEST_F(UpdateWindowTest, ImportWithoutAChosenFileSaysSoAndStaysOpen)
{
    TMiseAJour *update = windows().miseAJour;
    whenShown(update, [&] {
        update->BitBtn2Click();
        EXPECT_TRUE(update->isVisible());
        update->reject();
    });
    update->exec();
    EXPECT_EQ(dialogs.errors, QStringList({cp("Choisissez d'abord le fichier de mise à jour (bouton « Nom du fichier »).")}));
}
