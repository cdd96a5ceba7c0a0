#include "app/tprincipale.h"
#include "data/dataset_guard.h"
#include "data/session.h"
#include "data/table.h"
#include "search/result_model.h"
#include "search/search_criteria.h"
#include "search/tfrm_rechercher.h"
#include "search/tresultatrecherche.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
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

} // namespace

TEST(SearchStatementTest, BuildsTheCriteriaLineByLine)
{
    // Worked example: one line per criterion, "AND" between them.
    SearchCriteria example = noRarity();
    example.francais = QStringLiteral("dragon");
    example.rouge = example.rare = true;
    EXPECT_EQ(searchStatement(example),
              QStringList({Select, "(UPPER (nom_français) LIKE '%DRAGON%')", "AND", "((Couleur = 'Rge'))", "AND",
                           "((Rarete = 'R'))"}));
    EXPECT_EQ(searchStatement(SearchCriteria()), QStringList({Select, AllRarities}));
    // Nothing asked: the statement ends with WHERE.
    EXPECT_EQ(searchStatement(noRarity()), QStringList({Select}));

    // One box or field at a time gives one criterion.
    const std::pair<std::function<void(SearchCriteria &)>, const char *> single[] = {
        {[](SearchCriteria &c) { c.francais = "l'ange"; }, "(UPPER (nom_français) LIKE '%L''ANGE%')"},
        {[](SearchCriteria &c) { c.anglais = "élan"; }, "(UPPER (nom_anglais) LIKE '%éLAN%')"},
        {[](SearchCriteria &c) { c.cout = "2nn"; }, "(Coût = '2nn')"},
        {[](SearchCriteria &c) { c.incolor = true; }, "((Couleur = 'Or'))"},
        {[](SearchCriteria &c) { c.rouge = c.vert = true; }, "((Couleur = 'Rge') OR (Couleur = 'Ver'))"},
        {[](SearchCriteria &c) { c.artefact = c.enchantement = true; }, "((Type = 'Art') OR(Type = 'Enc'))"},
        // The table spells the artefact creatures "C. Art".
        {[](SearchCriteria &c) { c.cArtefact = true; }, "((Type = 'C.Art') OR(Type = 'C. Art'))"},
        {[](SearchCriteria &c) { c.forceMax = " 2,5 "; }, "(Force <= 2.5)"},
        {[](SearchCriteria &c) { c.enduranceMin = "-1"; }, "(Endurance >= -1)"},
        {[](SearchCriteria &c) { c.possede = true; }, "(Dispo > 0)"},
    };
    for (const auto &[set, criterion] : single) {
        SearchCriteria c = noRarity();
        set(c);
        EXPECT_EQ(searchCriteria(c), QStringList({QString::fromUtf8(criterion)}));
    }

    SearchCriteria every;
    every.francais = every.anglais = every.cout = every.forceMin = every.forceMax = every.enduranceMin =
        every.enduranceMax = QStringLiteral("1");
    every.blanc = every.interruption = every.possede = true;
    every.noncommune = false;
    EXPECT_EQ(searchCriteria(every),
              QStringList({"(UPPER (nom_français) LIKE '%1%')", "(UPPER (nom_anglais) LIKE '%1%')",
                           "((Couleur = 'Bla'))", "(Coût = '1')", "((Type = 'Int'))", "(Force >= 1)", "(Force <= 1)",
                           "(Endurance >= 1)", "(Endurance <= 1)", "((Rarete = 'C') OR(Rarete = 'R'))",
                           "(Dispo > 0)"}));

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

TEST_F(SearchWindowTest, MenuSearchShowsTheRowsFoundAndKeepsTheCriteria)
{
    EXPECT_EQ(search()->windowTitle(), QStringLiteral("Rechercher"));
    EXPECT_EQ(control<QLineEdit>("Cout")->toolTip(), QStringLiteral("Exemple : 1W ou 2NN ou BB"));
    EXPECT_EQ(searchStatement(search()->criteria()), QStringList({Select, AllRarities}));
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

TEST_F(SearchWindowTest, EnterInTheResultStartsNoExport)
{
    bool openAfterEnter = false;
    whenShown(result(), [&] {
        result()->dbGrid1()->setFocus();
        QTest::keyClick(result()->dbGrid1(), Qt::Key_Return);
        QTest::keyClick(result()->findChild<QPushButton *>("BitBtn1"), Qt::Key_Enter);
        openAfterEnter = result()->isVisible();
        result()->close();
    });
    search()->BitBtn1Click();
    EXPECT_TRUE(openAfterEnter);
    EXPECT_TRUE(dialogs.filters.isEmpty()) << "a file dialog was asked for";
}

// A card table damaged past the first screenfuls: the grid shows the rows
// read, says once why it stopped, and refuses to export them as the result.
TEST(SearchResultFailureTest, RowsNotReadToTheEndAreSaidOnceAndNotExported)
{
    std::vector<CardRow> many;
    for (int i = 0; i < 3000; ++i)
        many.push_back(makeCard(QStringLiteral("Carte %1 ").arg(i, 4, 10, QLatin1Char('0')) + QString(60, QLatin1Char('z')),
                                QStringLiteral("Card %1").arg(i), QStringLiteral("Alpha")));
    TempTables tables(many);
    QFile file(tables.cardPath());
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(file.size() * 3 / 4);
    file.write(QByteArray(4096, '\x5a'));
    file.close();

    ScriptedDialogs dialogs;
    const QString exported = tables.path(QStringLiteral("resultat.csv"));
    dialogs.files = {exported};
    // Walked in key order, the table meets the damaged page when its rows
    // are read, not when it opens.
    Table cards;
    cards.setTableName(tables.cardPath());
    cards.open();
    DatasetGuard guard(cards);
    TResultatRecherche window;
    int rowsShown = 0;
    QStringList errorsWhileShown;
    whenShown(&window, [&] {
        QTableView *grid = window.dbGrid1();
        for (int i = 0; i < 40 && grid->model()->canFetchMore(QModelIndex()); ++i) {
            grid->scrollToBottom();
            QApplication::processEvents();
        }
        QApplication::processEvents();
        rowsShown = grid->model()->rowCount();
        errorsWhileShown = dialogs.errors;
        window.findChild<QPushButton *>("Exporter")->click();
        window.close();
    });
    window.showRows(cards);

    EXPECT_GT(rowsShown, 0);
    EXPECT_LT(rowsShown, 3000);
    ASSERT_EQ(errorsWhileShown.size(), 1);
    EXPECT_TRUE(errorsWhileShown.front().contains(QStringLiteral("endommag"))) << errorsWhileShown.front().toStdString();
    ASSERT_EQ(dialogs.errors.size(), 2);
    EXPECT_EQ(dialogs.errors.back(),
              QStringLiteral("Le résultat de la recherche n'a pas pu être lu jusqu'au bout : il n'est pas exporté."));
    EXPECT_TRUE(dialogs.filters.isEmpty());
    EXPECT_FALSE(QFile::exists(exported));
}
