#include "app/tprincipale.h"
#include "data/dataset_guard.h"
#include "data/session.h"
#include "search/result_model.h"
#include "search/search_criteria.h"
#include "search/tfrm_rechercher.h"
#include "search/tresultatrecherche.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Select = QStringLiteral("SELECT * FROM CARTES WHERE");
const QString AllRarities = QStringLiteral("((Rarete = 'C') OR(Rarete = 'U') OR(Rarete = 'R'))");

SearchCriteria noRarity()
{
    SearchCriteria c;
    c.commune = c.noncommune = c.rare = false;
    return c;
}

struct StatementCase {
    const char *what;
    std::function<void(SearchCriteria &)> set;
    QStringList lines;
};

} // namespace

TEST(SearchStatementTest, BuildsTheCriteriaLineByLine)
{
    const StatementCase cases[] = {
        {"worked example",
         [](SearchCriteria &c) {
             c = noRarity();
             c.francais = QStringLiteral("dragon");
             c.rouge = c.rare = true;
         },
         {Select, QStringLiteral("(UPPER (nom_français) LIKE '%DRAGON%')"), QStringLiteral("AND"),
          QStringLiteral("((Couleur = 'Rge'))"), QStringLiteral("AND"), QStringLiteral("((Rarete = 'R'))")}},
        {"initial state", [](SearchCriteria &) {}, {Select, AllRarities}},
        {"apostrophe doubled",
         [](SearchCriteria &c) {
             c = noRarity();
             c.francais = QStringLiteral("l'ange");
         },
         {Select, QStringLiteral("(UPPER (nom_français) LIKE '%L''ANGE%')")}},
        {"accented letter kept",
         [](SearchCriteria &c) {
             c = noRarity();
             c.anglais = QStringLiteral("élan");
         },
         {Select, QStringLiteral("(UPPER (nom_anglais) LIKE '%éLAN%')")}},
        {"mana cost as typed",
         [](SearchCriteria &c) {
             c = noRarity();
             c.cout = QStringLiteral("2nn");
         },
         {Select, QStringLiteral("(Coût = '2nn')")}},
        {"Inc tests the code Or",
         [](SearchCriteria &c) {
             c = noRarity();
             c.incolor = true;
         },
         {Select, QStringLiteral("((Couleur = 'Or'))")}},
        {"colours keep a blank after OR",
         [](SearchCriteria &c) {
             c = noRarity();
             c.rouge = c.vert = true;
         },
         {Select, QStringLiteral("((Couleur = 'Rge') OR (Couleur = 'Ver'))")}},
        {"types have none",
         [](SearchCriteria &c) {
             c = noRarity();
             c.artefact = c.enchantement = true;
         },
         {Select, QStringLiteral("((Type = 'Art') OR(Type = 'Enc'))")}},
        {"artefact creatures in both spellings",
         [](SearchCriteria &c) {
             c = noRarity();
             c.cArtefact = true;
         },
         {Select, QStringLiteral("((Type = 'C.Art') OR(Type = 'C. Art'))")}},
        {"every criterion in its order",
         [](SearchCriteria &c) {
             c.francais = QStringLiteral("a");
             c.anglais = QStringLiteral("b");
             c.blanc = true;
             c.cout = QStringLiteral("W");
             c.interruption = true;
             c.forceMin = QStringLiteral("1");
             c.forceMax = QStringLiteral(" 2,5 ");
             c.enduranceMin = QStringLiteral("-1");
             c.enduranceMax = QStringLiteral("4");
             c.noncommune = false;
             c.possede = true;
         },
         {Select, QStringLiteral("(UPPER (nom_français) LIKE '%A%')"), QStringLiteral("AND"),
          QStringLiteral("(UPPER (nom_anglais) LIKE '%B%')"), QStringLiteral("AND"),
          QStringLiteral("((Couleur = 'Bla'))"), QStringLiteral("AND"), QStringLiteral("(Coût = 'W')"),
          QStringLiteral("AND"), QStringLiteral("((Type = 'Int'))"), QStringLiteral("AND"),
          QStringLiteral("(Force >= 1)"), QStringLiteral("AND"), QStringLiteral("(Force <= 2.5)"),
          QStringLiteral("AND"), QStringLiteral("(Endurance >= -1)"), QStringLiteral("AND"),
          QStringLiteral("(Endurance <= 4)"), QStringLiteral("AND"),
          QStringLiteral("((Rarete = 'C') OR(Rarete = 'R'))"), QStringLiteral("AND"),
          QStringLiteral("(Dispo > 0)")}},
        {"nothing asked: the statement ends with WHERE", [](SearchCriteria &c) { c = noRarity(); }, {Select}},
    };
    for (const StatementCase &test : cases) {
        SCOPED_TRACE(test.what);
        SearchCriteria criteria;
        test.set(criteria);
        EXPECT_EQ(searchStatement(criteria), test.lines);
    }

    // A criterion is cut at 255 characters.
    SearchCriteria longName = noRarity();
    longName.francais = QString(300, QLatin1Char('x'));
    const QStringList cut = searchStatement(longName);
    ASSERT_EQ(cut.size(), 2);
    EXPECT_EQ(cut[1].size(), 255);
    EXPECT_TRUE(cut[1].startsWith(QStringLiteral("(UPPER (nom_français) LIKE '%XXX")));
}

