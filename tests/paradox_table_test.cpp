#include "data/card_table.h"
#include "data/error.h"
#include "paradox/handed_table.h"
#include "paradox/paradox_reader_process.h"
#include "paradox/paradox_table.h"
#include "data/progress.h"
#include "tools/paradox_writer.h"
#include "tests/support/temp_tables.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
// pxlib's header declares C functions without extern "C".
extern "C" {
#include <paradox.h>
}

namespace {

std::vector<CardRow> cards()
{
    CardRow elfe = makeCard(QStringLiteral("Élfe des forêts"), QStringLiteral("Forest Elf"),
                            QStringLiteral("Édition été"), 3, 1);
    elfe.cote = 12.5;
    elfe.cout = QStringLiteral("2ç");
    elfe.force = 2.0;
    elfe.endurance = QVariant();
    elfe.cherche = 70000;
    elfe.dessin = QByteArray("\xFF\xD8\x00picture\xFF\xD9", 12);
    CardRow ange = makeCard(QStringLiteral("Ange"), QStringLiteral("Angel"), QStringLiteral("Base"), 0, 2);
    CardRow blank = makeCard(QString(), QStringLiteral("Nameless"), QStringLiteral("Base"));
    return {elfe, ange, blank};
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

// Opening and reading every row must end in a message naming the file.
void expectRefused(const QString &path, const QString &named)
{
    ParadoxTable table(path);
    try {
        table.open();
        int count = 0;
        for (; !table.eof(); table.next())
            ++count;
        ADD_FAILURE() << "read " << count << " rows";
    } catch (const AppError &error) {
        EXPECT_TRUE(error.message().contains(named)) << error.message().toStdString();
    }
}

QStringList column(Dataset &table, int position)
{
    QStringList values;
    for (table.first(); !table.eof(); table.next())
        values << table.field(position).asString();
    return values;
}

} // namespace

// Same field names, positions and values as the SQLite card table, alpha
// fields decoded from either code page, rows in key order (blank first).
TEST(ParadoxTable, ReadsTheCardLayoutInBothCodePages)
{
    for (int codePage : {850, 1252}) {
        SCOPED_TRACE(codePage);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("CARTES.DB"));
        std::vector<std::vector<QVariant>> rows;
        for (const CardRow &card : cards())
            rows.push_back(paradoxCardRow(card));
        writeParadoxTable(path, paradoxCardFields(), rows, codePage, card::KeyFieldCount, true);
        ASSERT_EQ(tableFileFormat(path), TableFileFormat::Paradox);

        ParadoxTable table(path);
        table.open();
        EXPECT_EQ(table.codePage(), codePage);
        ASSERT_EQ(table.fieldCount(), card::FieldCount);
        for (int i = 0; i < card::FieldCount; ++i)
            EXPECT_EQ(table.fieldName(i), card::fieldNames()[i]);
        EXPECT_EQ(table.recordCount(), 3);
        EXPECT_EQ(column(table, card::NomFrancais),
                  (QStringList{QString(), QStringLiteral("Ange"), QStringLiteral("Élfe des forêts")}));

        table.first();
        table.next();
        table.next();
        EXPECT_EQ(table.field(card::Origine).asString(), QStringLiteral("Édition été"));
        EXPECT_EQ(table.field(card::Cout).asString(), QStringLiteral("2ç"));
        EXPECT_EQ(table.field(card::Cote).asFloat(), 12.5);
        EXPECT_EQ(table.field(card::Force).asString(), QStringLiteral("2"));
        EXPECT_TRUE(table.field(card::Endurance).isNull());
        EXPECT_EQ(table.field(card::Dispo).asInteger(), 3);
        EXPECT_EQ(table.field(card::Cherche).asInteger(), 70000);
        table.next();
        EXPECT_TRUE(table.eof());

        // Unordered: the order the file was written in.
        table.openUnordered();
        EXPECT_EQ(column(table, card::NomAnglais),
                  (QStringList{QStringLiteral("Forest Elf"), QStringLiteral("Angel"), QStringLiteral("Nameless")}));

        // Pictures come from the .MB file; pxlib's writer made it a multiple
        // of 4 KB, the size on which pxlib's own block index overruns.
        ASSERT_EQ(QFileInfo(dir.filePath(QStringLiteral("CARTES.MB"))).size() % 4096, 0);
        table.first();
        EXPECT_EQ(table.value(card::Dessin).toByteArray(), cards()[0].dessin);
        table.next();
        EXPECT_TRUE(table.value(card::Dessin).isNull());

        // Without its .MB file the table still reads, pictures empty.
        table.close();
        ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("CARTES.MB"))));
        table.open();
        EXPECT_EQ(column(table, card::Dessin), (QStringList{QString(), QString(), QString()}));
    }
}

