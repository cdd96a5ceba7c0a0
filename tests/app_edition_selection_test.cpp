#include "app/editions.h"
#include "data/session.h"
#include "app/tchoixedition.h"
#include "app/tprincipale.h"
#include "collection/trecherche_de_cartes.h"
#include "data/card_table.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

std::vector<CardRow> editionsCatalogue()
{
    return {makeCard("Ange", "Angel", "Tempête", 1, 0),      makeCard("Bête", "Beast", "alpha", 2, 0),
            makeCard("Chêne", "Oak", "Alpha", 0, 3),         makeCard("Dague", "Dagger", "Le \"Retour\"", 4, 0),
            makeCard("Épée", "Sword", "Édition spéciale", 0, 0), makeCard("Fée", "Fairy", "Tempête", 5, 1),
            makeCard("Ange", "Angel", "Alpha", 0, 0)};
}

// The French names and editions of the card source, in its order.
QStringList cardSourceLines(Session &session)
{
    Dataset &source = session.cardSource();
    source.open();
    QStringList lines;
    for (source.first(); !source.eof(); source.next())
        lines.append(card::cardLine(source.field(card::NomFrancais).asString(),
                                    source.field(card::Origine).asString()));
    source.close();
    return lines;
}

class EditionSelectionTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }

    QAction *selection1() const { return windows().principale->findChild<QAction *>("Selection1"); }

    // Uses "&Selection"; when the dialog comes up, picks `edition` and
    // presses OK (or Cancel when `edition` is empty).
    void select(const QString &edition)
    {
        TChoixEdition *dialog = windows().choixEdition;
        whenShown(dialog, [dialog, edition, this]() {
            dialogShown = true;
            listed.clear();
            for (int i = 0; i < dialog->comboBox1()->count(); ++i)
                listed.append(dialog->comboBox1()->itemText(i));
            if (edition.isEmpty()) {
                QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
                return;
            }
            dialog->comboBox1()->setCurrentIndex(dialog->comboBox1()->findText(edition));
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
        selection1()->trigger();
    }

    ScriptedDialogs dialogs;
    StartedProgram program{editionsCatalogue()};
    bool dialogShown = false;
    QStringList listed;
};

} // namespace

TEST(EditionListTest, DistinctExactTextsInAlphabeticalOrder)
{
    TempTables tables(editionsCatalogue());
    Session session;
    session.setDatabaseDirectory(tables.dir());

    EXPECT_EQ(editionList(session), (QStringList{"Alpha", "alpha", "Édition spéciale", "Le \"Retour\"", "Tempête"}));
    EXPECT_FALSE(session.query1.isOpen());

    TempTables empty;
    session.setDatabaseDirectory(empty.dir());
    EXPECT_TRUE(editionList(session).isEmpty());
}

TEST_F(EditionSelectionTest, ChoosingAnEditionRestrictsTheCardSource)
{
    select(QStringLiteral("Tempête"));

    ASSERT_TRUE(dialogShown);
    EXPECT_EQ(listed, (QStringList{"Alpha", "alpha", "Édition spéciale", "Le \"Retour\"", "Tempête"}));
    EXPECT_TRUE(selection1()->isChecked());
    Session &session = *windows().session;
    EXPECT_TRUE(session.editionSelected());
    EXPECT_EQ(cardSourceLines(session), (QStringList{"Ange (Tempête)", "Fée (Tempête)"}));
    // The card entry lists are rebuilt from the new source when next shown.
    EXPECT_TRUE(windows().rechercheDeCartes->frenchLines().isEmpty());
}

TEST_F(EditionSelectionTest, SecondUseEndsTheSelectionWithoutTheDialog)
{
    select(QStringLiteral("Alpha"));
    ASSERT_TRUE(selection1()->isChecked());

    dialogShown = false;
    select(QStringLiteral("Alpha"));

    EXPECT_FALSE(dialogShown);
    EXPECT_FALSE(selection1()->isChecked());
    Session &session = *windows().session;
    EXPECT_FALSE(session.editionSelected());
    EXPECT_EQ(cardSourceLines(session).size(), 7);
}

TEST_F(EditionSelectionTest, CancelLeavesTheSelectionOff)
{
    select(QString());

    EXPECT_TRUE(dialogShown);
    EXPECT_FALSE(selection1()->isChecked());
    EXPECT_FALSE(windows().session->editionSelected());
    EXPECT_EQ(cardSourceLines(*windows().session).size(), 7);
}

TEST_F(EditionSelectionTest, EditionWithDoubleQuotesFindsItsCardsAndCanBeEdited)
{
    select(QStringLiteral("Le \"Retour\""));

    Session &session = *windows().session;
    ASSERT_TRUE(session.editionSelected());
    EXPECT_EQ(cardSourceLines(session), QStringList{"Dague (Le \"Retour\")"});
    EXPECT_TRUE(dialogs.errors.isEmpty());

    // The live query writes through to the card table.
    Dataset &source = session.cardSource();
    source.open();
    source.edit();
    source.field(card::Echangeable).setAsInteger(3);
    source.post();
    source.close();
    session.clearEditionSelection();
    Dataset &table = session.cardSource();
    table.open();
    int offered = 0;
    for (table.first(); !table.eof(); table.next())
        offered += table.field(card::Echangeable).asInteger();
    table.close();
    EXPECT_EQ(offered, 3);
}

TEST_F(EditionSelectionTest, ShowingTheMainWindowEndsTheSelection)
{
    select(QStringLiteral("Alpha"));
    windows().principale->show();
    EXPECT_FALSE(windows().session->editionSelected());
    EXPECT_FALSE(selection1()->isChecked());
    windows().principale->hide();
}

TEST(EditionDialogTest, EmptyTableGivesAnEmptyListThatCannotBeConfirmed)
{
    ScriptedDialogs dialogs;
    TempTables tables;
    Session session;
    session.setDatabaseDirectory(tables.dir());
    TChoixEdition dialog(session);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choix de la l'édition"));
    EXPECT_EQ(dialog.property("helpContext").toInt(), 6);
    EXPECT_FALSE(dialog.comboBox1()->isEditable());

    dialog.show();
    EXPECT_EQ(dialog.comboBox1()->count(), 0);
    EXPECT_FALSE(dialog.okButton()->isEnabled());
    dialog.hide();

    writeCardTable(tables.cardPath(), {makeCard("Ange", "Angel", "Zénith"), makeCard("Bête", "Beast", "Aube")});
    dialog.show(); // rebuilt each time it is shown
    EXPECT_EQ(dialog.comboBox1()->count(), 2);
    EXPECT_EQ(dialog.chosenEdition(), QStringLiteral("Aube"));
    EXPECT_TRUE(dialog.okButton()->isEnabled());
    dialog.hide();
    EXPECT_TRUE(dialogs.errors.isEmpty());
}
