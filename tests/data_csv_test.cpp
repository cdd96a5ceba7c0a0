// The CSV files exported for a spreadsheet, checked byte for byte and read
// back by a real CSV reader.
#include "data/csv_file.h"
#include "tests/support/temp_tables.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const csv::Rows rows = {
    {QStringLiteral("Nom"), QStringLiteral("Edition"), QStringLiteral("Cote")},
    {QStringLiteral("Éclair; foudre"), QStringLiteral("Alpha"), csv::number(12.5)},
    {QStringLiteral("Le \"Grand\" Ange"), QStringLiteral("Bêta"), csv::number(0.1)},
    {QStringLiteral("Ligne\nbrisée"), QStringLiteral("Retour\r\nchariot"), csv::number(3)},
    {QStringLiteral("Forêt"), QString(), csv::number(1234567.25)},
};

// The file as Python's csv module reads it, as JSON.
QJsonArray readByPython(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import csv, json, sys\n"
                                 "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n"),
                  path});
    python.waitForFinished(20000);
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

} // namespace

TEST(CsvFile, WritesTheReferenceFileThatACsvReaderReadsBackFieldByField)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("export.csv"));
    csv::writeFile(path, rows);
    EXPECT_EQ(readFile(path), readFile(QStringLiteral(TABRIX_TEST_DATA "/export_reference.csv")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("export.csv")});

    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    const QJsonArray read = readByPython(path);
    ASSERT_EQ(read.size(), rows.size());
    for (int row = 0; row < rows.size(); ++row)
        EXPECT_EQ(read[row].toVariant().toStringList(), rows[row]) << row;
}

TEST(CsvFile, CardLinesSplitIntoNameEditionAndCount)
{
    const struct {
        const char *line;
        QStringList fields;
    } cases[] = {
        {"Ange (Alpha)", {"Ange", "Alpha", ""}},
        {"Ours x 6 (Base)", {"Ours", "Base", "6"}},
        {"Aigle des forêts x 12 (Édition révisée)", {"Aigle des forêts", "Édition révisée", "12"}},
        {"Mox x Rubis (Beta)", {"Mox x Rubis", "Beta", ""}},
        {"Tour (en ruine) x 2 (Alpha)", {"Tour (en ruine)", "Alpha", "2"}},
        {"Total : 12 cartes", {"Total : 12 cartes", "", ""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(csv::cardLineFields(QString::fromUtf8(c.line)), c.fields) << c.line;
}

// Names and editions come from other people: none may run as a formula when
// the file is opened, and our own reader must get each back exactly.
TEST(CsvFile, FieldsThatWouldRunAsFormulasAreWrittenAsTextAndReadBackExactly)
{
    const struct {
        QString text;
        QByteArray written;
    } cases[] = {
        {QStringLiteral("=HYPERLINK(\"http://x\";\"clic\")"), "\"'=HYPERLINK(\"\"http://x\"\";\"\"clic\"\")\""},
        {QStringLiteral("+33 1"), "\"'+33 1\""},
        {QStringLiteral("-Ange"), "\"'-Ange\""},
        {QStringLiteral("-"), "\"'-\""},
        {QStringLiteral("@SOMME(A1)"), "\"'@SOMME(A1)\""},
        {QStringLiteral("\tcmd"), "\"'\tcmd\""},
        {QStringLiteral("\rcmd"), "\"'\rcmd\""},
        {QStringLiteral("'=déjà"), "\"''=d\xc3\xa9j\xc3\xa0\""},
        {QStringLiteral("''-x"), "\"'''-x\""},
        {QStringLiteral("l'ange"), "l'ange"},
        {QStringLiteral("'Ange"), "'Ange"},
        {QStringLiteral("Ange=Bête"), "Ange=B\xc3\xaate"},
        {csv::number(-1.5), "-1,5"},
        {csv::number(-3), "-3"},
    };
    csv::Rows rows;
    QByteArray expected("\xEF\xBB\xBF");
    for (const auto &c : cases) {
        rows << QStringList{c.text};
        expected += c.written + "\r\n";
    }
    EXPECT_EQ(csv::content(rows), expected);

    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("export.csv"));
    csv::writeFile(path, rows);
    const QJsonArray read = readByPython(path);
    ASSERT_EQ(read.size(), rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        const QString field = read[row].toArray().at(0).toString();
        EXPECT_EQ(csv::unneutralised(field), rows[row].front()) << row;
    }
}
