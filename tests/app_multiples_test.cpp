#include "data/session.h"
#include "app/tmultiples.h"
#include "ui/windows.h"
#include "collection/trecherche_de_cartes.h"
#include "data/table.h"
#include "tests/support/printing.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

CardRow owned(const QString &name, const QString &edition, int dispo, int utilise = 0)
{
    return makeCard(name, name + QStringLiteral(" EN"), edition, dispo, utilise);
}

struct SessionOn {
    TempTables tables{{owned(QStringLiteral("Aigle des forêts"), QStringLiteral("Édition révisée"), 10, 2),
                       owned(QStringLiteral("Château hanté"), QStringLiteral("Mirage"), 5),
                       owned(QStringLiteral("Mouton"), QStringLiteral("Base"), 1, 3),
                       owned(QStringLiteral("Ours"), QStringLiteral("Base"), 3, 3),
                       owned(QStringLiteral("Pie"), QStringLiteral("Base"), 1, 1),
                       owned(QStringLiteral("Rat"), QStringLiteral("Mirage"), 2),
                       owned(QStringLiteral("Zèbre"), QStringLiteral("Base"), 0, 0)}};
    Session session;
    SessionOn() { session.setDatabaseDirectory(tables.dir()); }
};

const QStringList plusLines = {QStringLiteral("Aigle des forêts x 12 (Édition révisée)"),
                               QStringLiteral("Château hanté x 5 (Mirage)"),
                               QStringLiteral("Ours x 6 (Base)")};

} // namespace

class MultiplesWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        windows().session = &s.session;
        windows().rechercheDeCartes = &recherche;
        windows().multiples = &multiples;
    }
    void TearDown() override { windows() = Windows(); }

    // Opens the list as the menu command does and runs `inside` while it is shown.
    void showList(int multiplicite, const QString &caption, std::function<void()> inside)
    {
        QTimer::singleShot(0, [&] {
            inside();
            multiples.close();
        });
        multiples.showMultiples(multiplicite, caption);
    }
    QStringList shownLines() const
    {
        QStringList result;
        for (int i = 0; i < multiples.listBox1()->count(); ++i)
            result << multiples.listBox1()->item(i)->text();
        return result;
    }

    SessionOn s;
    ScriptedDialogs dialogs;
    TRecherche_De_Cartes recherche{s.session};
    TMultiples multiples{s.session};
};

TEST_F(MultiplesWindowTest, SavesTheListInCp1252WithCrLf)
{
    EXPECT_EQ(multiples.property("helpContext").toInt(), 11);
    const QString plus = s.tables.path(QStringLiteral("plus.txt"));
    const QString triples = s.tables.path(QStringLiteral("triples.txt"));
    QFile old(triples);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("ancienne liste\r\n");
    old.close();
    // Save dialog answers: a file, an existing file, cancel.
    dialogs.files = {plus, triples, QString()};

    showList(5, QStringLiteral("Plus"), [&] {
        EXPECT_EQ(shownLines(), plusLines);
        multiples.imprimer1()->trigger();
    });
    EXPECT_EQ(readFile(plus), readFile(QStringLiteral(TABRIX_TEST_DATA "/multiples_plus.txt")));

    showList(3, QStringLiteral("Triple(s)"), [&] { multiples.imprimer1()->trigger(); });
    EXPECT_TRUE(QFile::exists(triples));
    EXPECT_EQ(readFile(triples), QByteArray());

    showList(2, QStringLiteral("Double(s)"), [&] { multiples.imprimer1()->trigger(); });
    EXPECT_TRUE(dialogs.files.empty());
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(MultiplesWindowTest, FileThatCannotBeCreatedGivesOnlyTheErrorBox)
{
    const QString path = s.tables.path(QStringLiteral("absent/doubles.txt"));
    dialogs.files = {path};
    QStringList before, after;
    showList(2, QStringLiteral("Double(s)"), [&] {
        before = shownLines();
        multiples.imprimer1()->trigger();
        after = shownLines();
    });
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.first().startsWith(QStringLiteral("Impossible de créer le fichier ")));
    EXPECT_TRUE(dialogs.errors.first().contains(QStringLiteral("le dossier n'existe pas")));
    EXPECT_EQ(after, before);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(MultiplesWindowTest, DoubleClickOpensThatCardAndRebuildsTheList)
{
    QString shownCard;
    QStringList afterwards;
    showList(5, QStringLiteral("Plus"), [&] {
        multiples.listBox1()->setCurrentRow(0);
        QTimer::singleShot(0, [&] {
            ASSERT_EQ(QApplication::activeModalWidget(), &recherche);
            shownCard = recherche.findChild<QComboBox *>(QStringLiteral("ComboBox1"))->currentText();
            Table table; // the user gives nine copies away meanwhile
            table.setTableName(s.tables.cardPath());
            table.open();
            ASSERT_TRUE(table.findKey({QStringLiteral("Aigle des forêts"), QStringLiteral("Aigle des forêts EN"),
                                       QStringLiteral("Édition révisée")}));
            table.edit();
            table.field(10).setAsInteger(1);
            table.post();
            table.close();
            recherche.close();
        });
        multiples.ListBox1DblClick();
        afterwards = shownLines();

        // Nothing selected: nothing opens.
        multiples.listBox1()->clearSelection();
        QTimer::singleShot(0, [&] {
            EXPECT_EQ(QApplication::activeModalWidget(), &multiples);
            if (QApplication::activeModalWidget() != &multiples)
                QApplication::activeModalWidget()->close();
        });
        multiples.ListBox1DblClick();
        QApplication::processEvents();
    });
    EXPECT_EQ(shownCard, QStringLiteral("Aigle des forêts (Édition révisée)"));
    EXPECT_EQ(afterwards, plusLines.mid(1));
}
