// "Exporter…" as the user runs it from the real windows: the search result
// (button), the multiples list, the valuation classes and the inventory's
// list of owned cards, each file checked byte for byte.
#include "analysis/tevaluation.h"
#include "app/tmultiples.h"
#include "collection/tinventaire.h"
#include "search/tfrm_rechercher.h"
#include "search/tresultatrecherche.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

CardRow card(const char *french, const char *english, const char *edition, int dispo, int utilise, double cote)
{
    CardRow row = makeCard(QString::fromUtf8(french), QString::fromUtf8(english), QString::fromUtf8(edition),
                           dispo, utilise);
    row.cote = cote;
    return row;
}

QAction *exporter(QWidget *owner)
{
    for (QAction *action : owner->findChildren<QAction *>(QStringLiteral("Exporter")))
        return action;
    return nullptr;
}

class ExportTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }

    // The next save dialog answers this file; returns its path.
    QString answerSave(const char *name)
    {
        const QString path = QDir(out.path()).filePath(QString::fromLatin1(name));
        dialogs.files.push_back(path);
        return path;
    }
    static QByteArray reference(const char *name)
    {
        return readFile(QStringLiteral(TABRIX_TEST_DATA "/") + QString::fromLatin1(name));
    }

    ScriptedDialogs dialogs;
    QTemporaryDir out;
    StartedProgram program{{card("Éclair; foudre", "Bolt", "Alpha", 2, 0, 12.5),
                            card("Le \"Grand\" Ange", "Angel", "Bêta", 1, 1, 0.1),
                            card("Forêt", "Forest", "Alpha", 0, 0, 3)}};
};

} // namespace

TEST_F(ExportTest, EachListIsWrittenWithOneColumnPerField)
{
    // The search result, from its button.
    const QString search = answerSave("recherche.csv");
    TFrm_Rechercher *criteria = windows().frmRechercher;
    TResultatRecherche *result = windows().resultatRecherche;
    whenShown(criteria, [&] {
        whenShown(result, [&] {
            result->findChild<QPushButton *>(QStringLiteral("Exporter"))->click();
            result->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        });
        criteria->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        criteria->findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
    });
    triggerMenuItem("Rechercher");
    EXPECT_EQ(readFile(search), reference("export_recherche.csv"));

    // The doubles, from the list's pop-up menu.
    const QString doubles = answerSave("doubles"); // ".csv" is added
    TMultiples *multiples = windows().multiples;
    whenShown(multiples, [&] {
        exporter(multiples)->trigger();
        multiples->close();
    });
    triggerMenuItem("Double1");
    EXPECT_EQ(readFile(doubles + QStringLiteral(".csv")), reference("export_multiples.csv"));

    // The valuation's price classes.
    const QString classes = answerSave("evaluation.csv");
    TEvaluation *evaluation = windows().evaluation;
    whenShown(evaluation, [&] {
        exporter(evaluation->listBox1())->trigger();
        evaluation->close();
    });
    triggerMenuItem("Evaluerlacollection1");
    EXPECT_EQ(readFile(classes), reference("export_evaluation.csv"));

    // The inventory's owned cards (green, any type and rarity).
    const QString owned = answerSave("inventaire.csv");
    TInventaire *inventaire = windows().inventaire;
    whenShown(inventaire, [&] {
        inventaire->listBox1()->actions().first()->trigger();
        inventaire->accept();
    });
    inventaire->exec();
    EXPECT_EQ(readFile(owned), reference("export_inventaire.csv"));

    EXPECT_EQ(dialogs.filters.size(), 4);
    EXPECT_EQ(dialogs.filters.first(), QStringLiteral("Fichier CSV (*.csv)|*.csv"));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join(QLatin1Char('\n')));
}
