#include "data/card_table.h"
#include "paradox/paradox_table.h"
#include "data/table.h"
#include "tools/paradox_writer.h"
#include "tests/support/temp_tables.h"
#include "tools/makedb_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

extern "C" {
#include <paradox.h>
}

namespace {

std::vector<std::vector<QVariant>> paradoxRows()
{
    CardRow zebre = makeCard(QStringLiteral("Zèbre"), QStringLiteral("Zebra"), QStringLiteral("Été"), 4, 1);
    zebre.cote = 0.75;
    zebre.force = QVariant();
    CardRow ane = makeCard(QStringLiteral("Âne"), QStringLiteral("Donkey"), QStringLiteral("Base"), 0, 3);
    ane.echangeable = 2;
    ane.dessin = QByteArray(5000, '\xD8');
    return {paradoxCardRow(zebre), paradoxCardRow(ane)};
}

// Each row of the SQLite card table, its fields as text joined by "|".
QStringList sqliteRows(const QString &path)
{
    Table table;
    table.setTableName(path);
    table.setRequiredFields(card::fieldNames());
    table.open();
    QStringList rows;
    for (; !table.eof(); table.next()) {
        QStringList fields;
        for (int i = 0; i < card::FieldCount; ++i) {
            if (table.field(i).isNull())
                fields << QStringLiteral("NULL");
            else if (i == card::Dessin)
                fields << (table.value(i).toByteArray() == QByteArray(5000, '\xD8') ? QStringLiteral("picture")
                                                                                  : QStringLiteral("other"));
            else
                fields << table.field(i).asString();
        }
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

int convert(const QString &file, const QString &dir, QString &out, QString &err)
{
    QTextStream outStream(&out), errStream(&err);
    return runMakedb({QStringLiteral("--from-paradox"), file, dir}, outStream, errStream);
}

// Key order compares the French names code point by code point: "Z" < "Â".
const QStringList ExpectedRows{
    QStringLiteral("Zèbre|Zebra|Été|C|0.75|Ver|1G|NULL|1|Inv|4|1|0|0|NULL"),
    QStringLiteral("Âne|Donkey|Base|C|1|Ver|1G|1|1|Inv|0|3|2|0|picture"),
};

} // namespace

// Beside or in place: the same rows and pictures in key order, a progress
// line, and in place the original kept byte for byte as CARTES.DB.paradox.
TEST(ParadoxConversion, WritesTheSameCardsAndKeepsTheOriginal)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("ANCIEN.DB"));
    writeParadoxTable(source, paradoxCardFields(), paradoxRows(), 850, card::KeyFieldCount, true);
    const QString target = dir.filePath(QStringLiteral("neuf"));
    QString out, err;
    ASSERT_EQ(convert(source, target, out, err), 0) << err.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\rConversion : 100 %\n"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("2 cartes écrites"))) << out.toStdString();
    const QString written = QDir(target).filePath(card::TableFile);
    EXPECT_EQ(tableFileFormat(written), TableFileFormat::Sqlite);
    EXPECT_EQ(sqliteRows(written), ExpectedRows);
    EXPECT_FALSE(QFileInfo::exists(written + QStringLiteral(".partiel")));

    const QString inPlace = dir.filePath(card::TableFile);
    writeParadoxTable(inPlace, paradoxCardFields(), paradoxRows(), 1252, card::KeyFieldCount, true);
    const QByteArray original = readFile(inPlace);
    ASSERT_EQ(convert(inPlace, dir.path(), out, err), 0) << err.toStdString();
    EXPECT_EQ(readFile(inPlace + QStringLiteral(".paradox")), original);
    EXPECT_EQ(sqliteRows(inPlace), ExpectedRows);
}

// A damaged table, or one without the card layout: a message naming the
// file, the existing CARTES.DB untouched, nothing left beside it.
TEST(ParadoxConversion, RefusesAndChangesNothing)
{
    TempTables tables({makeCard(QStringLiteral("Ange"), QStringLiteral("Angel"), QStringLiteral("Base"), 1)});
    const QByteArray before = readFile(tables.cardPath());
    QTemporaryDir dir;
    const QString damaged = dir.filePath(QStringLiteral("ABIME.DB"));
    writeParadoxTable(damaged, paradoxCardFields(), paradoxRows(), 850, card::KeyFieldCount, false);
    QFile file(damaged);
    ASSERT_TRUE(file.resize(file.size() - 100));
    const QString narrow = dir.filePath(QStringLiteral("ETROITE.DB"));
    writeParadoxTable(narrow, {{QStringLiteral("Nom_français"), pxfAlpha, 20}}, {{QStringLiteral("Ange")}}, 850, 1,
                      false);

    for (const QString &source : {damaged, narrow}) {
        SCOPED_TRACE(source.toStdString());
        QString out, err;
        EXPECT_EQ(convert(source, tables.dir(), out, err), 1);
        EXPECT_TRUE(err.contains(QFileInfo(source).fileName())) << err.toStdString();
        EXPECT_EQ(readFile(tables.cardPath()), before);
        EXPECT_FALSE(QFileInfo::exists(tables.cardPath() + QStringLiteral(".partiel")));
    }

    // In place: the damaged CARTES.DB stays, and no copy of it is left.
    const QString inPlace = dir.filePath(card::TableFile);
    ASSERT_TRUE(QFile::copy(damaged, inPlace));
    QString out, err;
    EXPECT_EQ(convert(inPlace, dir.path(), out, err), 1);
    EXPECT_EQ(readFile(inPlace), readFile(damaged));
    EXPECT_FALSE(QFileInfo::exists(inPlace + QStringLiteral(".paradox")));
}