TEST(SearchStatementTest, BoundThatIsNotANumberIsRefusedNamingFieldAndText)
{
    struct Case {
        QString SearchCriteria::*field;
        QString text;
        QString message;
    } cases[] = {
        {&SearchCriteria::forceMin, QStringLiteral("1) OR (Dispo > 0"),
         QStringLiteral("Le champ « Force min » doit contenir un nombre : « 1) OR (Dispo > 0 » n'en est pas un.")},
        {&SearchCriteria::forceMax, QStringLiteral("deux"),
         QStringLiteral("Le champ « Force max » doit contenir un nombre : « deux » n'en est pas un.")},
        {&SearchCriteria::enduranceMin, QStringLiteral(" "),
         QStringLiteral("Le champ « Endurance min » doit contenir un nombre : «   » n'en est pas un.")},
        {&SearchCriteria::enduranceMax, QStringLiteral("3 OR 1=1"),
         QStringLiteral("Le champ « Endurance max » doit contenir un nombre : « 3 OR 1=1 » n'en est pas un.")},
    };
    for (const Case &c : cases) {
        SearchCriteria criteria;
        criteria.*c.field = c.text;
        EXPECT_EQ(errorOf([&] { searchStatement(criteria); }), c.message);
    }
}

namespace {

CardRow card(const QString &french, const QString &edition, const QString &colour, const QString &type,
             const QString &rarity, int dispo = 0, int utilise = 0)
{
    CardRow row = makeCard(french, french + QStringLiteral(" EN"), edition, dispo, utilise);
    row.couleur = colour;
    row.type = type;
    row.rarete = rarity;
    return row;
}

const std::vector<CardRow> catalogue = {
    card(QStringLiteral("Dragon de feu"), QStringLiteral("Alpha"), QStringLiteral("Rge"), QStringLiteral("Inv"),
         QStringLiteral("R"), 1),
    card(QStringLiteral("Dragon de feu"), QStringLiteral("Beta"), QStringLiteral("Rge"), QStringLiteral("Inv"),
         QStringLiteral("C"), 0, 2),
    card(QStringLiteral("Petit dragon"), QStringLiteral("Alpha"), QStringLiteral("Ver"), QStringLiteral("Inv"),
         QStringLiteral("U")),
    card(QStringLiteral("Golem d'acier"), QStringLiteral("Alpha"), QStringLiteral("Inc"), QStringLiteral("C. Art"),
         QStringLiteral("U"), 3),
    card(QStringLiteral("Élan royal"), QStringLiteral("Beta"), QStringLiteral("Ver"), QStringLiteral("Inv"),
         QStringLiteral("C")),
};

// The French names and editions of the rows the statement finds.
QStringList found(const QString &dir, const SearchCriteria &criteria)
{
    Session session;
    session.setDatabaseDirectory(dir);
    Query query(&session.database1);
    query.sql() = searchStatement(criteria);
    query.open();
    DatasetGuard guard(query);
    SearchResultModel model(query);
    model.fetchAll();
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << model.data(model.index(row, 0)).toString() + QLatin1Char('/')
                + model.data(model.index(row, 2)).toString();
    return rows;
}

} // namespace

