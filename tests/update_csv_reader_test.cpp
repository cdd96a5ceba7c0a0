#include "data/csv_file.h"
#include "data/csv_reader.h"
#include "tests/support/printing.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

std::vector<QStringList> rows(const csv::Document &file)
{
    std::vector<QStringList> all;
    for (int row = 0; row < file.rowCount(); ++row)
        all.push_back(file.row(row));
    return all;
}

} // namespace

TEST(CsvReaderTest, DetectsEncodingAndSeparatorAndReadsQuotedFieldsAcrossLines)
{
    // A French spreadsheet: cp1252, ";", CR LF, a quoted field with a
    // doubled quote, a separator and a line break inside, a blank line.
    const csv::Document french = csv::parse(QByteArray("Nom;\"Cote\"\r\n\"El\xE9phant \"\"gris\"\";\r\nnoir\";2,5\r\n"
                                                       "\r\n;\r\nOurs;1\r\n"));
    EXPECT_EQ(french.encoding, csv::Encoding::Cp1252);
    EXPECT_EQ(french.separator, QLatin1Char(';'));
    EXPECT_EQ(french.header, QStringList({"Nom", "Cote"}));
    EXPECT_EQ(rows(french), (std::vector<QStringList>{{u("Eléphant \"gris\";\r\nnoir"), "2,5"}, {"Ours", "1"}}));
    // The line each record starts on: blank lines are left out, yet counted.
    EXPECT_EQ(french.lineNumber(0), 2);
    EXPECT_EQ(french.lineNumber(1), 6);

    // Another program: UTF-8 without BOM, ",", LF, a short line, spaces
    // after a closing quote.
    const csv::Document english = csv::parse(u("name,set,qty\n\"Æther, Gust\" ,Zendikar,3\nBear\n").toUtf8());
    EXPECT_EQ(english.encoding, csv::Encoding::Utf8);
    EXPECT_EQ(english.separator, QLatin1Char(','));
    EXPECT_EQ(rows(english), (std::vector<QStringList>{{u("Æther, Gust"), "Zendikar", "3"}, {"Bear"}}));
    EXPECT_EQ(english.field(1, 2), QString());

    const csv::Document tabs = csv::parse("a\tb\tc;d\n1\t2;3");
    EXPECT_EQ(tabs.separator, QLatin1Char('\t'));
    EXPECT_EQ(tabs.row(0), QStringList({"1", "2;3"}));
}

TEST(CsvReaderTest, OurOwnExportReadsBackExactly)
{
    const csv::Rows written{{u("Nom Français"), "Cote"},
                            {u("Ange; \"déchu\"\nbis"), "-1"},
                            {"=SOMME(A1)", "+3"},
                            {"@x", "'quote"},
                            {"'=x", "''@y"}};
    // As the writer puts it: BOM, ";", CR LF, quotes where needed, and an
    // apostrophe inside the quotes of a field a spreadsheet would run as a
    // formula (one that starts with = + - @ tab or CR).
    const QByteArray guarded = u("\xEF\xBB\xBFNom Français;Cote\r\n"
                                 "\"Ange; \"\"déchu\"\"\nbis\";\"'-1\"\r\n"
                                 "\"'=SOMME(A1)\";\"'+3\"\r\n"
                                 "\"'@x\";'quote\r\n"
                                 "\"''=x\";\"'''@y\"\r\n").toUtf8();
    for (const QByteArray &bytes : {csv::content(written), guarded}) {
        const csv::Document read = csv::parse(bytes);
        EXPECT_EQ(read.encoding, csv::Encoding::Utf8);
        EXPECT_EQ(read.header, written[0]);
        ASSERT_EQ(read.rowCount(), 4);
        for (int row = 0; row < 4; ++row)
            EXPECT_EQ(read.row(row), written[row + 1]);
    }
}

TEST(CsvReaderTest, BadFilesAreRefusedNamingTheLineAndColumn)
{
    QByteArray manyColumns("Nom");
    for (int i = 0; i < 1000000; ++i)
        manyColumns += ";x";
    struct Case {
        const char *what;
        QByteArray bytes;
        const char *message;
    } cases[] = {
        {"empty", "", "Le fichier est vide"},
        {"blank header", "\r\nNom\r\n", "Ligne 1, colonne 1 : la ligne d'en-tête"},
        {"not text", QByteArray("Nom;Cote\nOurs;\0\x01", 15), "Ligne 2, colonne 2 : caractère de contrôle (code 0)"},
        {"UTF-16", "\xFF\xFEN\0o\0m\0", "Le fichier est en UTF-16"},
        {"unbalanced quotes", "Nom;Cote\nOurs;1\n\"Ange;2\nPie;3\n", "Ligne 3, colonne 1 : un guillemet est ouvert"},
        {"text after a quote", "Nom;Cote\n\"Ours\"x;1\n", "Ligne 2, colonne 1 : « x » suit le guillemet"},
        {"long line", "Nom\n" + QByteArray(100000, 'x'), "Ligne 2, colonne 1 : la ligne a plus de 10"},
        {"million columns", manyColumns, "Ligne 1, colonne 257 : la ligne a plus de 256 colonnes."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString message = errorOf([&] { csv::parse(c.bytes); });
        EXPECT_TRUE(message.startsWith(u(c.message))) << message.toStdString();
    }

    // A file over the limit is refused before it is read whole.
    QTemporaryDir dir;
    QFile big(dir.filePath("big.csv"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(csv::MaxFileSize + 1));
    big.close();
    EXPECT_TRUE(errorOf([&] { csv::readFile(big.fileName()); }).contains(u("Il fait plus de 64 Mo")));
}
