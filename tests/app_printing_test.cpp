// "Imprimer…" as the user runs it: the print preview answered by printing
// into a PDF file, whose text pdftotext (poppler-utils) reads back page by
// page.
#include "app/tmultiples.h"
#include "ui/page_layout.h"
#include "ui/print_action.h"
#include "update/timportation.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The program started on the demo catalogue, with a folder for the files
// the test writes.
class PrintingTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }

    ScriptedDialogs dialogs;
    StartedProgram program{demoCatalogue(QStringLiteral(TABRIX_TEST_DATA "/../../catalogue"))};
    QTemporaryDir out;
};

// A text cut at its form feeds, each part as its non-empty lines with their
// blanks simplified.
std::vector<QStringList> partsOf(const QString &text)
{
    QStringList parts = text.split(QLatin1Char('\f'));
    if (!parts.isEmpty() && parts.back().trimmed().isEmpty())
        parts.removeLast();
    std::vector<QStringList> result;
    for (const QString &part : parts) {
        QStringList lines;
        for (const QString &line : part.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                lines << line.simplified();
        result.push_back(lines);
    }
    return result;
}

// The pages of a PDF file as pdftotext reads them.
std::vector<QStringList> pdfPages(const QString &pdf)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        ADD_FAILURE() << "pdftotext could not read " << pdf.toStdString() << " (poppler-utils installed?)";
    return partsOf(QString::fromUtf8(pdftotext.readAllStandardOutput()));
}

// The sections of a cp1252 text file between its form-feed lines.
std::vector<QStringList> fileSections(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? partsOf(QStringDecoder("windows-1252").decode(file.readAll()))
                                          : std::vector<QStringList>();
}

QString today()
{
    return PageLayout::dateText(QDate::currentDate());
}

} // namespace

TEST_F(PrintingTest, ClassificationFileOfTheDemoCataloguePrintsOneSubSectionPerPage)
{
    const QString file = out.filePath(QStringLiteral("classement.txt"));
    const QString pdf = out.filePath(QStringLiteral("classement.pdf"));

    dialogs.files = {file};
    triggerMenuItem("Gnrationdufichierdeclassement1");
    // The open dialog comes up on the file just written.
    dialogs.files = {file};
    dialogs.pdfFiles = {pdf};
    triggerMenuItem("Imprimerlefichierdeclassement1");

    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(" | ").toStdString();
    EXPECT_EQ(dialogs.selectedFiles, QStringList{file});
    EXPECT_EQ(dialogs.printed, QStringList{"Fichier de classement – classement.txt"});
    const std::vector<QStringList> sections = fileSections(file);
    const std::vector<QStringList> pages = pdfPages(pdf);
    ASSERT_EQ(sections.size(), 42u);
    ASSERT_EQ(pages.size(), sections.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const QStringList &page = pages[i];
        ASSERT_GE(page.size(), 3) << "page " << i + 1;
        EXPECT_EQ(page.front(), QStringLiteral("Fichier de classement – classement.txt ") + today()) << "page " << i + 1;
        EXPECT_EQ(page.back(), QStringLiteral("page %1 / 42").arg(i + 1));
        EXPECT_EQ(page.mid(1, page.size() - 2), sections[i]) << "page " << i + 1;
    }
    // The sections hold the demo's available cards: the file is not empty.
    EXPECT_EQ(pages[0].at(1), QStringLiteral("*-*-*-*-*-*-*-*-*-*-*-*-*-*-* INVOCATION VERTES *-*-*-*-*-*-*-*-*-*-*-*-*-*-*"));
    EXPECT_GT(pages[0].size(), 3);
}

TEST_F(PrintingTest, MultiplesListPrintsUnderItsTitleAndAPdfThatCannotBeWrittenIsAnError)
{
    const QString pdf = out.filePath(QStringLiteral("doubles.pdf"));
    const QString unwritable = out.filePath(QStringLiteral("absent/doubles.pdf"));

    QStringList lines;
    TMultiples *multiples = windows().multiples;
    whenShown(multiples, [&] {
        lines = listLines(multiples->listBox1());
        QAction *print = multiples->findChild<QAction *>(QStringLiteral("Imprimer"));
        dialogs.pdfFiles = {pdf, unwritable};
        print->trigger();
        print->trigger();
        multiples->close();
    });
    triggerMenuItem("Double1");

    ASSERT_FALSE(lines.isEmpty());
    const std::vector<QStringList> pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1u);
    QStringList expected{QStringLiteral("Double(s) ") + today()};
    for (const QString &line : lines)
        expected << line.simplified();
    expected << QStringLiteral("page 1 / 1");
    EXPECT_EQ(pages[0], expected);

    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Impossible d'écrire le fichier PDF %1.").arg(unwritable)});
    EXPECT_FALSE(QFile::exists(unwritable));
}

TEST_F(PrintingTest, EveryListThatExportsCanBePrintedToo)
{

    const auto printsToo = [](QObject *owner) {
        auto *widget = qobject_cast<QWidget *>(owner);
        if (!widget)
            return false;
        for (QAction *action : widget->actions())
            if (action->objectName() == QLatin1String("Imprimer") && action->text() == QStringLiteral("Imprimer…"))
                return true;
        return false;
    };
    int lists = 0;
    for (QAction *exporter : windows().principale->findChildren<QAction *>(QStringLiteral("Exporter"))) {
        for (QObject *owner : exporter->associatedObjects()) {
            ++lists;
            EXPECT_TRUE(printsToo(owner)) << owner->objectName().toStdString() << " of "
                                          << exporter->parent()->objectName().toStdString();
        }
    }
    // The search result, the two inventory lists, the multiples, the
    // valuation classes, the completion by edition and the CSV import report.
    EXPECT_EQ(lists, 7);
    // The update reports.
    EXPECT_TRUE(printsToo(windows().importation->listBox1()));
}
