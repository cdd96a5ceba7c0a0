#include "app/counts_reset.h"
#include "data/progress.h"
#include "data/session.h"
#include "app/tprincipale.h"
#include "ui/tprogression.h"
#include "ui/windows.h"
#include "data/card_table.h"
#include "data/table.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_tables.h"

#include <QAction>
#include <QFile>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct Counts {
    QString french;
    QString edition;
    qint64 dispo, utilise, echangeable, cherche;
    double cote;
    bool operator==(const Counts &) const = default;
};

std::vector<Counts> readCounts(const QString &path)
{
    Table table;
    table.setTableName(path);
    table.open();
    std::vector<Counts> rows;
    for (table.first(); !table.eof(); table.next())
        rows.push_back({table.field(card::NomFrancais).asString(), table.field(card::Origine).asString(),
                        table.field(card::Dispo).asInteger(), table.field(card::Utilise).asInteger(),
                        table.field(card::Echangeable).asInteger(), table.field(card::Cherche).asInteger(),
                        table.field(card::Cote).asFloat()});
    table.close();
    return rows;
}

// Every field of every row as text, a blank one as "<vide>", the picture
// in hexadecimal.
std::vector<QStringList> wholeRows(const QString &path)
{
    Table table;
    table.setTableName(path);
    table.open();
    std::vector<QStringList> rows;
    for (table.first(); !table.eof(); table.next()) {
        QStringList fields;
        for (int position = 0; position < card::FieldCount; ++position) {
            const Field &field = table.field(position);
            if (field.isNull())
                fields << QStringLiteral("<vide>");
            else if (position == card::Dessin)
                fields << QString::fromLatin1(field.asBytes().toHex());
            else
                fields << field.asString();
        }
        rows.push_back(fields);
    }
    table.close();
    return rows;
}

CardRow cardWith(const QString &french, const QString &edition, int dispo, int utilise, int echangeable,
                 int cherche)
{
    CardRow row = makeCard(french, french + QStringLiteral(" EN"), edition, dispo, utilise);
    row.echangeable = echangeable;
    row.cherche = cherche;
    row.cote = 2.5;
    return row;
}

std::vector<CardRow> someCollection()
{
    return {cardWith("Ange", "Alpha", 3, 1, 2, 0), cardWith("Bête", "Beta", 0, 0, 0, 4),
            cardWith("Chêne", "Alpha", 7, 2, 5, 1), cardWith("Dague", "Beta", 1, 0, 0, 0)};
}

// Records the calls a pass makes to its progress display.
struct RecordingProgress : Progress {
    int maximum = -1;
    int shown = 0;
    int advances = 0;
    int hidden = 0;
    void setMaximum(int m) override { maximum = m; }
    void show() override { ++shown; }
    void advance() override { ++advances; }
    void hide() override { ++hidden; }
};

} // namespace

// The four counts of every row become 0, one progress step per row; every
// other field comes back as it was: a blank price or force stays blank, the
// picture stays whole.
TEST(CountsResetTest, ZeroesTheFourCountsOfEveryRowAndNothingElse)
{
    CardRow odd = cardWith("Écu \"Ancien\"", "Gamma", 2, 1, 1, 1);
    odd.cote = QVariant();
    odd.force = QVariant();
    odd.endurance = 3;
    odd.cout = QStringLiteral("1RR");
    odd.dessin = QByteArray("\xff\xd8\xff\xe0\0\x10JFIF", 10);
    std::vector<CardRow> rows = someCollection();
    rows.push_back(odd);
    TempTables tables(rows);
    const std::vector<QStringList> before = wholeRows(tables.cardPath());
    Session session;
    session.setDatabaseDirectory(tables.dir());
    RecordingProgress progress;

    resetAllCounts(session, progress);

    const std::vector<QStringList> after = wholeRows(tables.cardPath());
    ASSERT_EQ(after.size(), 5u);
    ASSERT_EQ(before.size(), 5u);
    for (std::size_t row = 0; row < after.size(); ++row) {
        for (int position = 0; position < card::FieldCount; ++position) {
            const bool count = position >= card::Dispo && position <= card::Cherche;
            EXPECT_EQ(after[row][position], count ? QStringLiteral("0") : before[row][position])
                << "row " << row << ", field " << position;
        }
    }
    EXPECT_EQ(after.back()[card::Cote], QStringLiteral("<vide>"));
    EXPECT_EQ(progress.maximum, 5);
    EXPECT_EQ(progress.shown, 1);
    EXPECT_EQ(progress.advances, 5);
    EXPECT_EQ(progress.hidden, 1);
    EXPECT_FALSE(session.table.isOpen());
}

