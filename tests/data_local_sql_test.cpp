// The local SQL statements the program builds, run on real card tables.
#include "data/card_table.h"
#include "data/database.h"
#include "data/error.h"
#include "data/local_sql.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "data/table.h"
#include "tests/support/printing.h"
#include "tests/support/temp_tables.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace {

QList<bool> cardNumericColumns()
{
    QList<bool> numeric;
    for (int i = 0; i < card::FieldCount; ++i)
        numeric << (i == card::Cote || i == card::Force || i == card::Endurance || (i >= card::Dispo && i <= card::Cherche));
    return numeric;
}

CardRow card(const QString &french, const QString &edition, const QString &couleur, const QString &type,
             const QString &rarete, int dispo = 0, int utilise = 0)
{
    CardRow row = makeCard(french, french + QStringLiteral(" (en)"), edition, dispo, utilise);
    row.couleur = couleur;
    row.type = type;
    row.rarete = rarete;
    return row;
}

class LocalSqlTest : public ::testing::Test
{
protected:
    void use(const std::vector<CardRow> &rows)
    {
        m_tables = std::make_unique<TempTables>(rows);
        m_database.setName(QStringLiteral("Vexar"));
        m_database.params() = {QStringLiteral("PATH=") + m_tables->dir()};
    }

    QString fullPath() const { return m_tables->dir() + QDir::separator() + card::TableFile; }

    // Runs a statement on the database and returns one field of every row.
    QStringList run(const QStringList &lines, int position = card::NomFrancais)
    {
        Query query(&m_database);
        query.sql() = lines;
        query.open();
        QStringList values;
        for (; !query.eof(); query.next())
            values << query.field(position).asString();
        query.close();
        return values;
    }

    QStringList search(const QStringList &criteria)
    {
        QStringList lines{QStringLiteral("SELECT * FROM CARTES WHERE")};
        for (const QString &criterion : criteria) {
            if (lines.size() > 1)
                lines << QStringLiteral("AND");
            lines << criterion;
        }
        QStringList names = run(lines);
        names.sort();
        return names;
    }

    std::unique_ptr<TempTables> m_tables;
    Database m_database;
};

// --- Translation --------------------------------------------------------------

TEST(LocalSqlTranslation, ConstantsAreBoundAndFieldsResolvedToTheirColumns)
{
    const QStringList columns = card::fieldNames();
    const QList<bool> numeric = cardNumericColumns();
    const localsql::Statement statement = localsql::parse(
        QStringLiteral("SELECT * FROM CARTES WHERE (UPPER (nom_Français) LIKE '%L''ANGE%') AND "
                       "Origine = \"Le \"\"Grand\"\" Livre\" AND (Force >= '-2.5') AND COÛT = 2"),
        columns, numeric);
    EXPECT_EQ(statement.table, QStringLiteral("CARTES"));
    EXPECT_FALSE(statement.tableIsPath);
    EXPECT_FALSE(statement.condition.contains(QStringLiteral("ANGE")));
    EXPECT_TRUE(statement.condition.contains(QStringLiteral("upper(\"Nom_français\") LIKE ?")));
    EXPECT_TRUE(statement.condition.contains(QStringLiteral("\"Coût\" = ?")));
    ASSERT_EQ(statement.binds.size(), 4);
    EXPECT_EQ(statement.binds[0], QVariant(QStringLiteral("%L'ANGE%")));
    EXPECT_EQ(statement.binds[1], QVariant(QStringLiteral("Le \"Grand\" Livre")));
    EXPECT_EQ(statement.binds[2], QVariant(-2.5));
    EXPECT_EQ(statement.binds[3], QVariant(QStringLiteral("2"))); // text field: compared as text
}

TEST(LocalSqlTranslation, TableIsANameOrAFullPath)
{
    bool isPath = false;
    EXPECT_EQ(localsql::parseTable(QStringLiteral("SELECT DISTINCT Origine FROM \"/d/my \"\"x\"\"/CARTES.DB\""), &isPath),
              QStringLiteral("/d/my \"x\"/CARTES.DB"));
    EXPECT_TRUE(isPath);
    EXPECT_EQ(localsql::parseTable(QStringLiteral("select * from Cartes.DB where x = 1"), &isPath),
              QStringLiteral("Cartes.DB"));
    EXPECT_FALSE(isPath);
}

