#include "analysis/tanalyse.h"
#include "collection/tinventaire.h"
#include "ui/app_title.h"
#include "ui/dialogs.h"
#include "ui/help.h"
#include "ui/help_file.h"
#include "data/session.h"
#include "ui/taboutbox.h"
#include "app/tchoixedition.h"
#include "app/tprincipale.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Item {
    const char *menu;
    const char *name; // "" for a separator
    const char *caption;
    const char *shortcut;
    int help;
    bool enabled;
};

// The whole menu, in order.
const std::vector<Item> &menuTree()
{
    static const std::vector<Item> items = {
        {"Lescartes1", "Initialiserlespossesions1", "&Initialiser les possesions", "", 3, true},
        {"Lescartes1", "Consulter", "&Consulter", "", 4, true},
        {"Lescartes1", "Rechercher", "&Rechercher", "", 0, true},
        {"Lescartes1", "MisejourImportation1", "&Mise à jour, Importation", "", 5, true},
        {"Lescartes1", "ImporterunfichierCSV1", "Importer un &fichier CSV…", "", 24, true},
        {"Lescartes1", "Selection1", "&Selection", "", 6, true},
        {"Lescartes1", "Restaurerunesauvegarde1", "Restaurer une sauvegarde…", "", 20, true},
        {"Lescartes1", "N2", "", "", 0, true},
        {"Lescartes1", "Quitter1", "&Quitter", "Ctrl+Q", 7, true},
        {"Analyse1", "Evaluerlacollection1", "&Evaluer la collection", "", 9, true},
        {"Analyse1", "Analyserlacollection1", "&Analyser la collection", "", 10, true},
        {"Analyse1", "Compltudepardition1", "Com&plétude par édition…", "", 25, true},
        {"Analyse1", "Doubles1", "&Multiples", "", 11, true},
        {"Analyse1", "Gnrationdufichierdeclassement1", "&Génération du fichier de classement", "", 12, true},
        {"Analyse1", "Imprimerlefichierdeclassement1", "&Imprimer le fichier de classement…", "", 26, true},
        {"Analyse1", "N3", "", "", 0, true},
        {"Analyse1", "Cartesutilises1", "&Cartes utilisées", "", 0, true},
        {"Doubles1", "Double1", "&Double", "Ctrl+F2", 11, true},
        {"Doubles1", "Triple1", "&Triple", "Ctrl+F3", 11, true},
        {"Doubles1", "Quadruple1", "&Quadruple", "Ctrl+F4", 11, true},
        {"Doubles1", "Plus1", "&Plus", "Ctrl+F5", 11, true},
        {"Echange1", "Initialiserlesechanges1", "&Initialiser les echanges", "", 14, true},
        {"Echange1", "Seuildchange1", "&Seuil d'échange", "", 15, true},
        {"Echange1", "Genererfichierdesechanges1", "&Generer fichier des echanges", "", 15, true},
        {"Echange1", "Visualiserunfichierdchanges1", "Visualiser un fichier d'échanges", "", 0, true},
        {"N1", "Apropos1", "&A propos", "", 0, true},
        {"N1", "Aide1", "Aide", "", 0, true},
    };
    return items;
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }
    TPrincipale *principale() const { return static_cast<TPrincipale *>(windows().principale); }
    QMenu *menu(const char *name) const { return principale()->findChild<QMenu *>(name); }
    QAction *item(const char *name) const { return principale()->findChild<QAction *>(name); }

    ScriptedDialogs dialogs;
    StartedProgram program{{makeCard("Ange", "Angel", "Alpha", 2, 0)}};
};

} // namespace

