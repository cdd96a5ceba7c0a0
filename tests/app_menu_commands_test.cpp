// The main window's menu commands as the user runs them: the program started
// on a card table, each item triggered, the window it opens read while it is
// up and the table file read afterwards.
#include "analysis/tevaluation.h"
#include "app/tchoixedition.h"
#include "app/tmultiples.h"
#include "collection/trecherche_de_cartes.h"
#include "data/card_table.h"
#include "data/table.h"
#include "ui/tprogression.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

CardRow owned(const char *name, const char *edition, int dispo, int utilise, const QVariant &cote)
{
    CardRow row = makeCard(QString::fromUtf8(name), QString::fromUtf8(name) + QStringLiteral(" EN"),
                           QString::fromUtf8(edition), dispo, utilise);
    row.cote = cote;
    return row;
}

// What a window showed while it was up.
struct Shown {
    QString title;
    QString label;
    QStringList lines;
};

QStringList linesOf(const QListWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines;
}

class MenuCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }


    // Runs a multiples item and reads the list it shows.
    Shown multiples(const char *item)
    {
        TMultiples *window = windows().multiples;
        Shown shown;
        whenShown(window, [&] {
            shown.title = window->windowTitle();
            shown.lines = linesOf(window->listBox1());
            QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::LeftButton);
        });
        triggerMenuItem(item);
        EXPECT_FALSE(window->isVisible());
        return shown;
    }

    Shown valuation()
    {
        TEvaluation *window = windows().evaluation;
        Shown shown;
        whenShown(window, [&] {
            shown.title = window->windowTitle();
            shown.label = window->label1()->text();
            shown.lines = linesOf(window->listBox1());
            window->close();
        });
        triggerMenuItem("Evaluerlacollection1");
        return shown;
    }

    // The owned counts of every row of the table file, read afresh, in key
    // order (byte order: "Élan" after "Faucon").
    QStringList dispoColumn()
    {
        Table table;
        table.setTableName(program.tables.cardPath());
        table.open();
        QStringList values;
        for (table.first(); !table.eof(); table.next())
            values << table.field(card::NomFrancais).asString() + QLatin1Char('=')
                    + table.field(card::Dispo).asString() + QLatin1Char('+')
                    + table.field(card::Utilise).asString();
        table.close();
        return values;
    }

    ScriptedDialogs dialogs;
    StartedProgram program{{owned("Aigle", "Base", 2, 0, 3.0), owned("Bison", "Mirage", 1, 2, 1.5),
                            owned("Castor", "Base", 4, 0, 0.5), owned("Dingo", "Mirage", 5, 1, 2.0),
                            owned("Élan", "Base", 0, 0, 10.0), owned("Faucon", "Mirage", 2, 0, QVariant())}};
};

} // namespace