// Fewer fields than the card layout, logical and date fields, an empty table.
TEST(ParadoxTable, ReadsOtherLayoutsAndEmptyTables)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("MAJ.DB"));
    const std::vector<ParadoxField> fields{{QStringLiteral("Nom"), pxfAlpha, 20},
                                           {QStringLiteral("Vu"), pxfLogical, 1},
                                           {QStringLiteral("Le"), pxfDate, 4}};
    // Day numbers counted from 1 January of year 1: 730120 is 1 January 2000.
    writeParadoxTable(path, fields, {{QStringLiteral("Zèbre"), true, qint64(730120)},
                                     {QStringLiteral("Âne"), false, QVariant()}}, 1252, 0, false);
    ParadoxTable table(path);
    table.open();
    ASSERT_EQ(table.fieldCount(), 3);
    EXPECT_EQ(column(table, 0), (QStringList{QStringLiteral("Zèbre"), QStringLiteral("Âne")}));
    EXPECT_EQ(column(table, 1), (QStringList{QStringLiteral("1"), QStringLiteral("0")}));
    EXPECT_EQ(column(table, 2), (QStringList{QStringLiteral("01/01/2000"), QString()}));

    const QString emptyPath = dir.filePath(QStringLiteral("VIDE.DB"));
    writeParadoxTable(emptyPath, paradoxCardFields(), {}, 850, 3, false);
    ParadoxTable empty(emptyPath);
    empty.open();
    EXPECT_TRUE(empty.eof());
    EXPECT_EQ(empty.recordCount(), 0);
}

// Damaged files: a clear French message naming the file, never a crash.
TEST(ParadoxTable, RefusesDamagedFiles)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("BON.DB"));
    std::vector<std::vector<QVariant>> rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back(paradoxCardRow(makeCard(QStringLiteral("Carte %1").arg(i), QStringLiteral("Card %1").arg(i),
                                               QStringLiteral("Base"))));
    writeParadoxTable(good, paradoxCardFields(), rows, 850, 3, false);
    const QByteArray bytes = readFile(good);

    struct Damage {
        const char *name;
        QByteArray content;
    };
    QByteArray lyingCount = bytes;
    lyingCount[6] = char(0xFF);
    lyingCount[7] = char(0xFF);
    lyingCount[8] = char(0x7F);
    QByteArray lyingSize = bytes;
    lyingSize[0] = char(0x03);
    QByteArray lyingFields = bytes;
    lyingFields[0x21] = char(0x7F);
    // Password words: pxlib would decode the blocks with them and wander.
    QByteArray password = bytes;
    password[0x5C] = char(0x2A);
    QByteArray oldPassword = bytes;
    oldPassword[0x28] = char(0x94);
    // Field descriptors (type, length) from 0x78: the long Cherche made
    // 8 bytes and the first name 4 shorter, so the record size still agrees;
    // pxlib would copy 8 bytes into its 4-byte buffer.
    QByteArray lyingLength = bytes;
    lyingLength[0x78 + 1] = char(quint8(lyingLength[0x78 + 1]) - 4);
    lyingLength[0x78 + 2 * card::Cherche + 1] = char(8);
    // The first data block named as its own successor.
    QByteArray looping = bytes;
    const int firstBlock = quint8(bytes[2]) | quint8(bytes[3]) << 8;
    looping[firstBlock] = char(1);
    looping[firstBlock + 1] = char(0);
    const std::vector<Damage> damages{
        {"password.DB", password},
        {"old_password.DB", oldPassword},
        {"truncated.DB", bytes.left(bytes.size() / 2)},
        {"header_only.DB", bytes.left(0x70)},
        {"lying_count.DB", lyingCount},
        {"lying_record_size.DB", lyingSize},
        {"lying_field_count.DB", lyingFields},
        {"lying_field_length.DB", lyingLength},
        {"looping_blocks.DB", looping},
    };
    for (const Damage &damage : damages) {
        SCOPED_TRACE(damage.name);
        const QString path = dir.filePath(QString::fromLatin1(damage.name));
        writeFile(path, damage.content);
        expectRefused(path, QString::fromLatin1(damage.name));
    }

    // A damaged picture file beside a sound table: refused the same way.
    const QString pictured = dir.filePath(QStringLiteral("IMAGES.DB"));
    for (std::vector<QVariant> &row : rows)
        row[card::Dessin] = QByteArray(3000, 'p');
    writeParadoxTable(pictured, paradoxCardFields(), rows, 850, 3, true);
    const QString blobPath = dir.filePath(QStringLiteral("IMAGES.MB"));
    const QByteArray blobs = readFile(blobPath);
    QByteArray lyingBlock = blobs;
    lyingBlock[4096] = char(0x7E);
    const std::vector<Damage> blobDamages{
        {"empty", QByteArray()}, {"truncated", blobs.left(blobs.size() / 3)}, {"lying block", lyingBlock}};
    for (const Damage &damage : blobDamages) {
        SCOPED_TRACE(damage.name);
        writeFile(blobPath, damage.content);
        expectRefused(pictured, QStringLiteral("IMAGES."));
    }
}