TEST(SearchRowsTest, FindsTheRowsOfTheCriteria)
{
    TempTables tables(catalogue);
    SearchCriteria dragons;
    dragons.francais = QStringLiteral("dragon");
    EXPECT_EQ(found(tables.dir(), dragons),
              QStringList({"Dragon de feu/Alpha", "Dragon de feu/Beta", "Petit dragon/Alpha"}));
    dragons.rouge = true;
    dragons.commune = false;
    EXPECT_EQ(found(tables.dir(), dragons), QStringList({"Dragon de feu/Alpha"}));

    SearchCriteria creatures;
    creatures.cArtefact = true;
    EXPECT_EQ(found(tables.dir(), creatures), QStringList({"Golem d'acier/Alpha"}));

    // Dispo only: the printing with two used copies is not shown.
    SearchCriteria owned;
    owned.possede = true;
    EXPECT_EQ(found(tables.dir(), owned), QStringList({"Dragon de feu/Alpha", "Golem d'acier/Alpha"}));

    // The accented capital is not reached by upper-casing "é".
    SearchCriteria elan;
    elan.francais = QStringLiteral("élan");
    EXPECT_EQ(found(tables.dir(), elan), QStringList());
    elan.francais = QStringLiteral("Élan");
    EXPECT_EQ(found(tables.dir(), elan), QStringList({"Élan royal/Beta"}));
}

TEST(SearchRowsTest, GridShowsFourteenTitledColumnsAndReadsAsItScrolls)
{
    std::vector<CardRow> many;
    for (int i = 0; i < 1000; ++i)
        many.push_back(makeCard(QStringLiteral("Carte %1").arg(i, 4, 10, QLatin1Char('0')),
                                QStringLiteral("Card"), QStringLiteral("Alpha")));
    TempTables tables(many);
    Session session;
    session.setDatabaseDirectory(tables.dir());
    Query query(&session.database1);
    query.sql() = searchStatement(SearchCriteria());
    query.open();
    DatasetGuard guard(query);
    SearchResultModel model(query);

    QStringList titles;
    for (int column = 0; column < model.columnCount(); ++column)
        titles << model.headerData(column, Qt::Horizontal).toString();
    EXPECT_EQ(titles, QStringList({"Nom Français", "Nom anglais", "Origine", "Rarete", "Cote", "Couleur", "Coût",
                                   "Force", "Endurance", "Type", "Dispo", "Utilise", "Echangeable", "Cherche"}));
    EXPECT_LT(model.rowCount(), 1000);
    EXPECT_TRUE(model.canFetchMore());
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    model.fetchAll();
    EXPECT_EQ(model.rowCount(), 1000);
    EXPECT_EQ(model.data(model.index(999, 0)).toString(), QStringLiteral("Carte 0999"));
    EXPECT_EQ(model.data(model.index(999, 4)).toString(), QStringLiteral("1"));
}

namespace {

class SearchWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }
    TFrm_Rechercher *search() const { return windows().frmRechercher; }
    TResultatRecherche *result() const { return windows().resultatRecherche; }
    template <typename T>
    T *control(const char *name) const
    {
        return search()->findChild<T *>(name);
    }
    void menuRechercher()
    {
        static_cast<TPrincipale *>(windows().principale)->findChild<QAction *>("Rechercher")->trigger();
    }

    ScriptedDialogs dialogs;
    StartedProgram program{catalogue};
};

} // namespace