TEST(CountsResetTest, ResetsTheWholeTableEvenWithAnEditionSelected)
{
    TempTables tables(someCollection());
    Session session;
    session.setDatabaseDirectory(tables.dir());
    session.selectEdition(QStringLiteral("Alpha"));
    RecordingProgress progress;

    resetAllCounts(session, progress);

    for (const Counts &row : readCounts(tables.cardPath()))
        EXPECT_EQ(row.dispo + row.utilise + row.echangeable + row.cherche, 0) << row.french.toStdString();
    EXPECT_EQ(progress.advances, 4);
}

TEST(CountsResetTest, EmptyTableShowsAndHidesTheProgress)
{
    TempTables tables;
    Session session;
    session.setDatabaseDirectory(tables.dir());
    RecordingProgress progress;

    resetAllCounts(session, progress);

    EXPECT_EQ(progress.maximum, 0);
    EXPECT_EQ(progress.shown, 1);
    EXPECT_EQ(progress.advances, 0);
    EXPECT_EQ(progress.hidden, 1);
}

TEST(CountsResetTest, ExchangeResetZeroesOnlyExchangeCountsOfTheCardSource)
{
    TempTables tables(someCollection());
    Session session;
    session.setDatabaseDirectory(tables.dir());
    session.selectEdition(QStringLiteral("Alpha"));
    RecordingProgress progress;

    resetExchangeCounts(session, progress);

    const auto rows = readCounts(tables.cardPath());
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(progress.advances, 2); // the two Alpha rows
    for (const Counts &row : rows) {
        if (row.edition == QLatin1String("Alpha")) {
            EXPECT_EQ(row.echangeable, 0);
            EXPECT_EQ(row.cherche, 0);
        }
    }
    // Owned copies stay, and the other edition is left alone.
    EXPECT_EQ(rows[0], (Counts{"Ange", "Alpha", 3, 1, 0, 0, 2.5}));
    EXPECT_EQ(rows[1], (Counts{"Bête", "Beta", 0, 0, 0, 4, 2.5}));
    EXPECT_EQ(rows[2], (Counts{"Chêne", "Alpha", 7, 2, 0, 0, 2.5}));

    session.clearEditionSelection();
    resetExchangeCounts(session, progress);
    EXPECT_EQ(readCounts(tables.cardPath())[1], (Counts{"Bête", "Beta", 0, 0, 0, 0, 2.5}));
}

// The main window with its progress window, as the start-up registers them.
class ResetCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        session.setDatabaseDirectory(tables.dir());
        principale = std::make_unique<TPrincipale>(session);
        windows().session = &session;
        windows().principale = principale.get();
        windows().progression = new TProgression(principale.get());
    }
    void TearDown() override
    {
        windows() = Windows{};
        principale.reset();
    }
    void trigger(const char *item) { principale->findChild<QAction *>(item)->trigger(); }

    TempTables tables{someCollection()};
    Session session;
    std::unique_ptr<TPrincipale> principale;
    ScriptedDialogs dialogs;
};

TEST_F(ResetCommandTest, ExchangeResetAsksItsOwnQuestion)
{
    dialogs.answers = {Dialogs::Answer::Yes};

    trigger("Initialiserlesechanges1");

    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, QStringLiteral("Voulez-vous vraiment initialiser les échanges ?"));
    EXPECT_EQ(dialogs.questions[0].helpContext, 14);
    for (const Counts &row : readCounts(tables.cardPath()))
        EXPECT_EQ(row.echangeable + row.cherche, 0);
    EXPECT_EQ(readCounts(tables.cardPath())[2].dispo, 7);
}

// A read-only CARTES.DB. Root may write any file, so as root the command
// runs under an ordinary user id for the time of the test.
TEST_F(ResetCommandTest, ReadOnlyTableGivesAFrenchErrorAndChangesNothing)
{
    const auto before = readCounts(tables.cardPath());
    ASSERT_TRUE(QFile::setPermissions(tables.cardPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(tables.dir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                        | QFile::ReadGroup | QFile::ExeGroup
                                                        | QFile::ReadOther | QFile::ExeOther));
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(seteuid(65534), 0);
    }
    dialogs.answers = {Dialogs::Answer::Yes};

    trigger("Initialiserlespossesions1");

    if (root) {
        ASSERT_EQ(seteuid(0), 0);
    }
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("lecture seule"))) << dialogs.errors[0].toStdString();
    EXPECT_FALSE(windows().progression->isVisible());
    EXPECT_FALSE(session.table.isOpen());
    EXPECT_EQ(readCounts(tables.cardPath()), before);
}
