// The one writer of the program's text files.
#include "data/text_file.h"
#include "tests/support/temp_tables.h"

#include <gtest/gtest.h>

// A character that cp1252 lacks must not become byte 26, which ends the text
// for any reader of the file; both ways of writing give the same bytes.
TEST(TextFileTest, CharactersThatCp1252LacksAreWrittenAsQuestionMarks)
{
    const QStringList lines = {QStringLiteral("Łódź x 2 (Pologne)"), QString::fromUtf8("Œil € \U0001F600 fin"),
                               QString(), QStringLiteral("Zoë")};
    const QByteArray expected = readFile(QStringLiteral(TABRIX_TEST_DATA "/text_file_missing_characters.txt"));
    TempTables dir;

    writeLinesFile(dir.path(QStringLiteral("liste.txt")), lines);
    EXPECT_EQ(readFile(dir.path(QStringLiteral("liste.txt"))), expected);

    TextFileWriter writer(dir.path(QStringLiteral("FICHIER.TXT")));
    for (const QString &line : lines)
        writer.writeLine(line);
    writer.close();
    EXPECT_EQ(readFile(dir.path(QStringLiteral("FICHIER.TXT"))), expected);
}
