#include "app/tprincipale.h"
#include "collection/tinventaire.h"
#include "collection/trecherche_de_cartes.h"
#include "data/card_table.h"
#include "data/error.h"
#include "data/session.h"
#include "data/table.h"
#include "exchange/exchange_table.h"
#include "exchange/received_exchange.h"
#include "ui/windows.h"
#include "tools/paradox_writer.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// The other collector's collection and the exchange table written from it.
std::vector<CardRow> theirCollection()
{
    return {exchangeCard(QStringLiteral("Ange"), QStringLiteral("Alpha"), 5, 0, 3, 0),
            exchangeCard(QStringLiteral("Bête"), QStringLiteral("Beta"), 0, 0, 0, 1),
            exchangeCard(QStringLiteral("Chêne"), QStringLiteral("Alpha"), 2, 0, 1, 2),
            exchangeCard(QStringLiteral("Dague"), QStringLiteral("Alpha"), 4, 0, 0, 0),
            exchangeCard(QString(300, QLatin1Char('L')), QStringLiteral("Alpha"), 1, 0, 1, 0)};
}

// The user's own collection: owns Ange, offers Bête.
std::vector<CardRow> myCollection()
{
    return {exchangeCard(QStringLiteral("Ange"), QStringLiteral("Alpha"), 1, 1, 0, 0),
            exchangeCard(QStringLiteral("Bête"), QStringLiteral("Beta"), 3, 0, 2, 0),
            exchangeCard(QStringLiteral("Chêne"), QStringLiteral("Alpha"), 0, 0, 0, 0),
            exchangeCard(QString(300, QLatin1Char('L')), QStringLiteral("Alpha"), 0, 0, 0, 0)};
}

QString writtenExchangeTable(const TempTables &theirs)
{
    Session session;
    session.setDatabaseDirectory(theirs.dir());
    exchange::writeSessionExchangeTable(session);
    return theirs.path(card::ExchangeFile);
}

const QString LongLine = QString(300, QLatin1Char('L')) + QStringLiteral(" x 1 (Alpha)");

} // namespace

TEST(ReceivedExchangeTest, SummaryAgreesInNumber)
{
    exchange::ReceivedExchange one;
    one.offered.resize(1);
    one.wanted.resize(1);
    one.wanted[0].standsOut = true;
    EXPECT_EQ(exchange::summaryLine(one),
              QStringLiteral("1 carte proposée dont 0 vous manque ; 1 recherchée dont 1 que vous pouvez donner"));
}

TEST(ReceivedExchangeTest, HostileOrForeignFilesAreRefusedWithAClearMessage)
{
    struct Case {
        const char *name;
        const char *sql;   // run on a copy of a good exchange table; nullptr: garbage bytes
        const char *message;
    };
    const std::vector<Case> cases = {
        {"not a table file", nullptr, "pas un fichier d'échanges lisible"},
        {"no Cherche field", "ALTER TABLE ECHANGE DROP COLUMN Cherche", "il lui manque le champ Cherche"},
        {"count not a number", "UPDATE ECHANGE SET Echangeable = 'beaucoup' WHERE Origine = 'Beta'",
         "pas un nombre entier dans le champ Echangeable"},
        {"binary name", "UPDATE ECHANGE SET \"Nom_français\" = x'00ff' WHERE Origine = 'Beta'", "données binaires"},
        {"control characters", "UPDATE ECHANGE SET Origine = 'Al' || char(10) || 'pha' WHERE Origine = 'Beta'",
         "caractères de contrôle"},
        {"two tables", "CREATE TABLE AUTRE (x)", "pas un fichier d'échanges lisible"},
    };
    TempTables theirs(theirCollection());
    const QString good = writtenExchangeTable(theirs);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(QStringLiteral("recu.db"));
        if (c.sql) {
            ASSERT_TRUE(QFile::copy(good, path));
            sqlite3 *db = nullptr;
            sqlite3_open(QFile::encodeName(path).constData(), &db);
            ASSERT_EQ(sqlite3_exec(db, c.sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
            sqlite3_close(db);
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(8192, '\x5a'));
        }
        const QByteArray before = readFile(path);
        Table table;
        try {
            exchange::readReceivedExchange(table, path);
            ADD_FAILURE() << "read";
        } catch (const AppError &e) {
            EXPECT_TRUE(e.message().contains(QString::fromUtf8(c.message))) << qPrintable(e.message());
            EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << qPrintable(e.message());
        }
        EXPECT_FALSE(table.isOpen());
        EXPECT_EQ(readFile(path), before);
    }
}