TEST_F(MainWindowTest, MenuTreeHasItsCaptionsShortcutsHelpAndState)
{
    const QStringList top = {"&Les cartes", "&Analyse", "&Echange", "&?"};
    QStringList shown;
    for (QAction *action : principale()->menuBar()->actions())
        shown.append(action->text());
    EXPECT_EQ(shown, top);
    EXPECT_EQ(menu("Lescartes1")->property("helpContext").toInt(), 2);
    EXPECT_EQ(menu("Analyse1")->property("helpContext").toInt(), 8);
    EXPECT_EQ(menu("Echange1")->property("helpContext").toInt(), 13);

    std::map<std::string, int> positions;
    for (const Item &expected : menuTree()) {
        SCOPED_TRACE(expected.name);
        QMenu *parent = menu(expected.menu);
        ASSERT_NE(parent, nullptr);
        const int position = positions[expected.menu]++;
        ASSERT_LT(position, parent->actions().size());
        QAction *action = parent->actions().at(position);
        if (action->menu())
            EXPECT_EQ(action->menu()->objectName(), QString::fromUtf8(expected.name));
        else
            EXPECT_EQ(action->objectName(), QString::fromUtf8(expected.name));
        EXPECT_EQ(action->isSeparator(), QByteArray(expected.caption).isEmpty());
        EXPECT_EQ(action->text(), QString::fromUtf8(expected.caption));
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromUtf8(expected.shortcut)));
        const QObject *helpHolder = action->menu() ? static_cast<QObject *>(action->menu()) : action;
        EXPECT_EQ(helpHolder->property("helpContext").toInt(), expected.help);
        EXPECT_EQ(action->isEnabled(), expected.enabled);
        EXPECT_TRUE(action->isVisible());
    }
    for (const auto &[name, count] : positions)
        EXPECT_EQ(menu(name.c_str())->actions().size(), count) << name;
    EXPECT_TRUE(item("Selection1")->isCheckable());
    EXPECT_FALSE(item("Selection1")->isChecked());
}

TEST_F(MainWindowTest, WindowLooksAsDesigned)
{
    EXPECT_EQ(principale()->windowTitle(), QStringLiteral("Tabrix"));
    EXPECT_EQ(principale()->size(), QSize(304, 116));
    EXPECT_EQ(principale()->property("helpContext").toInt(), 1);
    EXPECT_EQ(principale()->centralWidget()->palette().color(QPalette::Window), QColor(0x40, 0x80, 0x80));
}

// Labels placed by position, in every window, hold their text whole at the
// window's font, the analysis cells of four-digit counts too; the inventory's
// two column titles stand on one line.
TEST(WindowLayoutTest, PlacedLabelsHoldTheirTextAndTheInventoryTitlesShareALine)
{
    StartedProgram program(manyCards(2002)); // one analysis cell of 1001/2002
    ASSERT_EQ(program.status, 0);
    windows().analyse->FormShow();
    for (QWidget *window : QApplication::topLevelWidgets()) {
        for (QLabel *label : window->findChildren<QLabel *>()) {
            if (label->window() != window || label->text().isEmpty() || label->parentWidget()->layout())
                continue;
            EXPECT_TRUE(label->rect().contains(QRect(QPoint(), label->sizeHint())))
                << qPrintable(window->objectName()) << ' ' << qPrintable(label->text());
        }
    }
    const QLabel *left = windows().inventaire->label1(), *right = windows().inventaire->label2();
    EXPECT_EQ(left->geometry().center().y(), right->geometry().center().y());
}

TEST_F(MainWindowTest, QuitterClosesTheMainWindow)
{
    principale()->show();
    ASSERT_TRUE(principale()->isVisible());
    item("Quitter1")->trigger();
    EXPECT_FALSE(principale()->isVisible());
}

TEST_F(MainWindowTest, AproposShowsTheAboutBoxWithItsOkButton)
{
    TAboutBox *about = windows().aboutBox;
    bool okShown = false;
    bool gaugeHidden = false;
    whenShown(about, [&]() {
        okShown = about->okButton()->isVisible();
        gaugeHidden = about->progression()->isHidden();
        QTest::mouseClick(about->okButton(), Qt::LeftButton);
    });
    item("Apropos1")->trigger();
    EXPECT_TRUE(okShown);
    EXPECT_TRUE(gaugeHidden);
    EXPECT_EQ(about->windowTitle(), QStringLiteral("A propos"));
    EXPECT_EQ(about->size(), QSize(253, 234));
    EXPECT_EQ(about->progression()->size(), QSize(237, 33));
    EXPECT_EQ(about->progression()->geometry().center().y(), about->okButton()->geometry().center().y());
    EXPECT_TRUE(about->findChild<QLabel *>("ProductName")->text() == QStringLiteral("Tabrix "));
}

TEST_F(MainWindowTest, AideOpensTheFirstTopic)
{
    item("Aide1")->trigger();
    EXPECT_EQ(dialogs.topics, std::vector<int>{1});
}

