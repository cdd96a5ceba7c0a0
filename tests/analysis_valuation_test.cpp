#include "analysis/tevaluation.h"
#include "analysis/valuation.h"
#include "data/session.h"
#include "ui/windows.h"
#include "collection/tinventaire.h"
#include "data/table.h"
#include "tests/support/modal_guard.h"
#include "tests/support/printing.h"
#include "tests/support/temp_tables.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

CardRow pricedCard(const QString &name, const QVariant &price, int dispo, int utilise = 0,
                   const QString &edition = QStringLiteral("Base"))
{
    CardRow row = makeCard(name, name + QStringLiteral(" EN"), edition, dispo, utilise);
    row.cote = price;
    return row;
}

struct SessionOn {
    TempTables tables;
    Session session;
    explicit SessionOn(const std::vector<CardRow> &rows) : tables(rows)
    {
        session.setDatabaseDirectory(tables.dir());
    }
};

QStringList lines(const Valuation &valuation)
{
    QStringList result;
    for (const TClasseCote &priceClass : valuation.classes)
        result << priceClassLine(priceClass);
    return result;
}

Valuation evaluate(const std::vector<CardRow> &rows)
{
    SessionOn s(rows);
    return evaluateCollection(s.session.cardSource());
}

} // namespace

TEST(ValuationTest, NothingOwnedGivesZeroSentenceAndNoClass)
{
    const QString zero = QStringLiteral("Votre collection est estimable à     0.00 Francs.");
    const Valuation empty = evaluate({});
    EXPECT_EQ(valuationSentence(empty.total), zero);
    EXPECT_TRUE(empty.classes.empty());

    const Valuation unowned = evaluate({pricedCard("Ours", 40.0, 0), pricedCard("Loup", 2.5, 0)});
    EXPECT_EQ(valuationSentence(unowned.total), zero);
    EXPECT_TRUE(unowned.classes.empty());
}

TEST(ValuationTest, GroupsOwnedCopiesByExactPriceDearestFirst)
{
    const Valuation v = evaluate({
        pricedCard("Ange", 2.5, 1), pricedCard("Bête", 10.0, 1), pricedCard("Chat", 2.5, 1),
        pricedCard("Dé", 1.0, 0, 3),          // used copies are valued too
        pricedCard("Elfe", 1.01, 1),
        pricedCard("Fée", QVariant(), 1, 1),  // a blank price is 0
        pricedCard("Gnome", 12.5, 1), pricedCard("Hydre", 12.50, 2),
        pricedCard("Ibis", 2.501, 1),         // looks like 2.50 but is its own class
    });
    EXPECT_EQ(lines(v), QStringList({QStringLiteral("     3 cartes cotées 12.50 Francs"),
                                     QStringLiteral("     1 carte  cotée  10.00 Francs"),
                                     QStringLiteral("     1 carte  cotée   2.50 Francs"),
                                     QStringLiteral("     2 cartes cotées  2.50 Francs"),
                                     QStringLiteral("     1 carte  cotée   1.01 Francs"),
                                     QStringLiteral("     3 cartes cotées  1.00 Franc"),
                                     QStringLiteral("     2 cartes cotées  0.00 Franc")}));
    EXPECT_EQ(v.classes[2].Prix, 2.501);
    EXPECT_EQ(valuationSentence(v.total),
              QStringLiteral("Votre collection est estimable à    59.01 Francs."));
    EXPECT_EQ(valuationSentence(123456789.125 + 0.001),
              QStringLiteral("Votre collection est estimable à 123456789.13 Francs."));
}

TEST(ValuationTest, NoLimitOnClassesOrCopies)
{
    std::vector<CardRow> rows;
    for (int i = 1; i <= 150; ++i)
        rows.push_back(pricedCard(QStringLiteral("Carte %1").arg(i), 0.25 * i, 1));
    rows.push_back(pricedCard("Ange", 500.0, 40000));
    rows.push_back(pricedCard("Bête", 500.0, 1000000, 234567));
    const Valuation v = evaluate(rows);
    ASSERT_EQ(v.classes.size(), 151u);
    EXPECT_EQ(priceClassLine(v.classes[0]), QStringLiteral("1274567 cartes cotées 500.00 Francs"));
    for (std::size_t i = 1; i < v.classes.size(); ++i)
        EXPECT_EQ(v.classes[i].Prix, 0.25 * double(151 - i));
}

class EvaluationWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(s.tables.dir()); // the inventory writes FICHIER.TXT here
        windows().session = &s.session;
        windows().inventaire = &inventaire;
        evaluation.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&evaluation));
    }
    void TearDown() override
    {
        evaluation.hide();
        windows() = Windows();
        QDir::setCurrent(m_previousDir);
    }

    SessionOn s{{pricedCard("Ange", 125.75, 1), pricedCard("Bête", 125.7, 2),
                 pricedCard("Chat", 125.75, 0), pricedCard("Dragon", 3.0, 1, 1)}};
    TInventaire inventaire{s.session};
    TEvaluation evaluation{s.session};
    QString m_previousDir;
};

// Five characters of the line read 125.7: the class must still list the
// cards of 125.75, and come back counting what was changed meanwhile.
TEST_F(EvaluationWindowTest, DoubleClickListsTheCardsOfTheExactPrice)
{
    QListWidget *list = evaluation.listBox1();
    QStringList owned, missing;
    whenShown(&inventaire, [&] {
        EXPECT_TRUE(inventaire.ModeCote);
        for (int i = 0; i < inventaire.listBox1()->count(); ++i)
            owned << inventaire.listBox1()->item(i)->text();
        for (int i = 0; i < inventaire.listBox2()->count(); ++i)
            missing << inventaire.listBox2()->item(i)->text();
        Table table; // the user records two copies of the missing card
        table.setTableName(s.tables.cardPath());
        table.open();
        ASSERT_TRUE(table.findKey({QStringLiteral("Chat"), QStringLiteral("Chat EN"), QStringLiteral("Base")}));
        table.edit();
        table.field(10).setAsInteger(2);
        table.post();
        table.close();
        inventaire.close();
    });
    // The view reports a double-click only after a press on the same line.
    const QPoint line = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, line);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, line);

    EXPECT_EQ(inventaire.CoteChoisie, 125.75);
    EXPECT_EQ(owned, QStringList({QStringLiteral("Ange x 1 (Base)")}));
    EXPECT_EQ(missing, QStringList({QStringLiteral("Chat (Base)")}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("     3 cartes cotées 125.75 Francs"));
    EXPECT_EQ(evaluation.label1()->text(),
              QStringLiteral("Votre collection est estimable à   634.65 Francs."));
}

TEST_F(EvaluationWindowTest, DoubleClickWithNoLineSelectedOpensNothing)
{
    evaluation.listBox1()->clearSelection();
    QWidget *opened = nullptr;
    QTimer::singleShot(0, [&] {
        if ((opened = QApplication::activeModalWidget()))
            opened->close();
    });
    evaluation.ListBox1DblClick();
    QApplication::processEvents();
    EXPECT_EQ(opened, nullptr);
    EXPECT_FALSE(inventaire.ModeCote);
}
