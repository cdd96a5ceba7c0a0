#include "collection/trecherche_de_cartes.h"
#include "data/backup.h"
#include "data/csv_reader.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"
#include "update/timportcsv.h"
#include "update/trapportcsv.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

class CsvImportWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }

    QString writeCsv(const QByteArray &bytes)
    {
        const QString path = program.elsewhere.filePath("collection.csv");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    ScriptedDialogs dialogs;
    StartedProgram program{{makeCard("Ange", "Angel", "Alpha", 1), makeCard("Ours", "Bear", "Alpha")}};
};

} // namespace

TEST_F(CsvImportWindowTest, MenuItemImportsTheChosenFileReportsAndExportsItsLinesAndRebuildsTheEntryLists)
{
    QAction *item = windows().principale->findChild<QAction *>("ImporterunfichierCSV1");
    ASSERT_NE(item, nullptr);

    // A spreadsheet's file: cp1252, ";", French titles.
    dialogs.files = {writeCsv("Nom fran\xE7" "ais;\xC9" "dition;Quantit\xE9;Remarque\r\nOurs;Alpha;2;\r\nDragon;Alpha;1;rare\r\n"),
                     program.elsewhere.filePath("a corriger")};
    TImportCsv *window = windows().importCsv;
    TRapportCsv *report = windows().rapportCsv;
    QStringList reported;
    whenShown(report, [&] {
        for (int row = 0; row < report->listBox1()->count(); ++row)
            reported << report->listBox1()->item(row)->text();
        report->findChild<QPushButton *>("Exporter")->click();
        report->close();
    });
    whenShown(window, [&] {
        EXPECT_EQ(window->property("helpContext").toInt(), 24);
        EXPECT_EQ(window->columns(), (std::vector<int>{0, 2, 10, -1}));
        // One column per field: choosing it elsewhere lets the first go.
        window->columnBox(3)->setCurrentIndex(3);
        EXPECT_EQ(window->columns(), (std::vector<int>{0, -1, 10, 2}));
        window->columnBox(1)->setCurrentText("Origine");
        window->findChild<QRadioButton *>("Ajouter")->setChecked(true);
        window->findChild<QPushButton *>("Importer")->click();
    });
    windows().rechercheDeCartes->FormShow();
    item->trigger();

    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("\n").toStdString();
    EXPECT_EQ(dialogs.filters.first(), u("Fichier CSV (*.csv)|*.csv|Tous les fichiers (*)|*"));
    EXPECT_EQ(reported.mid(1, 3), QStringList({u("Cartes mises à jour : 1"), u("Cartes créées : 0"), u("Introuvables : 1")}));
    EXPECT_EQ(reported.last(), u("Ligne 3, introuvable : Dragon (Alpha) : aucune carte de ce nom dans cette édition"));
    const csv::Document corrected = csv::readFile(program.elsewhere.filePath("a corriger.csv"));
    EXPECT_EQ(corrected.row(0).mid(2), QStringList({"Dragon", "Alpha", "1", "rare"}));

    // The counts were added, after a backup; the entry lists are rebuilt.
    const QList<backup::BackupFile> backups = backup::listBackups(backup::folderFor(program.tables.cardPath()));
    ASSERT_EQ(backups.size(), 1);
    EXPECT_EQ(backups[0].command, "import-csv");
    EXPECT_TRUE(windows().rechercheDeCartes->frenchLines().isEmpty());
    windows().rechercheDeCartes->FormShow();
    EXPECT_TRUE(windows().rechercheDeCartes->windowTitle().startsWith("2/2 "));
}

TEST_F(CsvImportWindowTest, HostileFileOrBadValueIsRefusedWithItsMessageAndChangesNothing)
{
    const QByteArray before = readFile(program.tables.cardPath());
    dialogs.files = {writeCsv(QByteArray("Nom;Dispo\n\"Ours;1\n"))};
    TImportCsv *window = windows().importCsv;
    EXPECT_FALSE(window->chooseFile());
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(u("Ligne 2, colonne 1 : un guillemet est ouvert et jamais fermé.")));

    dialogs.files = {writeCsv(QByteArray("Nom;Origine;Dispo\nOurs;Alpha;beaucoup\n"))};
    ASSERT_TRUE(window->chooseFile());
    whenShown(window, [&] {
        window->ImporterClick();
        EXPECT_TRUE(window->isVisible());
        window->reject();
    });
    window->exec();
    ASSERT_EQ(dialogs.errors.size(), 2);
    EXPECT_TRUE(dialogs.errors[1].startsWith(u("Ligne 2, colonne 3 (« Dispo ») : « beaucoup » n'est pas")));
    EXPECT_TRUE(backup::listBackups(backup::folderFor(program.tables.cardPath())).isEmpty());
    EXPECT_EQ(readFile(program.tables.cardPath()), before);
}
