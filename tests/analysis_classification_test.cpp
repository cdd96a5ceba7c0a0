#include "analysis/classification.h"
#include "data/session.h"
#include "tests/support/printing.h"
#include "tests/support/program.h"
#include "tests/support/scripted_dialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <gtest/gtest.h>

namespace {

CardRow card(const QString &name, const QString &edition, const QString &couleur, const QString &type,
             int dispo, int utilise = 0)
{
    CardRow row = makeCard(name, name + QStringLiteral(" EN"), edition, dispo, utilise);
    row.couleur = couleur;
    row.type = type;
    return row;
}

// Inserted out of key order; the file lists each sub-section in key order.
std::vector<CardRow> collection()
{
    return {
        card("Elfe", "Base", "Ver", "Inv", 120, 1),
        card("Elfe", "Alpha", "Ver", "Inv", 2),
        card("Druide", "Base", "Ver", "Inv", 0, 3),  // in use only: not available
        card("Loup", "Base", "Vert", "Inv", 2),      // other spellings are not listed
        card("Jeton", "Base", "Ver", "Token", 1),
        card("Forêt", "Base", "Ver", "Ter", 5),      // lands only in the artefact section
        card("Éclair", "Base", "Rge", "Eph", 4),
        card("Boule \"de feu\"", "Base", "Rge", "Eph", 1),
        card("Robot", "Base", "Rge", "C. Art", 1),
        card("Zombie", "Base", "Noi", "Rit", 1),
        card("Prière", "Base", "Bla", "Mana sourc", 7),
        card("Golem", "Base", "Inc", "C. Art", 1),
        card("Idole", "Base", "Inc", "Art", 3),
        card("Orbe", "Base", "Inc", "Enc", 1),
        card("Mine", "Base", "Inc", "Ter", 2),
    };
}

QByteArray reference(const char *name)
{
    return readFile(QStringLiteral(TABRIX_TEST_DATA "/") + QLatin1String(name));
}

class ClassificationTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(program.status, 0); }
    QAction *item() const
    {
        return windows().principale->findChild<QAction *>("Gnrationdufichierdeclassement1");
    }
    QString output(const QString &name) const { return QDir(scratch.path()).filePath(name); }

    ScriptedDialogs dialogs;
    StartedProgram program{collection()};
    QTemporaryDir scratch;
};

} // namespace

TEST_F(ClassificationTest, MenuWritesEveryEditionSortedByColourAndType)
{
    // An edition selection does not narrow the file.
    windows().session->selectEdition(QStringLiteral("Alpha"));
    dialogs.files = {output(QStringLiteral("classement.txt"))};
    item()->trigger();
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(dialogs.filters, QStringList{QStringLiteral("Fichier texte (*.txt)|*.txt")});
    EXPECT_EQ(readFile(output(QStringLiteral("classement.txt"))), reference("classement.txt"));
}

TEST_F(ClassificationTest, CancelWritesNothingAndAFailureIsReported)
{
    item()->trigger();
    EXPECT_TRUE(QDir(scratch.path()).isEmpty());
    EXPECT_TRUE(dialogs.errors.isEmpty());

    dialogs.files = {output(QStringLiteral("absent/classement.txt"))};
    item()->trigger();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors.front().startsWith(QStringLiteral("Impossible de créer le fichier")));
    EXPECT_TRUE(QDir(scratch.path()).isEmpty());
    EXPECT_FALSE(windows().session->query1.isOpen());
}

TEST(ClassificationFileTest, EmptyCollectionGivesBannersOnly)
{
    TempTables tables({card("Elfe", "Base", "Ver", "Inv", 0, 2)});
    Session session;
    session.setDatabaseDirectory(tables.dir());
    const QString path = tables.path(QStringLiteral("vide.txt"));
    writeClassificationFile(session.query1, path);
    EXPECT_EQ(readFile(path), reference("classement_vide.txt"));
    EXPECT_FALSE(session.query1.isOpen());
}
