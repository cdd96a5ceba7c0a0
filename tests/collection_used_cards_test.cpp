#include "collection/tinventaire.h"
#include "collection/trecherche_de_cartes.h"
#include "data/session.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"
#include "ui/tprogression.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList texts(const QListWidget *list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

// A name that makes a line of 300 characters with " (Alpha)".
QString longName()
{
    return QStringLiteral("Vieux ") + QString(286, QLatin1Char('z'));
}

class UsedCardsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }
    QAction *item() const { return windows().principale->findChild<QAction *>("Cartesutilises1"); }
    // The card the entry window shows, by its French and English lines.
    QString entryText() const
    {
        return windows().rechercheDeCartes->findChild<QComboBox *>("ComboBox1")->currentText() + " / "
            + windows().rechercheDeCartes->findChild<QComboBox *>("ComboBox2")->currentText();
    }

    ScriptedDialogs dialogs;
    StartedProgram program{{
        makeCard("Loup", "Wolf", "Beta", 2, 1),
        makeCard("Loup", "Wolf", "Alpha", 0, 3), // in use in two editions: listed twice
        makeCard("Ange", "Angel", "Alpha", 4, 0),
        makeCard("Bête (rare)", "Beast", "Alpha", 0, 0),
        makeCard("Fantôme", "Ghost", "Alpha", 0, -1), // in neither list
        makeCard(longName(), "Long", "Alpha", 0, 1),
    }};
};

} // namespace

TEST_F(UsedCardsTest, MenuShowsBothListsAndLinesOpenTheirCards)
{
    // The report reads the whole table, whatever the edition selection.
    windows().session->selectEdition(QStringLiteral("Beta"));
    TInventaire *inventaire = windows().inventaire;
    TRecherche_De_Cartes *entry = windows().rechercheDeCartes;
    QStringList titles, left, right, opened;
    whenShown(inventaire, [&] {
        titles << inventaire->label1()->text() << inventaire->label2()->text();
        left = texts(inventaire->listBox1());
        right = texts(inventaire->listBox2());

        // Each line names its printing whole, on either side, even a name
        // holding a parenthesis.
        auto open = [&](QListWidget *list, int row) {
            whenShown(entry, [&] {
                opened << entryText();
                entry->reject();
            });
            list->setCurrentRow(row);
            const QRect rect = list->visualItemRect(list->item(row));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        };
        open(inventaire->listBox1(), 1);
        open(inventaire->listBox1(), 2);
        open(inventaire->listBox2(), 1);
        inventaire->accept();
    });
    item()->trigger();

    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(titles, QStringList({QStringLiteral("Cartes que vous utilisez : "),
                                   QStringLiteral("Cartes que vous n'utilisez pas : ")}));
    // A line longer than 255 characters is kept whole and opens its card.
    const QString longLine = longName() + QStringLiteral(" (Alpha)");
    ASSERT_EQ(longLine.size(), 300);
    EXPECT_EQ(left, QStringList({QStringLiteral("Loup (Alpha)"), QStringLiteral("Loup (Beta)"), longLine}));
    EXPECT_EQ(right, QStringList({QStringLiteral("Ange (Alpha)"), QStringLiteral("Bête (rare) (Alpha)")}));
    EXPECT_EQ(opened, QStringList({QStringLiteral("Loup (Beta) / Wolf (Beta)"), longLine + " / Long (Alpha)",
                                   QStringLiteral("Bête (rare) (Alpha) / Beast (Alpha)")}));
    EXPECT_EQ(inventaire->label1()->text(), QStringLiteral("Vous avez : "));
    EXPECT_EQ(inventaire->label2()->text(), QStringLiteral("Il vous manque : "));
    EXPECT_FALSE(inventaire->ListesFournies);
    EXPECT_FALSE(inventaire->LignesGaucheEntieres);
}

TEST_F(UsedCardsTest, AFailedQueryPutsTheInventoryBack)
{
    ASSERT_TRUE(QFile::remove(program.tables.cardPath()));
    TInventaire *inventaire = windows().inventaire;
    bool inventoryShown = false;
    whenShown(inventaire, [&] {
        inventoryShown = true;
        inventaire->reject();
    });
    item()->trigger();
    QTest::qWait(20);

    EXPECT_FALSE(inventoryShown);
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_EQ(inventaire->label1()->text(), QStringLiteral("Vous avez : "));
    EXPECT_EQ(inventaire->label2()->text(), QStringLiteral("Il vous manque : "));
    EXPECT_FALSE(inventaire->ListesFournies);
    EXPECT_FALSE(windows().progression->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(windows().session->query1.isOpen());
}
