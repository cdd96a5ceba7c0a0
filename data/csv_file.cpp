#include "data/csv_file.h"

#include "data/error.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>

namespace csv {
namespace {

QString field(const QString &text)
{
    if (!text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

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
