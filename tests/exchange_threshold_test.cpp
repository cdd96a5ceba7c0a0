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

struct Case {
    const char *name;
    const char *type;
    int dispo, utilise, echangeable, cherche;
    // Counts after the pass.
    int echangeableAfter, chercheAfter;
};

CardRow rowOf(const Case &c, const QString &edition = QStringLiteral("Alpha"))
{
    CardRow row = makeCard(QString::fromUtf8(c.name), QString::fromUtf8(c.name) + QStringLiteral(" EN"), edition,
                           c.dispo, c.utilise);
    row.type = QString::fromUtf8(c.type);
    row.echangeable = c.echangeable;
    row.cherche = c.cherche;
    return row;
}

struct Counts {
    qint64 echangeable, cherche;
    bool operator==(const Counts &) const = default;
};

std::map<QString, Counts> countsByName(const QString &path)
{
    Table table;
    table.setTableName(path);
    table.open();
    std::map<QString, Counts> counts;
    for (; !table.eof(); table.next())
        counts[table.field(card::NomFrancais).asString()] = {table.field(card::Echangeable).asInteger(),
                                                             table.field(card::Cherche).asInteger()};
    table.close();
    return counts;
}

void expectCounts(const QString &path, const std::vector<Case> &cases)
{
    const std::map<QString, Counts> counts = countsByName(path);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(counts.count(QString::fromUtf8(c.name)), 1u);
        EXPECT_EQ(counts.at(QString::fromUtf8(c.name)), (Counts{c.echangeableAfter, c.chercheAfter}));
    }
}

std::vector<CardRow> rowsOf(const std::vector<Case> &cases)
{
    std::vector<CardRow> rows;
    for (const Case &c : cases)
        rows.push_back(rowOf(c));
    return rows;
}

} // namespace

TEST(ThresholdTest, OffersCopiesFromTheThresholdOnAndMarksWhatIsMissing)
{
    // Threshold 5, "Marquer les recherches" ticked.
    const std::vector<Case> cases = {
        {"Quatre", "Inv", 4, 0, 2, 0, 2, 0},      // below: keeps its Echangeable
        {"Cinq", "Inv", 5, 0, 0, 0, 1, 0},
        {"Sept", "Eph", 7, 1, 9, 0, 3, 0},       // overwritten, not added to
        {"Terrain", "Ter", 12, 0, 0, 0, 0, 0},   // lands are never offered
        {"Terrain manquant", "Ter", 0, 0, 0, 0, 0, 1}, // but are marked
        {"Usée", "Inv", 0, 2, 0, 0, 0, 1},       // used copies only: wanted
        {"Voulue", "Inv", 0, 0, 0, 3, 0, 3},     // already wanted: unchanged
        {"Mot", "ter", 6, 0, 0, 0, 2, 0},        // the land code is case-sensitive
    };
    TempTables tables(rowsOf(cases));
    Session session;
    session.setDatabaseDirectory(tables.dir());
    NoProgress progress;
    threshold::runOnCardSource(session, 5, true, progress);
    expectCounts(tables.cardPath(), cases);
    EXPECT_FALSE(session.table.isOpen());
}

TEST(ThresholdTest, ThresholdOneOffersEveryCopyAndNothingIsMarkedUnticked)
{
    const std::vector<Case> cases = {
        {"Une", "Inv", 1, 0, 0, 0, 1, 0},
        {"Trois", "Inv", 3, 0, 0, 0, 3, 0},
        {"Aucune", "Inv", 0, 0, 0, 0, 0, 0},
    };
    TempTables tables(rowsOf(cases));
    Session session;
    session.setDatabaseDirectory(tables.dir());
    NoProgress progress;
    threshold::runOnCardSource(session, 1, false, progress);
    expectCounts(tables.cardPath(), cases);
}

