#include "analysis/tanalyse.h"
#include "analysis/tcompletude.h"
#include "analysis/tevaluation.h"
#include "collection/tinventaire.h"
#include "ui/dialogs.h"
#include "ui/export_action.h"
#include "ui/help.h"
#include "ui/help_file.h"
#include "ui/windows.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QPrintPreviewDialog>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

// F1 in every window of the program opens a topic of its own, and every
// topic number the windows and the code name is a topic of AIDE.HLP.
namespace {

HelpTopics installedTopics()
{
    QFile file(QStringLiteral(TABRIX_BIN_DIR "/AIDE.HLP"));
    return file.open(QIODevice::ReadOnly) ? parseHelpFile(QString::fromUtf8(file.readAll())) : HelpTopics();
}

// The topic F1 opens in `window`, the same from the window and from each
// of its controls; -1 when two of them disagree.
int topicOf(const QWidget *window)
{
    const int topic = help::contextOf(window);
    for (const QWidget *child : window->findChildren<QWidget *>()) {
        if (child->window() == window && help::contextOf(child) != topic) {
            ADD_FAILURE() << child->objectName().toStdString() << " in " << window->objectName().toStdString()
                          << " has topic " << help::contextOf(child) << ", its window " << topic;
            return -1;
        }
    }
    return topic;
}

class HelpCoverageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(program.status, 0);
        ASSERT_FALSE(topics.empty());
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(program.tables.dir()); // the inventory writes FICHIER.TXT here
    }
    void TearDown() override { QDir::setCurrent(m_previousDir); }

    // The topic of the inventory window while `open` shows it.
    int inventoryTopicWhile(const std::function<void()> &open)
    {
        TInventaire *inventaire = windows().inventaire;
        int topic = 0;
        whenShown(inventaire, [&] {
            topic = topicOf(inventaire);
            inventaire->close();
        });
        open();
        return topic;
    }

    ScriptedDialogs dialogs;
    StartedProgram program{{makeCard("Ange", "Angel", "Alpha", 2, 1), makeCard("Bête", "Beast", "Beta", 0, 0)}};
    const HelpTopics topics = installedTopics();

private:
    QString m_previousDir;
};

} // namespace

TEST_F(HelpCoverageTest, EveryWindowOpensATopicOfItsOwn)
{
    // By form name: every window created at start-up. The main window, the
    // about box and the progress window, which belong to no one command,
    // open the main page.
    const std::map<QString, int> expected = {
        {"Principale", 1},      {"AboutBox", 1},    {"Progression", 1},          {"Recherche_De_Cartes", 4},
        {"MiseAJour", 5},       {"Importation", 5}, {"ChoixEdition", 6},         {"Evaluation", 9},
        {"Analyse", 10},        {"Analyse_Defilement", 10}, {"Inventaire", 10},  {"Multiples", 11},
        {"Seuil", 15},          {"Echange", 16},    {"Frm_Rechercher", 17},      {"ResultatRecherche", 17},
        {"Restauration", 20},   {"ImportCsv", 24},  {"RapportCsv", 24},          {"Completude", 25},
        {"Visualisation", 27}};
    QWidget *principale = windows().principale;
    std::set<QString> seen = {principale->objectName()};
    EXPECT_EQ(topicOf(principale), 1);
    for (QDialog *window : principale->findChildren<QDialog *>(Qt::FindDirectChildrenOnly)) {
        const QString name = window->objectName();
        SCOPED_TRACE(name.toStdString());
        seen.insert(name);
        const auto found = expected.find(name);
        ASSERT_NE(found, expected.end()) << "a window with no topic: give it one in AIDE.HLP";
        EXPECT_EQ(topicOf(window), found->second);
        EXPECT_TRUE(topics.count(found->second));
    }
    EXPECT_EQ(seen.size(), expected.size());

    // The chart windows, made when first asked for.
    windows().evaluation->Graphique1Click();
    windows().analyse->Graphique1Click();
    windows().completude->Graphique1Click();
    for (const char *chart : {"GraphiqueEvaluation", "GraphiqueAnalyse", "GraphiqueCompletude"}) {
        SCOPED_TRACE(chart);
        auto *window = principale->findChild<QDialog *>(QString::fromLatin1(chart));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(topicOf(window), help::ChartContext);
        window->close();
    }
}