TEST(LocalSqlTranslation, BadStatementsGiveFrenchSyntaxErrors)
{
    const QStringList columns = card::fieldNames();
    struct Case {
        const char *text;
        const char *message;
    };
    const std::vector<Case> cases = {
        {"SELECT * FROM CARTES WHERE", "Erreur de syntaxe dans la requête près de « WHERE » : la requête est incomplète."},
        {"SELECT * FROM CARTES WHERE (Force >= 3", "Erreur de syntaxe dans la requête près de « 3 » : la requête est incomplète."},
        {"SELECT * FROM CARTES WHERE Force >= 12abc", "Erreur de syntaxe dans la requête près de « 12abc »."},
        {"SELECT * FROM CARTES WHERE Force >= 1,5", "Erreur de syntaxe dans la requête près de « , »."},
        {"SELECT * FROM CARTES ORDER BY Force", "Erreur de syntaxe dans la requête près de « ORDER »."},
        {"SELECT * FROM CARTES WHERE Nom_français = 'x", "Erreur de syntaxe dans la requête : la constante 'x n'est pas fermée."},
        {"SELECT * FROM CARTES WHERE Prix > 3", "Champ 'Prix' introuvable."},
        {"SELECT * FROM CARTES WHERE (Force >= abc)", "'abc' n'est pas une valeur numérique correcte."},
        {"SELECT * FROM CARTES WHERE (Force >= Endurance) AND (Type = abc)", "Champ 'abc' introuvable."},
        {"SELECT * FROM CARTES WHERE Dispo > 0 AND", "Erreur de syntaxe dans la requête près de « AND » : la requête est incomplète."},
        {"", "Erreur de syntaxe dans la requête : la requête est vide."},
    };
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(errorOf([&] { localsql::parse(text, columns, cardNumericColumns()); }), QString::fromUtf8(c.message))
            << c.text;
    }
}