// A Paradox exchange table gives the same lines as the SQLite table written
// from the same collection; a damaged one is refused like any bad file.
TEST(ReceivedExchangeTest, ReadsAParadoxTableAsItsSqliteTwin)
{
    // A Paradox name holds at most 255 characters: the long one stays out.
    std::vector<CardRow> cards = theirCollection();
    cards.pop_back();
    TempTables theirs(cards);
    Table table;
    const exchange::ReceivedExchange fromSqlite = exchange::readReceivedExchange(table, writtenExchangeTable(theirs));
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("RECU.DB"));
    std::vector<std::vector<QVariant>> rows;
    for (const CardRow &card : cards)
        rows.push_back(paradoxCardRow(card));
    writeParadoxTable(path, paradoxCardFields(), rows, 850, card::KeyFieldCount, false);

    const exchange::ReceivedExchange fromParadox = exchange::readReceivedExchange(table, path);
    const auto texts = [](const std::vector<exchange::ReceivedLine> &lines) {
        QStringList result;
        for (const exchange::ReceivedLine &line : lines)
            result << line.text;
        return result;
    };
    EXPECT_EQ(texts(fromParadox.offered), texts(fromSqlite.offered));
    EXPECT_EQ(texts(fromParadox.wanted), texts(fromSqlite.wanted));
    EXPECT_EQ(texts(fromParadox.offered).size(), 2);

    QFile file(path);
    ASSERT_TRUE(file.resize(file.size() / 2));
    try {
        exchange::readReceivedExchange(table, path);
        ADD_FAILURE() << "read";
    } catch (const AppError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("pas un fichier d'échanges lisible"))) << qPrintable(e.message());
        EXPECT_TRUE(e.message().contains(QDir::toNativeSeparators(path))) << qPrintable(e.message());
    }
}

namespace {

class ViewerWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }
    void view() { principale()->findChild<QAction *>(QStringLiteral("Visualiserunfichierdchanges1"))->trigger(); }
    TPrincipale *principale() const { return static_cast<TPrincipale *>(windows().principale); }
    void expectNormalMode()
    {
        EXPECT_EQ(inventaire->label1()->text(), QStringLiteral("Vous avez :"));
        EXPECT_EQ(inventaire->label2()->text(), QStringLiteral("Il vous manque :"));
        EXPECT_FALSE(inventaire->ListesFournies);
        EXPECT_EQ(inventaire->findChild<QLabel *>(QStringLiteral("ResumeEchange")), nullptr);
    }

    // Double-clicks the line `row` of `list`; the card entry window that
    // opens gets `dispo` copies available, and `entryLine` its English line.
    void openLine(QListWidget *list, int row, int dispo, QString *entryLine = nullptr)
    {
        TRecherche_De_Cartes *entry = windows().rechercheDeCartes;
        whenShown(entry, [entry, dispo, entryLine] {
            if (entryLine)
                *entryLine = entry->findChild<QComboBox *>(QStringLiteral("ComboBox2"))->currentText();
            entry->findChild<QSpinBox *>(QStringLiteral("SpinEdit1"))->setValue(dispo);
            entry->ValiderClick();
            entry->accept();
        });
        list->setCurrentRow(row);
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    QString summary() const
    {
        auto *label = inventaire->findChild<QLabel *>(QStringLiteral("ResumeEchange"));
        return label ? label->text() : QString();
    }

    ScriptedDialogs dialogs;
    StartedProgram program{myCollection()};
    TInventaire *inventaire = windows().inventaire;
};

} // namespace