TEST_F(HelpCoverageTest, InventoryWindowTellsAboutTheUseItIsOpenedFor)
{
    EXPECT_EQ(inventoryTopicWhile([] { windows().analyse->LabelClick(0, 0); }), 10);
    EXPECT_EQ(inventoryTopicWhile([] {
                  TEvaluation *evaluation = windows().evaluation;
                  evaluation->FormShow();
                  evaluation->listBox1()->setCurrentRow(0);
                  evaluation->ListBox1DblClick();
              }),
              10);
    EXPECT_EQ(inventoryTopicWhile([] { triggerMenuItem("Cartesutilises1"); }), help::UsedCardsContext);
    EXPECT_EQ(topicOf(windows().inventaire), 10);

    dialogs.files.push_back(program.tables.path(QStringLiteral("ECHANGE.DB")));
    EXPECT_EQ(inventoryTopicWhile([] { triggerMenuItem("Visualiserunfichierdchanges1"); }),
              help::ExchangeViewerContext);
    EXPECT_EQ(dialogs.fileHelpContexts, std::vector<int>{help::ExchangeViewerContext}); // its open dialog
    EXPECT_EQ(topicOf(windows().inventaire), 10);
    // Cancelled at its open dialog, the viewer gives the window back too.
    triggerMenuItem("Visualiserunfichierdchanges1");
    EXPECT_EQ(topicOf(windows().inventaire), 10);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join(QLatin1Char('\n')));
}

// With Qt's own dialogs, as the program shows them: F1 pressed in the export's
// file dialog and in the print preview opens their topics, not the topic of
// the window they were opened from.
TEST_F(HelpCoverageTest, F1InTheExportDialogAndThePrintPreviewOpensTheirTopics)
{
    help::installF1Handler(*qApp);
    setDialogs(nullptr); // the topics asked for are still recorded
    QWidget *owner = windows().evaluation;
    struct Case {
        const char *what;
        std::function<void()> open;
        std::function<bool(QWidget *)> isIt;
        int topic;
    } cases[] = {
        {"export", [owner] { exportToCsv(owner, {{QStringLiteral("Nom")}}); },
         [](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; }, help::ExportContext},
        {"print preview", [owner] { ::dialogs().printPreview(owner, QStringLiteral("Liste"), [](QPrinter &) {}); },
         [](QWidget *w) { return qobject_cast<QPrintPreviewDialog *>(w) != nullptr; }, help::PrintingContext},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.topics.clear();
        bool pressed = false;
        std::function<void()> pressF1 = [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog || !c.isIt(dialog)) {
                QTimer::singleShot(20, qApp, pressF1);
                return;
            }
            modal::failIfLeftOpen(dialog, QDeadlineTimer(modal::LimitMs));
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
            QWidget *focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : dialog, Qt::Key_F1);
            pressed = true;
            static_cast<QDialog *>(dialog)->reject();
        };
        QTimer::singleShot(20, qApp, pressF1);
        c.open();
        EXPECT_TRUE(pressed);
        EXPECT_EQ(dialogs.topics, std::vector<int>{c.topic});
    }
}

TEST(HelpFileTest, EveryTopicNumberOfTheFormsAndTheCodeIsInTheHelpFile)
{
    const HelpTopics topics = installedTopics();
    const QDir source(QStringLiteral(TABRIX_TEST_DATA "/../.."));
    const QRegularExpression inForm(QStringLiteral("name=\"helpContext\"[^>]*>\\s*<number>(\\d+)</number>"));
    const QRegularExpression inCode(QStringLiteral("constexpr int \\w*Context\\w* = (\\d+);"));
    std::map<int, QString> used; // number -> where it was first seen
    for (const char *folder : {"forms", "ui", "app", "collection", "analysis", "search", "update", "exchange"}) {
        QDirIterator files(source.filePath(QString::fromLatin1(folder)),
                           {QStringLiteral("*.ui"), QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
        while (files.hasNext()) {
            const QString path = files.next();
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(path);
            const QString text = QString::fromUtf8(file.readAll());
            for (const auto &match : (path.endsWith(QLatin1String(".ui")) ? inForm : inCode).globalMatch(text))
                used.emplace(match.captured(1).toInt(), source.relativeFilePath(path));
        }
    }
    // The forms name the menu's numbers; the code those of 17 on.
    ASSERT_TRUE(used.count(13) && used.count(17) && used.count(27)) << "the search found too little";
    for (const auto &[context, where] : used) {
        SCOPED_TRACE(where.toStdString());
        const auto topic = topics.find(context);
        ASSERT_NE(topic, topics.end()) << "topic " << context << " is missing from AIDE.HLP";
        EXPECT_FALSE(topic->second.title.isEmpty());
        EXPECT_GT(topic->second.text.size(), 60) << "topic " << context << " says too little";
    }
}