TEST(ThresholdTest, ThresholdBelowOneIsRefusedAndChangesNothing)
{
    // Left as it was, threshold 0 would offer one copy of a card never owned.
    const std::vector<Case> cases = {{"Aucune", "Inv", 0, 0, 0, 0, 0, 0}, {"Deux", "Inv", 2, 0, 0, 0, 0, 0}};
    TempTables tables(rowsOf(cases));
    const QByteArray before = readFile(tables.cardPath());
    Session session;
    session.setDatabaseDirectory(tables.dir());
    NoProgress progress;
    for (int seuil : {0, -3}) {
        try {
            threshold::run(session.cardSource(), seuil, true, progress);
            ADD_FAILURE() << "threshold " << seuil << " accepted";
        } catch (const AppError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("au moins 1"))) << qPrintable(e.message());
        }
    }
    EXPECT_EQ(readFile(tables.cardPath()), before);
}

TEST(ThresholdTest, EditionSelectionTouchesOnlyThatEdition)
{
    Case alpha{"Alpha sept", "Inv", 7, 0, 0, 0, 3, 0};
    Case alphaMissing{"Alpha absente", "Inv", 0, 0, 0, 0, 0, 0};
    const Case beta{"Beta sept", "Inv", 7, 0, 0, 0, 0, 0};
    const Case betaMissing{"Beta absente", "Inv", 0, 0, 0, 0, 0, 0};
    TempTables tables({rowOf(alpha), rowOf(alphaMissing), rowOf(beta, QStringLiteral("Beta")),
                       rowOf(betaMissing, QStringLiteral("Beta"))});
    Session session;
    session.setDatabaseDirectory(tables.dir());
    session.selectEdition(QStringLiteral("Alpha"));
    NoProgress progress;
    threshold::runOnCardSource(session, 5, false, progress);
    expectCounts(tables.cardPath(), {alpha, alphaMissing, beta, betaMissing});

    alpha.echangeableAfter = 1;
    alphaMissing.chercheAfter = 1;
    threshold::runOnCardSource(session, 7, true, progress);
    expectCounts(tables.cardPath(), {alpha, alphaMissing, beta, betaMissing});
}

TEST(ThresholdDialogTest, MenuItemRunsThePassAndTheDialogKeepsItsSettings)
{
    ScriptedDialogs dialogs;
    const Case six{"Six", "Inv", 6, 0, 0, 0, 3, 0};
    const Case absent{"Absente", "Inv", 0, 0, 0, 0, 0, 1};
    StartedProgram program({rowOf(six), rowOf(absent)});
    ASSERT_EQ(program.status, 0);
    auto *principale = static_cast<TPrincipale *>(windows().principale);
    TSeuil *seuil = windows().seuil;
    ASSERT_NE(seuil, nullptr);
    EXPECT_EQ(seuil->windowTitle(), QStringLiteral("Seuil d'échange"));
    EXPECT_EQ(seuil->spinEdit1()->value(), 5);
    EXPECT_FALSE(seuil->marquer()->isChecked());
    // The box cannot go below 1.
    seuil->spinEdit1()->setValue(0);
    EXPECT_EQ(seuil->spinEdit1()->value(), 1);

    whenShown(seuil, [seuil] {
        seuil->spinEdit1()->setValue(4);
        seuil->marquer()->setChecked(true);
        seuil->okButton()->click();
    });
    principale->findChild<QAction *>(QStringLiteral("Seuildchange1"))->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << qPrintable(dialogs.errors.join('\n'));
    EXPECT_FALSE(seuil->isVisible());
    expectCounts(program.tables.cardPath(), {six, absent});

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
    principale->findChild<QAction *>(QStringLiteral("Seuildchange1"))->trigger();
    EXPECT_EQ(shownValue, 4);
    EXPECT_TRUE(shownTicked);
    EXPECT_EQ(dialogs.topics, std::vector<int>{15});
    expectCounts(program.tables.cardPath(), {six, absent});
}