TEST(ParadoxTable, TellsTheFormatByTheHeader)
{
    TempTables sqlite;
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("NOTES.DB"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(200, 'x'));
    file.close();
    EXPECT_EQ(tableFileFormat(sqlite.cardPath()), TableFileFormat::Sqlite);
    EXPECT_EQ(tableFileFormat(text), TableFileFormat::Unknown);
    EXPECT_EQ(tableFileFormat(dir.filePath(QStringLiteral("ABSENT.DB"))), TableFileFormat::Unknown);
    EXPECT_THROW(openHandedTable(text), AppError);
    auto handed = openHandedTable(sqlite.cardPath());
    handed->open();
    EXPECT_EQ(handed->fieldCount(), card::FieldCount);
}

// The reader runs apart: its progress lines move the progress window, and a
// reader that crashes or falls silent ends in a message, never in the
// program going down with it.
TEST(ParadoxReaderProcess, FollowsProgressAndSurvivesCrashAndSilence)
{
    struct Counting : Progress {
        int advanced = 0;
        bool shown = false;
        void setMaximum(int) override {}
        void show() override { shown = true; }
        void advance() override { ++advanced; }
        void hide() override { shown = false; }
    };
    const QString sh = QStringLiteral("/bin/sh");
    const QString table = QStringLiteral("/tmp/RECU.DB");
    Counting progress;
    runReaderProcess(sh, {QStringLiteral("-c"), QStringLiteral("printf '\\rCopie : 40 %%'; printf '\\rCopie : 100 %%\\n'")},
                     table, progress, 5000);
    EXPECT_EQ(progress.advanced, 100);
    EXPECT_FALSE(progress.shown);

    const auto message = [&](const QString &script, int silence) {
        Counting ignored;
        try {
            runReaderProcess(sh, {QStringLiteral("-c"), script}, table, ignored, silence);
        } catch (const AppError &error) {
            EXPECT_FALSE(ignored.shown);
            return error.message();
        }
        return QStringLiteral("no error");
    };
    EXPECT_TRUE(message(QStringLiteral("kill -SEGV $$"), 5000).contains(QStringLiteral("arrêté brutalement")));
    EXPECT_TRUE(message(QStringLiteral("sleep 30"), 300).contains(QStringLiteral("ne répond plus")));
    // A refusal: the reader's last line of standard error is the message.
    EXPECT_EQ(message(QStringLiteral("echo bruit >&2; echo 'La table est illisible.' >&2; exit 1"), 5000),
              QStringLiteral("La table est illisible."));
    EXPECT_TRUE(message(QStringLiteral("exit 0"), 5000) == QStringLiteral("no error"));
    EXPECT_TRUE(message(QStringLiteral("kill -SEGV $$"), 5000).contains(table));
}
