#include "app/tprincipale.h"
#include "data/card_table.h"
#include "data/error.h"
#include "data/progress.h"
#include "data/session.h"
#include "data/table.h"
#include "exchange/threshold.h"
#include "exchange/tseuil.h"
#include "ui/windows.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

// A printing, its counts before the pass and its Echangeable and Cherche after.
struct Case {
    const char *name, *type, *edition;
    int dispo, utilise, echangeable, cherche;
    int echangeableAfter, chercheAfter;
};

std::vector<CardRow> rowsOf(const std::vector<Case> &cases)
{
    std::vector<CardRow> rows;
    for (const Case &c : cases) {
        CardRow row = makeCard(QString::fromUtf8(c.name), QStringLiteral("EN"), QString::fromUtf8(c.edition),
                               c.dispo, c.utilise);
        row.type = QString::fromUtf8(c.type);
        row.echangeable = c.echangeable;
        row.cherche = c.cherche;
        rows.push_back(row);
    }
    return rows;
}

void expectCounts(const QString &path, const std::vector<Case> &cases)
{
    std::map<QString, std::pair<qint64, qint64>> counts;
    Table table;
    table.setTableName(path);
    for (table.open(); !table.eof(); table.next())
        counts[table.field(card::NomFrancais).asString()] = {table.field(card::Echangeable).asInteger(),
                                                             table.field(card::Cherche).asInteger()};
    table.close();
    for (const Case &c : cases)
        EXPECT_EQ(counts[QString::fromUtf8(c.name)], std::make_pair(qint64(c.echangeableAfter), qint64(c.chercheAfter)))
            << c.name;
}

} // namespace

TEST(ThresholdTest, OffersCopiesFromTheThresholdOnAndMarksWhatIsMissing)
{
    // Threshold 5, "Marquer les recherches" ticked.
    const std::vector<Case> cases = {
        {"Quatre", "Inv", "A", 4, 0, 2, 0, 2, 0},         // below: keeps its Echangeable
        {"Cinq", "Inv", "A", 5, 0, 0, 0, 1, 0},
        {"Sept", "Eph", "A", 7, 1, 9, 0, 3, 0},           // overwritten, not added to
        {"Terrain", "Ter", "A", 12, 0, 0, 0, 0, 0},       // lands are never offered...
        {"Terrain absent", "Ter", "A", 0, 0, 0, 0, 0, 1}, // ...but are marked
        {"Usée", "Inv", "A", 0, 2, 0, 0, 0, 1},           // used copies only: wanted
        {"Voulue", "Inv", "A", 0, 0, 0, 3, 0, 3},         // already wanted: unchanged
        {"Mot", "ter", "A", 6, 0, 0, 0, 2, 0},            // the land code is case-sensitive
    };
    TempTables tables(rowsOf(cases));
    Session session;
    session.setDatabaseDirectory(tables.dir());
    NoProgress progress;
    threshold::runOnCardSource(session, 5, true, progress);
    expectCounts(tables.cardPath(), cases);
    EXPECT_FALSE(session.table.isOpen());
}

TEST(ThresholdTest, EditionSelectionTouchesOnlyThatEditionWithOrWithoutMarks)
{
    std::vector<Case> cases = {
        {"Alpha sept", "Inv", "Alpha", 7, 0, 0, 0, 3, 0},
        {"Alpha absente", "Inv", "Alpha", 0, 0, 0, 0, 0, 0},
        {"Beta sept", "Inv", "Beta", 7, 0, 0, 0, 0, 0},
        {"Beta absente", "Inv", "Beta", 0, 0, 0, 0, 0, 0},
    };
    TempTables tables(rowsOf(cases));
    Session session;
    session.setDatabaseDirectory(tables.dir());
    session.selectEdition(QStringLiteral("Alpha"));
    NoProgress progress;
    threshold::runOnCardSource(session, 5, false, progress);
    expectCounts(tables.cardPath(), cases);

    // Threshold 1 offers every copy available.
    cases[0].echangeableAfter = 7;
    cases[1].chercheAfter = 1;
    threshold::runOnCardSource(session, 1, true, progress);
    expectCounts(tables.cardPath(), cases);
}

TEST(ThresholdTest, ThresholdBelowOneIsRefusedAndChangesNothing)
{
    // Left as it was, threshold 0 would offer one copy of a card never owned.
    TempTables tables(rowsOf({{"Aucune", "Inv", "A", 0, 0, 0, 0, 0, 0}, {"Deux", "Inv", "A", 2, 0, 0, 0, 0, 0}}));
    const QByteArray before = readFile(tables.cardPath());
    Session session;
    session.setDatabaseDirectory(tables.dir());
    NoProgress progress;
    for (int seuil : {0, -3}) {
        try {
            threshold::runOnCardSource(session, seuil, false, progress);
            ADD_FAILURE() << "threshold " << seuil << " accepted";
        } catch (const AppError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("au moins 1"))) << qPrintable(e.message());
        }
    }
    EXPECT_EQ(readFile(tables.cardPath()), before);
}

TEST(ThresholdDialogTest, MenuItemRunsThePassAndTheDialogKeepsItsSettings)
{
    ScriptedDialogs dialogs;
    const std::vector<Case> cases = {{"Six", "Inv", "A", 6, 0, 0, 0, 3, 0}, {"Absente", "Inv", "A", 0, 0, 0, 0, 0, 1}};
    StartedProgram program(rowsOf(cases));
    ASSERT_EQ(program.status, 0);
    QAction *item = windows().principale->findChild<QAction *>(QStringLiteral("Seuildchange1"));
    TSeuil *seuil = windows().seuil;
    EXPECT_EQ(seuil->spinEdit1()->value(), 5);
    EXPECT_FALSE(seuil->marquer()->isChecked());
    seuil->spinEdit1()->setValue(0);
    EXPECT_EQ(seuil->spinEdit1()->value(), 1);

    whenShown(seuil, [seuil] {
        seuil->spinEdit1()->setValue(4);
        seuil->marquer()->setChecked(true);
        seuil->okButton()->click();
    });
    item->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join('\n'));
    EXPECT_FALSE(seuil->isVisible());
    expectCounts(program.tables.cardPath(), cases);

    // Shown again: the same settings; Help opens topic 15; Cancel changes nothing.
    int shownValue = 0;
    bool shownTicked = false;
    whenShown(seuil, [&] {
        shownValue = seuil->spinEdit1()->value();
        shownTicked = seuil->marquer()->isChecked();
        seuil->helpButton()->click();
        seuil->spinEdit1()->setValue(1);
        seuil->cancelButton()->click();
    });
    item->trigger();
    EXPECT_EQ(shownValue, 4);
    EXPECT_TRUE(shownTicked);
    EXPECT_EQ(dialogs.topics, std::vector<int>{15});
    expectCounts(program.tables.cardPath(), cases);
}