TEST_F(MainWindowTest, F1OpensTheTopicOfTheHighlightedMenuItem)
{
    help::installF1Handler(*qApp);
    principale()->show();
    QMenu *lesCartes = menu("Lescartes1");
    struct Case {
        const char *item;
        int topic;
    } cases[] = {{"Consulter", 4}, {"Rechercher", 2}, {"Quitter1", 7}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        dialogs.topics.clear();
        lesCartes->popup(principale()->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == lesCartes; }));
        lesCartes->setActiveAction(item(c.item));
        QTest::keyClick(lesCartes, Qt::Key_F1);
        EXPECT_EQ(dialogs.topics, std::vector<int>{c.topic});
        EXPECT_FALSE(lesCartes->isVisible());
    }

    // A highlighted submenu gives the submenu's topic; a bare menu its own.
    QMenu *analyse = menu("Analyse1");
    analyse->popup(principale()->mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activePopupWidget() == analyse; }));
    analyse->setActiveAction(menu("Doubles1")->menuAction());
    dialogs.topics.clear();
    QTest::keyClick(analyse, Qt::Key_F1);
    ASSERT_FALSE(dialogs.topics.empty());
    EXPECT_EQ(dialogs.topics.front(), 11);
    principale()->hide();
}

TEST_F(MainWindowTest, F1InADialogOpensItsTopic)
{
    help::installF1Handler(*qApp);
    TChoixEdition *dialog = windows().choixEdition;
    whenShown(dialog, [&]() {
        // The user presses F1 in the dialog once it has the focus; on a busy
        // machine it is shown a moment before it becomes active.
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        dialog->comboBox1()->setFocus();
        QTest::keyClick(dialog->comboBox1(), Qt::Key_F1);
        dialog->reject();
    });
    item("Selection1")->trigger();
    ASSERT_FALSE(dialogs.topics.empty());
    EXPECT_EQ(dialogs.topics.back(), 6);
    EXPECT_EQ(help::contextOf(principale()), 1);
    EXPECT_EQ(help::contextOf(nullptr), 1);
}

TEST(HelpFileTest, EveryHelpContextHasAFrenchTopic)
{
    QFile file(QStringLiteral(TABRIX_BIN_DIR "/AIDE.HLP"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const HelpTopics topics = parseHelpFile(QString::fromUtf8(file.readAll()));
    for (int context = 1; context <= 16; ++context) {
        SCOPED_TRACE(context);
        const auto found = topics.find(context);
        ASSERT_NE(found, topics.end());
        EXPECT_FALSE(found->second.title.isEmpty());
        EXPECT_GT(found->second.text.size(), 60);
    }
}

TEST(HelpFileTest, ParsesTopicsParagraphsAndLists)
{
    const HelpTopics topics = parseHelpFile(QStringLiteral(
        "; commentaire\r\nTexte avant la première rubrique\r\n"
        "@3 Remise à zéro\r\nPremière ligne\r\nsuite <b>brute</b>\r\n\r\n- un\r\n- deux\r\n  suite\r\n"
        "; autre commentaire\r\n\r\n@x pas une rubrique\r\n@12 Classement\r\n"));
    ASSERT_EQ(topics.size(), 2u);
    const HelpTopic &reset = topics.at(3);
    EXPECT_EQ(reset.title, QStringLiteral("Remise à zéro"));
    EXPECT_EQ(helpTopicHtml(reset),
              QStringLiteral("<h2>Remise à zéro</h2>\n<p>Première ligne suite &lt;b&gt;brute&lt;/b&gt;</p>\n"
                             "<ul>\n<li>un</li>\n<li>deux suite</li>\n</ul>\n<p>@x pas une rubrique</p>\n"));
    EXPECT_EQ(topics.at(12).text, QString());
}

TEST(DialogsTest, FileFiltersBecomeQtFilters)
{
    EXPECT_EQ(qtFileFilter(QStringLiteral("Fichier bases (*.db)|*.db")), QStringLiteral("Fichier bases (*.db)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("Tous les fichiers (*.*)|*.*|Fichier textes (*.txt)|*.txt")),
              QStringLiteral("Tous les fichiers (*);;Fichier textes (*.txt)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("Mise à jour|*.maj;*.MAJ")), QStringLiteral("Mise à jour (*.maj *.MAJ)"));
    EXPECT_EQ(qtFileFilter(QString()), QString());
}

TEST(DialogsTest, CommandErrorsGoToTheStandardErrorBox)
{
    ScriptedDialogs dialogs;
    EXPECT_FALSE(runCommand([] { throw AppError(QStringLiteral("Fichier introuvable")); }));
    EXPECT_TRUE(runCommand([] {}));
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Fichier introuvable")});
}