TEST(LocalSqlTranslation, DeepNestingIsRefusedWithAMessageInsteadOfOverflowingTheStack)
{
    const QString message = QStringLiteral(
        "La requête est trop imbriquée : elle dépasse 16 niveaux de parenthèses, de NOT ou de UPPER.");
    const QString head = QStringLiteral("SELECT * FROM CARTES WHERE ");
    const struct {
        const char *what;
        QString condition;
    } cases[] = {
        {"parentheses", QStringLiteral("(").repeated(10000) + QStringLiteral("Dispo = 1") + QStringLiteral(")").repeated(10000)},
        {"NOT", QStringLiteral("NOT ").repeated(10000) + QStringLiteral("Dispo = 1")},
        {"UPPER", QStringLiteral("UPPER(").repeated(10000) + QStringLiteral("Type") + QStringLiteral(")").repeated(10000)
                      + QStringLiteral(" = 'INV'")},
        {"one level too many", QStringLiteral("(NOT ").repeated(8) + QStringLiteral("(Dispo = 1)") + QStringLiteral(")").repeated(8)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(errorOf([&] { localsql::parse(head + c.condition, card::fieldNames(), cardNumericColumns()); }), message)
            << c.what;
}

TEST(LocalSqlTranslation, LongOrChainTranslatesTermByTerm)
{
    const int terms = 40000;
    QStringList written, translated;
    for (int i = 0; i < terms; ++i) {
        written << QStringLiteral("Dispo = %1").arg(i);
        translated << QStringLiteral("\"Dispo\" = ?");
    }
    const localsql::Statement statement = localsql::parse(
        QStringLiteral("SELECT * FROM CARTES WHERE ") + written.join(QStringLiteral(" OR ")), card::fieldNames(),
        cardNumericColumns());
    EXPECT_EQ(statement.condition, translated.join(QStringLiteral(" OR ")));
    ASSERT_EQ(statement.binds.size(), terms);
    EXPECT_EQ(statement.binds.first(), QVariant(qint64(0)));
    EXPECT_EQ(statement.binds.last(), QVariant(qint64(terms - 1)));
}

// --- Edition list and edition selection ------------------------------------------

TEST_F(LocalSqlTest, EditionListReadsEachEditionOnceByFullPath)
{
    use({card(QStringLiteral("Elfe"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C")),
         card(QStringLiteral("Orc"), QStringLiteral("Base"), QStringLiteral("Rge"), QStringLiteral("Inv"), QStringLiteral("C")),
         card(QStringLiteral("Elfe"), QStringLiteral("Antiquités"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C")),
         card(QStringLiteral("Ange"), QStringLiteral("Légendes"), QStringLiteral("Bla"), QStringLiteral("Inv"), QStringLiteral("R"))});
    Query query; // no database: the table is named by its full path
    query.sql() << QStringLiteral("SELECT DISTINCT Origine") << QStringLiteral("FROM \"") + fullPath() + QStringLiteral("\"");
    query.open();
    EXPECT_EQ(query.fieldCount(), 1);
    EXPECT_EQ(query.fieldName(0), QStringLiteral("Origine"));
    QStringList editions;
    for (; !query.eof(); query.next())
        editions << query.fieldByName(QStringLiteral("ORIGINE")).asString();
    editions.sort();
    EXPECT_EQ(editions, (QStringList{QStringLiteral("Antiquités"), QStringLiteral("Base"), QStringLiteral("Légendes")}));
    EXPECT_EQ(query.recordCount(), 3);
}

TEST_F(LocalSqlTest, LiveEditionSelectionEditsTheTable)
{
    use({card(QStringLiteral("Elfe"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C"), 1),
         card(QStringLiteral("Orc"), QStringLiteral("Base"), QStringLiteral("Rge"), QStringLiteral("Inv"), QStringLiteral("C"), 1),
         card(QStringLiteral("Elfe"), QStringLiteral("Antiquités"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C"), 1)});
    Query selection;
    selection.setLive(true);
    selection.sql() << QStringLiteral("SELECT * FROM \"") + fullPath() + QStringLiteral("\"")
                    << QStringLiteral("WHERE Origine = ") + sql::quoteDouble(QStringLiteral("Base"));
    selection.open();
    EXPECT_EQ(selection.recordCount(), 2);
    EXPECT_EQ(selection.fieldCount(), card::FieldCount);
    int rows = 0;
    for (selection.first(); !selection.eof(); selection.next()) {
        EXPECT_EQ(selection.field(card::Origine).asString(), QStringLiteral("Base"));
        selection.edit();
        selection.field(card::Dispo).setAsInteger(7);
        selection.post();
        ++rows;
    }
    EXPECT_EQ(rows, 2);
    selection.close();

    EXPECT_EQ(run({QStringLiteral("SELECT *"), QStringLiteral("FROM CARTES"), QStringLiteral("WHERE Dispo = 7")}),
              (QStringList{QStringLiteral("Elfe"), QStringLiteral("Orc")}));
    EXPECT_EQ(run({QStringLiteral("SELECT *"), QStringLiteral("FROM CARTES"), QStringLiteral("WHERE Origine = \"Antiquités\"")},
                  card::Dispo),
              QStringList{QStringLiteral("1")});
}

TEST_F(LocalSqlTest, QueryWithoutDatabaseNeedsAFullPath)
{
    use({});
    Query query;
    query.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES");
    EXPECT_TRUE(errorOf([&] { query.open(); }).contains(QStringLiteral("chemin complet")));
    Query missing;
    missing.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM \"") + m_tables->dir() + QStringLiteral("/NULLE.DB\"");
    EXPECT_TRUE(errorOf([&] { missing.open(); }).startsWith(QStringLiteral("Table introuvable : ")));
    Query other;
    other.setRequiredFields({QStringLiteral("Nom"), QStringLiteral("Prix")});
    other.sql() << QStringLiteral("SELECT * FROM \"") + fullPath() + QStringLiteral("\"");
    EXPECT_TRUE(errorOf([&] { other.open(); }).contains(QStringLiteral("n'a pas la structure attendue")));
}

TEST_F(LocalSqlTest, ChangedStatementOnAnOpenQueryRunsTheNewOne)
{
    use({card(QStringLiteral("Elfe"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C"), 1),
         card(QStringLiteral("Orc"), QStringLiteral("Base"), QStringLiteral("Rge"), QStringLiteral("Inv"), QStringLiteral("C"), 0)});
    Query query(&m_database);
    query.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES") << QStringLiteral("WHERE Dispo > 0");
    query.open();
    EXPECT_EQ(query.field(card::NomFrancais).asString(), QStringLiteral("Elfe"));
    query.sql().last() = QStringLiteral("WHERE Dispo = 0");
    query.open();
    EXPECT_EQ(query.field(card::NomFrancais).asString(), QStringLiteral("Orc"));
    query.close();
    EXPECT_TRUE(errorOf([&] { query.field(card::NomFrancais).asString(); }).contains(QStringLiteral("n'est pas ouverte")));
}

TEST_F(LocalSqlTest, UsedAndUnusedCardsSplitOnUtilise)
{
    CardRow blank = card(QStringLiteral("Sans compte"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C"));
    CardRow negative = card(QStringLiteral("Négatif"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C"), 0, -1);
    use({card(QStringLiteral("Elfe"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C"), 0, 2),
         card(QStringLiteral("Elfe"), QStringLiteral("Antiquités"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C"), 0, 1),
         card(QStringLiteral("Orc"), QStringLiteral("Base"), QStringLiteral("Rge"), QStringLiteral("Inv"), QStringLiteral("C"), 4, 0),
         negative, blank});
    {
        // A blank count (NULL) is in neither list.
        Table table(&m_database);
        table.setTableName(card::TableFile);
        table.open();
        ASSERT_TRUE(table.findKey({blank.nomFrancais, blank.nomAnglais, blank.origine}));
        table.edit();
        table.field(card::Utilise).clear();
        table.post();
    }
    EXPECT_EQ(run({QStringLiteral("SELECT *"), QStringLiteral("FROM CARTES"), QStringLiteral("WHERE Utilise > 0")}, card::Origine),
              (QStringList{QStringLiteral("Antiquités"), QStringLiteral("Base")}));
    EXPECT_EQ(run({QStringLiteral("SELECT *"), QStringLiteral("FROM CARTES"), QStringLiteral("WHERE Utilise = 0")}),
              QStringList{QStringLiteral("Orc")});
}

// --- Search statements ------------------------------------------------------------------

class SearchTest : public LocalSqlTest
{
protected:
    void SetUp() override
    {
        CardRow strong = card(QStringLiteral("Dragon rouge"), QStringLiteral("Base"), QStringLiteral("Rge"), QStringLiteral("Inv"), QStringLiteral("R"), 1);
        strong.force = 5;
        strong.endurance = 5;
        strong.cout = QStringLiteral("4RR");
        CardRow weak = card(QStringLiteral("dragonnet"), QStringLiteral("Base"), QStringLiteral("Rge"), QStringLiteral("Inv"), QStringLiteral("R"), 0, 2);
        weak.force = 1.5;
        weak.endurance = QVariant();
        weak.cout = QStringLiteral("2nn");
        CardRow shy = card(QStringLiteral("Élan royal"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("U"));
        shy.cout = QStringLiteral("2NN");
        use({strong, weak, shy,
             card(QStringLiteral("Petit dragon"), QStringLiteral("Base"), QStringLiteral("Rge"), QStringLiteral("Inv"), QStringLiteral("C")),
             card(QStringLiteral("Dragon vert"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("R")),
             card(QStringLiteral("Dragon d'or"), QStringLiteral("Base"), QStringLiteral("Or"), QStringLiteral("Art"), QStringLiteral("R")),
             card(QStringLiteral("élan sauvage"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Inv"), QStringLiteral("C")),
             card(QStringLiteral("L'ange gardien"), QStringLiteral("Base"), QStringLiteral("Bla"), QStringLiteral("Enc"), QStringLiteral("U")),
             card(QStringLiteral("Mur d'ange"), QStringLiteral("Base"), QStringLiteral("Bla"), QStringLiteral("C.Art"), QStringLiteral("C")),
             card(QStringLiteral("Golem"), QStringLiteral("Base"), QStringLiteral("Inc"), QStringLiteral("Art"), QStringLiteral("U"))});
    }
};

TEST_F(SearchTest, WorkedExampleFindsTheRareRedDragons)
{
    EXPECT_EQ(run({QStringLiteral("SELECT * FROM CARTES WHERE"), QStringLiteral("(UPPER (nom_français) LIKE '%DRAGON%')"),
                   QStringLiteral("AND"), QStringLiteral("((Couleur = 'Rge'))"), QStringLiteral("AND"),
                   QStringLiteral("((Rarete = 'R'))")}),
              (QStringList{QStringLiteral("Dragon rouge"), QStringLiteral("dragonnet")}));
}

TEST_F(SearchTest, CriteriaSelectTheRowsTheyDescribe)
{
    struct Case {
        QStringList criteria;
        QStringList names;
    };
    const std::vector<Case> cases = {
        // The apostrophe doubled inside the pattern.
        {{QStringLiteral("(UPPER (nom_français) LIKE '%L''ANGE%')")}, {QStringLiteral("L'ange gardien")}},
        // UPPER leaves é as it is and LIKE is case-sensitive: only the
        // lower-case é matches '%éLAN%'.
        {{QStringLiteral("(UPPER (nom_français) LIKE '%éLAN%')")}, {QStringLiteral("élan sauvage")}},
        {{QStringLiteral("(UPPER (nom_français) LIKE '%ÉLAN%')")}, {QStringLiteral("Élan royal")}},
        {{QStringLiteral("(nom_français LIKE '%dragon%')")}, {QStringLiteral("Petit dragon"), QStringLiteral("dragonnet")}},
        // _ stands for exactly one character, an accented one included.
        {{QStringLiteral("(UPPER (nom_français) LIKE '_LAN%')")}, {QStringLiteral("Élan royal"), QStringLiteral("élan sauvage")}},
        {{QStringLiteral("(UPPER (nom_français) LIKE 'DRAGON_R%')")}, {QStringLiteral("Dragon rouge")}},
        {{QStringLiteral("(UPPER (nom_français) LIKE 'DRAGON%')")},
         {QStringLiteral("Dragon d'or"), QStringLiteral("Dragon rouge"), QStringLiteral("Dragon vert"), QStringLiteral("dragonnet")}},
        {{QStringLiteral("(UPPER (nom_anglais) LIKE '%GOLEM (EN)')")}, {QStringLiteral("Golem")}},
        {{QStringLiteral("((Couleur = 'Or'))")}, {QStringLiteral("Dragon d'or")}},
        {{QStringLiteral("((Couleur = 'Rge') OR (Couleur = 'Ver'))"), QStringLiteral("((Rarete = 'U'))")}, {QStringLiteral("Élan royal")}},
        {{QStringLiteral("((Type = 'Art') OR(Type = 'Enc'))")},
         {QStringLiteral("Dragon d'or"), QStringLiteral("Golem"), QStringLiteral("L'ange gardien")}},
        {{QStringLiteral("((Type = 'C.Art'))")}, {QStringLiteral("Mur d'ange")}},
        {{QStringLiteral("(Coût = '2nn')")}, {QStringLiteral("dragonnet")}},
        {{QStringLiteral("(Force >= 3)")}, {QStringLiteral("Dragon rouge")}},
        {{QStringLiteral("(Force >= 1.5)"), QStringLiteral("(Force <= 1.5)")}, {QStringLiteral("dragonnet")}},
        {{QStringLiteral("(Endurance <= 4)"), QStringLiteral("(Force >= -1)"), QStringLiteral("((Couleur = 'Rge'))")},
         {QStringLiteral("Petit dragon")}},
        {{QStringLiteral("(Dispo > 0)")}, {QStringLiteral("Dragon rouge")}},
        {{QStringLiteral("((Rarete = 'C') OR(Rarete = 'U') OR(Rarete = 'R'))"), QStringLiteral("(NOT (Couleur = 'Ver'))"),
          QStringLiteral("(Couleur <> 'Bla')"), QStringLiteral("(Type <> 'Art')")},
         {QStringLiteral("Dragon rouge"), QStringLiteral("Petit dragon"), QStringLiteral("dragonnet")}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(search(c.criteria), c.names) << c.criteria.join(QLatin1Char(' ')).toStdString();
}

// What the translator accepts SQLite runs: a long chain, and the deepest
// nesting allowed with pending OR and AND at every level.
TEST_F(SearchTest, LongChainsAndTheDeepestNestingRun)
{
    QStringList rarities;
    for (int i = 0; i < 500; ++i)
        rarities << QStringLiteral("Rarete = 'Z%1'").arg(i);
    rarities << QStringLiteral("Rarete = 'U'");
    EXPECT_EQ(search({rarities.join(QStringLiteral(" OR "))}),
              (QStringList{QStringLiteral("Golem"), QStringLiteral("L'ange gardien"), QStringLiteral("Élan royal")}));

    const QString level = QStringLiteral("(Dispo > 9 OR Force >= 0 AND ");
    EXPECT_EQ(search({level.repeated(15) + QStringLiteral("UPPER(nom_français) LIKE 'DRAGON R%'") + QStringLiteral(")").repeated(15)}),
              QStringList{QStringLiteral("Dragon rouge")});
}

TEST_F(SearchTest, RejectedStatementsOpenNothing)
{
    const std::vector<QStringList> statements = {
        {QStringLiteral("SELECT * FROM CARTES WHERE")},
        {QStringLiteral("SELECT * FROM CARTES WHERE"), QStringLiteral("(Force >= abc)")},
        {QStringLiteral("SELECT * FROM CARTES WHERE"), QStringLiteral("(Force >= 'abc')")},
        {QStringLiteral("SELECT * FROM CARTES WHERE"), QStringLiteral("(UPPER (nom_français) LIKE '%DRAG")},
    };
    for (const QStringList &lines : statements) {
        Query query(&m_database);
        query.sql() = lines;
        EXPECT_FALSE(errorOf([&] { query.open(); }).isEmpty()) << lines.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(query.isOpen());
    }
    Query query(&m_database);
    query.sql() << QStringLiteral("SELECT * FROM CARTES WHERE") << QStringLiteral("(Force >= 'abc')");
    EXPECT_EQ(errorOf([&] { query.open(); }), QStringLiteral("'abc' n'est pas une valeur numérique correcte."));
}

// --- Classification statements --------------------------------------------------------------

TEST_F(LocalSqlTest, ClassificationStatementsListAvailableCardsOfOneColourAndType)
{
    const QStringList colours = {QStringLiteral("Ver"), QStringLiteral("Rge"), QStringLiteral("Noi"), QStringLiteral("Ble"),
                                 QStringLiteral("Bla"), QStringLiteral("Or"), QStringLiteral("Inc")};
    const QStringList usualTypes = {QStringLiteral("Inv"), QStringLiteral("Eph"), QStringLiteral("Rit"),
                                    QStringLiteral("Enc"), QStringLiteral("Int"), QStringLiteral("Mana sourc")};
    const QStringList artefactTypes = {QStringLiteral("C. Art"), QStringLiteral("Eph"), QStringLiteral("Rit"),
                                       QStringLiteral("Art"), QStringLiteral("Int"), QStringLiteral("Ter")};
    // One available card per colour and type, one with only used copies,
    // and cards whose codes are written in other forms.
    std::vector<CardRow> rows;
    QStringList allTypes = usualTypes + artefactTypes;
    allTypes.removeDuplicates();
    for (const QString &colour : colours) {
        for (const QString &type : allTypes) {
            rows.push_back(card(colour + QLatin1Char('/') + type, QStringLiteral("Base"), colour, type, QStringLiteral("C"), 2, 1));
            rows.push_back(card(colour + QLatin1Char('/') + type, QStringLiteral("Ancienne"), colour, type, QStringLiteral("C"), 0, 3));
        }
    }
    rows.push_back(card(QStringLiteral("Vert en entier"), QStringLiteral("Base"), QStringLiteral("Vert"), QStringLiteral("Inv"), QStringLiteral("C"), 1));
    rows.push_back(card(QStringLiteral("Jeton"), QStringLiteral("Base"), QStringLiteral("Ver"), QStringLiteral("Token"), QStringLiteral("C"), 1));
    rows.push_back(card(QStringLiteral("Incolore point"), QStringLiteral("Base"), QStringLiteral("Inc."), QStringLiteral("Art"), QStringLiteral("C"), 1));
    use(rows);

    int statements = 0;
    for (const QString &colour : colours) {
        const QStringList &types = colour == QLatin1String("Inc") ? artefactTypes : usualTypes;
        for (const QString &type : types) {
            const QString condition = QStringLiteral("WHERE Couleur = \"") + colour + QStringLiteral("\" AND Type = \"") + type
                + QStringLiteral("\" AND Dispo > 0");
            Query query(&m_database);
            query.sql() << QStringLiteral("SELECT *") << QStringLiteral("FROM CARTES") << condition;
            query.open();
            QStringList lines;
            for (query.first(); !query.eof(); query.next())
                lines << query.fieldByName(QStringLiteral("Nom_français")).asString() + QStringLiteral(" (")
                        + query.fieldByName(QStringLiteral("Origine")).asString() + QStringLiteral(") x ")
                        + query.fieldByName(QStringLiteral("Dispo")).asString();
            query.close();
            EXPECT_EQ(lines, QStringList{colour + QLatin1Char('/') + type + QStringLiteral(" (Base) x 2")}) << condition.toStdString();
            ++statements;
        }
    }
    EXPECT_EQ(statements, 42);
}

} // namespace
