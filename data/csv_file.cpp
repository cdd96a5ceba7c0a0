#include "data/csv_file.h"

#include "data/error.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>

namespace csv {
namespace {

// A number as number() writes it: a spreadsheet reads it as a number, never
// as a formula, so it keeps its leading minus.
bool isNumber(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^-?[0-9]+(,[0-9]+)?$"));
    return pattern.match(text).hasMatch();
}

// The text starts, after any apostrophes, with a character that makes a
// spreadsheet take the field for a formula.
bool startsLikeFormula(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char('\''))
        ++i;
    return i < text.size() && QStringView(u"=+-@\t\r").contains(text.at(i));
}

QString field(const QString &text)
{
    const QString written = neutralised(text);
    if (written == text && !text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = written;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString neutralised(const QString &text)
{
    if (isNumber(text) || !startsLikeFormula(text))
        return text;
    return QLatin1Char('\'') + text;
}

QString unneutralised(const QString &field)
{
    if (field.startsWith(QLatin1Char('\'')) && startsLikeFormula(field))
        return field.mid(1);
    return field;
}

QString number(double value)
{
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QByteArray content(const Rows &rows)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QStringList &row : rows) {
        QStringList fields;
        fields.reserve(row.size());
        for (const QString &text : row)
            fields << field(text);
        bytes += fields.join(QLatin1Char(';')).toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

void writeFile(const QString &path, const Rows &rows)
{
    QSaveFile file(path);
    const QByteArray bytes = content(rows);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(QStringLiteral("Impossible d'écrire le fichier %1 : %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
}

QStringList cardLineFields(const QString &line)
{
    // name, then " x " and a count when there is one, then " (" edition ")".
    static const QRegularExpression cardLine(
        QStringLiteral("^(.*?)(?: x (\\d+))? \\(([^()]*)\\)$"),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = cardLine.match(line);
    if (!match.hasMatch())
        return {line, QString(), QString()};
    return {match.captured(1), match.captured(3), match.captured(2)};
}

Rows cardLineRows(const QStringList &lines)
{
    Rows rows{{QStringLiteral("Nom"), QStringLiteral("Edition"), QStringLiteral("Exemplaires")}};
    for (const QString &line : lines)
        rows << cardLineFields(line);
    return rows;
}

} // namespace csv