TEST_F(ViewerWindowTest, ShowsAReceivedTableInTheInventoryWindowThenGivesItBack)
{
    TempTables theirs(theirCollection());
    const QString path = writtenExchangeTable(theirs);
    const QByteArray before = readFile(path);
    dialogs.files.push_back(path);
    // The comparison reads the whole card table even with an edition selected.
    windows().session->selectEdition(QStringLiteral("Beta"));
    // Each line as "text [gras] tooltip".
    const auto linesOf = [](QListWidget *list) {
        QStringList lines;
        for (int i = 0; i < list->count(); ++i)
            lines << list->item(i)->text() + (list->item(i)->font().bold() ? QStringLiteral(" [gras] ") : QStringLiteral(" "))
                    + list->item(i)->toolTip();
        return lines;
    };
    QStringList left, right;
    QString title1, title2, summary;
    whenShown(inventaire, [&] {
        title1 = inventaire->label1()->text();
        title2 = inventaire->label2()->text();
        left = linesOf(inventaire->listBox1());
        right = linesOf(inventaire->listBox2());
        if (auto *label = inventaire->findChild<QLabel *>(QStringLiteral("ResumeEchange")))
            summary = label->text();
        inventaire->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    view();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join('\n'));
    EXPECT_EQ(dialogs.filters, QStringList{QStringLiteral("Fichier bases (*.db)|*.db")});
    EXPECT_EQ(title1, QStringLiteral("Cartes proposées : "));
    EXPECT_EQ(title2, QStringLiteral("Cartes recherchées : "));
    EXPECT_EQ(left, (QStringList{QStringLiteral("Ange x 3 (Alpha) vous en avez 2"),
                                 QStringLiteral("Chêne x 1 (Alpha) [gras] vous en avez 0"),
                                 LongLine + QStringLiteral(" [gras] vous en avez 0")}));
    EXPECT_EQ(right, (QStringList{QStringLiteral("Bête (Beta) [gras] vous pouvez en donner 2"),
                                  QStringLiteral("Chêne (Alpha) vous pouvez en donner 0")}));
    EXPECT_EQ(summary,
              QStringLiteral("3 cartes proposées dont 2 vous manquent ; 2 recherchées dont 1 que vous pouvez donner"));
    expectNormalMode();
    EXPECT_EQ(readFile(path), before);
}

TEST_F(ViewerWindowTest, CancelledDialogOrBadFileShowsNothingAndGivesTheWindowBack)
{
    bool shown = false;
    whenShown(inventaire, [&] {
        shown = true;
        inventaire->reject();
    });
    view(); // cancelled: no file given
    expectNormalMode();

    QTemporaryDir dir;
    const QString bad = QDir(dir.path()).filePath(QStringLiteral("faux.db"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("pas une table");
    file.close();
    dialogs.files.push_back(bad);
    view();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("pas un fichier d'échanges lisible")));
    expectNormalMode();
    EXPECT_FALSE(shown);
    EXPECT_EQ(inventaire->listBox1()->count(), 0);
}

// A long name with its edition passes 255 characters: the line is shown
// whole and a double-click opens that card.
TEST_F(ViewerWindowTest, LongLinesAreShownWholeAndOpenTheirCard)
{
    TempTables theirs(theirCollection());
    dialogs.files.push_back(writtenExchangeTable(theirs));
    QString shownLine, entryLine;
    whenShown(inventaire, [&] {
        QListWidget *offered = inventaire->listBox1();
        shownLine = offered->item(offered->count() - 1)->text();
        openLine(offered, offered->count() - 1, 1, &entryLine);
        inventaire->accept();
    });
    view();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join('\n'));
    EXPECT_EQ(shownLine, LongLine);
    EXPECT_EQ(entryLine, QString(300, QLatin1Char('L')) + QStringLiteral(" EN (Alpha)"));
}

// The comparison with the user's own cards is extra: when CARTES.DB cannot
// be read the received file is shown all the same, the summary says why;
// and once a card opened from a line gets other counts, the marks follow.
TEST_F(ViewerWindowTest, ReceivedFileIsShownWhateverBecomesOfTheComparisonAndMarksFollowTheCounts)
{
    TempTables theirs(theirCollection());
    const QString path = writtenExchangeTable(theirs);
    const auto bold = [](QListWidget *list, int row) { return list->item(row)->font().bold(); };

    // Chêne, offered, is missing from the user's cards until it gets 2 copies.
    dialogs.files.push_back(path);
    QString before, after, tipAfter;
    bool boldBefore = false, boldAfter = true;
    whenShown(inventaire, [&] {
        before = summary();
        boldBefore = bold(inventaire->listBox1(), 1);
        openLine(inventaire->listBox1(), 1, 2);
        boldAfter = bold(inventaire->listBox1(), 1);
        tipAfter = inventaire->listBox1()->item(1)->toolTip();
        after = summary();
        inventaire->accept();
    });
    view();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join('\n'));
    EXPECT_TRUE(boldBefore);
    EXPECT_FALSE(boldAfter);
    EXPECT_EQ(tipAfter, QStringLiteral("vous en avez 2"));
    EXPECT_EQ(before.section(QLatin1Char(';'), 0, 0), QStringLiteral("3 cartes proposées dont 2 vous manquent "));
    EXPECT_EQ(after.section(QLatin1Char(';'), 0, 0), QStringLiteral("3 cartes proposées dont 1 vous manque "));

    // The user's own card table is gone.
    ASSERT_TRUE(QFile::rename(program.tables.cardPath(), program.tables.path(QStringLiteral("ailleurs.db"))));
    dialogs.files.push_back(path);
    QString failed, last;
    bool anyBold = false;
    whenShown(inventaire, [&] {
        for (int i = 0; i < inventaire->listBox1()->count(); ++i)
            anyBold = anyBold || bold(inventaire->listBox1(), i);
        last = inventaire->listBox1()->item(2)->text();
        failed = summary();
        inventaire->accept();
    });
    view();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join('\n'));
    EXPECT_EQ(last, LongLine);
    EXPECT_FALSE(anyBold);
    EXPECT_TRUE(failed.startsWith(QStringLiteral("3 cartes proposées ; 2 recherchées. La comparaison avec votre "
                                                 "collection n'a pas pu être faite : ")))
        << qPrintable(failed);
    EXPECT_TRUE(failed.contains(QStringLiteral("CARTES.DB"))) << qPrintable(failed);
    expectNormalMode();
}