TEST_F(MenuCommandsTest, ConsulterRecordsTheCountTypedInTheCardTable)
{
    TRecherche_De_Cartes *entry = windows().rechercheDeCartes;
    QString caption;
    whenShown(entry, [&] {
        caption = entry->windowTitle();
        auto *french = entry->findChild<QComboBox *>(QStringLiteral("ComboBox1"));
        french->setCurrentIndex(french->findText(QStringLiteral("Élan (Base)")));
        auto *dispo = entry->findChild<QSpinBox *>(QStringLiteral("SpinEdit1"));
        dispo->setFocus();
        dispo->selectAll();
        QTest::keyClicks(dispo, "3");
        QTest::keyClick(dispo, Qt::Key_Return); // Enter validates
        QTest::keyClick(entry, Qt::Key_Escape);
    });
    triggerMenuItem("Consulter");

    EXPECT_EQ(caption, QStringLiteral("5/6         - Recherche de cartes -         17"));
    EXPECT_FALSE(entry->isVisible());
    EXPECT_EQ(dispoColumn(), (QStringList{"Aigle=2+0", "Bison=1+2", "Castor=4+0", "Dingo=5+1", "Faucon=2+0",
                                          "Élan=3+0"}));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(MenuCommandsTest, EvaluerLaCollectionShowsTheValueOfTheOwnedCopies)
{
    const Shown shown = valuation();
    EXPECT_EQ(shown.title, QStringLiteral("Evaluation de la collection"));
    EXPECT_EQ(windows().evaluation->property("helpContext").toInt(), 9);
    EXPECT_EQ(shown.label, QStringLiteral("Votre collection est estimable à    24.50 Francs."));
    EXPECT_EQ(shown.lines, (QStringList{"     2 cartes cotées  3.00 Francs", "     6 cartes cotées  2.00 Francs",
                                        "     3 cartes cotées  1.50 Francs", "     4 cartes cotées  0.50 Franc",
                                        "     2 cartes cotées  0.00 Franc"}));
}

TEST_F(MenuCommandsTest, EachMultiplesItemShowsItsListUnderItsCaption)
{
    const struct {
        const char *item;
        const char *caption;
        QStringList lines;
    } cases[] = {
        {"Double1", "Double(s)", {"Aigle x 2 (Base)", "Faucon x 2 (Mirage)"}},
        {"Triple1", "Triple(s)", {"Bison x 3 (Mirage)"}},
        {"Quadruple1", "Quadruple(s)", {"Castor x 4 (Base)"}},
        {"Plus1", "Plus", {"Dingo x 6 (Mirage)"}},
    };
    for (const auto &c : cases) {
        const Shown shown = multiples(c.item);
        EXPECT_EQ(shown.title, QString::fromUtf8(c.caption)) << c.item;
        EXPECT_EQ(shown.lines, c.lines) << c.item;
    }
}

// The reset asks first: No changes nothing; after Yes the table file holds
// no count, and the next commands say so.
TEST_F(MenuCommandsTest, ResetOfAllCountsAsksThenEmptiesTheCollectionForTheNextCommands)
{
    const QStringList before = dispoColumn();
    EXPECT_EQ(valuation().label, QStringLiteral("Votre collection est estimable à    24.50 Francs."));
    dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};

    triggerMenuItem("Initialiserlespossesions1");
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, QStringLiteral("Voulez-vous vraiment initialiser la base ?"));
    EXPECT_EQ(dialogs.questions[0].helpContext, 3);
    EXPECT_EQ(dispoColumn(), before);

    triggerMenuItem("Initialiserlespossesions1");
    EXPECT_EQ(dispoColumn(), (QStringList{"Aigle=0+0", "Bison=0+0", "Castor=0+0", "Dingo=0+0", "Faucon=0+0",
                                          "Élan=0+0"}));
    EXPECT_FALSE(windows().progression->isVisible());
    EXPECT_EQ(windows().progression->gauge()->maximum(), 6);
    EXPECT_EQ(valuation().label, QStringLiteral("Votre collection est estimable à     0.00 Francs."));
    EXPECT_TRUE(multiples("Double1").lines.isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

// While an edition is selected the other commands read its cards only; the
// second use of the item ends the selection.
TEST_F(MenuCommandsTest, SelectionRestrictsTheOtherCommandsToOneEdition)
{
    TChoixEdition *dialog = windows().choixEdition;
    whenShown(dialog, [dialog] {
        dialog->comboBox1()->setCurrentIndex(dialog->comboBox1()->findText(QStringLiteral("Mirage")));
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    triggerMenuItem("Selection1");

    EXPECT_EQ(multiples("Double1").lines, QStringList{"Faucon x 2 (Mirage)"});
    const Shown mirage = valuation();
    EXPECT_EQ(mirage.label, QStringLiteral("Votre collection est estimable à    16.50 Francs."));
    EXPECT_EQ(mirage.lines.size(), 3);

    triggerMenuItem("Selection1");
    EXPECT_EQ(multiples("Double1").lines, (QStringList{"Aigle x 2 (Base)", "Faucon x 2 (Mirage)"}));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}
