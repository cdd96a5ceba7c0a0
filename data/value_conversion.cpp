#include "data/value_conversion.h"

#include "data/error.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace values {

namespace {

[[noreturn]] void notANumber(const QString &text)
{
    throw AppError(QStringLiteral("'%1' n'est pas une valeur numérique correcte.").arg(text));
}

[[noreturn]] void notAnInteger(const QString &text)
{
    throw AppError(QStringLiteral("'%1' n'est pas une valeur entière correcte.").arg(text));
}

bool isWhole(double value)
{
    return std::isfinite(value) && std::floor(value) == value
        && value >= double(std::numeric_limits<qint64>::min())
        && value < double(std::numeric_limits<qint64>::max());
}

} // namespace

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isFloat(const QVariant &value)
{
    return value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
}

bool isNullValue(const QVariant &value)
{
    return !value.isValid() || value.isNull();
}

std::optional<double> parseNumber(const QString &text)
{
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    // The French decimal comma is accepted as well as the point.
    if (trimmed.count(QLatin1Char(',')) == 1 && !trimmed.contains(QLatin1Char('.')))
        trimmed.replace(QLatin1Char(','), QLatin1Char('.'));
    for (QChar c : trimmed) {
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char('+')
              || c == QLatin1Char('e') || c == QLatin1Char('E')))
            return std::nullopt;
    }
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint64> parseInteger(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (ok)
        return value;
    const std::optional<double> number = parseNumber(text);
    if (number && isWhole(*number))
        return qint64(*number);
    return std::nullopt;
}

QString floatText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

QString toText(const QVariant &value)
{
    if (isNullValue(value))
        return {};
    if (isFloat(value))
        return floatText(value.toDouble());
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

qint64 toInteger(const QVariant &value)
{
    if (isNullValue(value))
        return 0;
    if (isFloat(value)) {
        const double number = value.toDouble();
        if (!isWhole(number))
            notAnInteger(floatText(number));
        return qint64(number);
    }
    if (isNumber(value))
        return value.toLongLong();
    const QString text = toText(value);
    if (text.isEmpty())
        return 0;
    const std::optional<qint64> integer = parseInteger(text);
    if (!integer)
        notAnInteger(text);
    return *integer;
}

double toFloat(const QVariant &value)
{
    if (isNullValue(value))
        return 0;
    if (isNumber(value))
        return value.toDouble();
    const QString text = toText(value);
    if (text.isEmpty())
        return 0;
    const std::optional<double> number = parseNumber(text);
    if (!number)
        notANumber(text);
    return *number;
}

QVariant forColumn(const QVariant &value, Dataset::Kind kind)
{
    if (isNullValue(value))
        return QVariant();
    switch (kind) {
    case Dataset::Kind::Text:
        return toText(value);
    case Dataset::Kind::Integer:
        if (!isNumber(value) && toText(value).isEmpty())
            return QVariant();
        return toInteger(value);
    case Dataset::Kind::Float:
        if (!isNumber(value) && toText(value).isEmpty())
            return QVariant();
        return toFloat(value);
    case Dataset::Kind::Blob:
        if (value.typeId() == QMetaType::QByteArray)
            return value;
        return toText(value).toUtf8();
    }
    return value;
}

} // namespace values