TEST_F(SearchWindowTest, StartsWithTheRaritiesCheckedAndItsCaptions)
{
    EXPECT_EQ(search()->windowTitle(), QStringLiteral("Rechercher"));
    EXPECT_EQ(result()->windowTitle(), QStringLiteral("Resultat de la recherche"));
    EXPECT_EQ(control<QLineEdit>("Cout")->toolTip(), QStringLiteral("Exemple : 1W ou 2NN ou BB"));
    EXPECT_EQ(control<QCheckBox>("Incolor")->text(), QStringLiteral("Inc"));
    EXPECT_EQ(control<QCheckBox>("Possede")->text(), QStringLiteral("N'afficher que les cartes possédées."));
    EXPECT_EQ(control<QPushButton>("BitBtn1")->text(), QStringLiteral("Lancer la recherche"));
    EXPECT_EQ(search()->criteria().commune && search()->criteria().noncommune && search()->criteria().rare, true);
    EXPECT_EQ(searchStatement(search()->criteria()), QStringList({Select, AllRarities}));
}

TEST_F(SearchWindowTest, MenuSearchShowsTheRowsFoundAndKeepsTheCriteria)
{
    QStringList shown;
    bool queryOpenWhileShown = false;
    whenShown(search(), [&] {
        control<QLineEdit>("Francais")->setText(QStringLiteral("dragon"));
        control<QCheckBox>("Rouge")->setChecked(true);
        whenShown(result(), [&] {
            QAbstractItemModel *grid = result()->dbGrid1()->model();
            for (int row = 0; row < grid->rowCount(); ++row)
                shown << grid->index(row, 0).data().toString() + QLatin1Char('/') + grid->index(row, 2).data().toString();
            queryOpenWhileShown = search()->query1().isOpen();
            result()->findChild<QPushButton *>("BitBtn1")->click();
        });
        control<QPushButton>("BitBtn1")->click();
        // Back in the search window, criteria in place.
        EXPECT_TRUE(search()->isVisible());
        EXPECT_EQ(control<QLineEdit>("Francais")->text(), QStringLiteral("dragon"));
        control<QPushButton>("BitBtn2")->click();
    });
    menuRechercher();
    EXPECT_EQ(shown, QStringList({"Dragon de feu/Alpha", "Dragon de feu/Beta"}));
    EXPECT_TRUE(queryOpenWhileShown);
    EXPECT_FALSE(search()->query1().isOpen());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(SearchWindowTest, RejectedStatementShowsOneErrorAndNoResultWindow)
{
    struct Case {
        const char *what;
        std::function<void()> set;
    } cases[] = {
        {"no criterion",
         [&] {
             control<QCheckBox>("Commune")->setChecked(false);
             control<QCheckBox>("Noncommune")->setChecked(false);
             control<QCheckBox>("Rare")->setChecked(false);
         }},
        {"bound that is not a number", [&] { control<QLineEdit>("ForceMin")->setText(QStringLiteral("1) OR (Dispo > 0")); }},
        {"criterion cut", [&] { control<QLineEdit>("Anglais")->setText(QString(300, QLatin1Char('a'))); }},
    };
    bool resultShown = false;
    QObject::connect(result(), &QDialog::finished, [&] { resultShown = true; });
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.errors.clear();
        c.set();
        const SearchCriteria before = search()->criteria();
        search()->BitBtn1Click();
        EXPECT_EQ(dialogs.errors.size(), 1);
        EXPECT_FALSE(search()->query1().isOpen());
        EXPECT_TRUE(search()->criteria() == before);
    }
    EXPECT_FALSE(resultShown);

    // Nothing found: the grid opens empty.
    control<QLineEdit>("ForceMin")->clear();
    control<QLineEdit>("Anglais")->setText(QStringLiteral("zzz"));
    control<QCheckBox>("Rare")->setChecked(true);
    int rows = -1;
    whenShown(result(), [&] {
        rows = result()->dbGrid1()->model()->rowCount();
        result()->close();
    });
    search()->BitBtn1Click();
    EXPECT_EQ(rows, 0);
}
