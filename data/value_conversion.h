#pragma once

#include "data/dataset.h"

#include <QString>
#include <QVariant>
#include <optional>

// The text, integer and floating-point forms of stored values, shared by the
// datasets and the local SQL.
namespace values {

// A number written with a point or a comma, blanks around it allowed.
std::optional<double> parseNumber(const QString &text);
std::optional<qint64> parseInteger(const QString &text);

// Shortest text that reads back as the same double, with a point.
QString floatText(double value);

// A value held as a number (integer or floating point), or as floating point.
bool isNumber(const QVariant &value);
bool isFloat(const QVariant &value);

QString toText(const QVariant &value);
// NULL or "" -> 0; otherwise a whole number or AppError.
qint64 toInteger(const QVariant &value);
// NULL or "" -> 0; otherwise a number or AppError.
double toFloat(const QVariant &value);

// The value to store in a column of the given kind. For a numeric column an
// empty text becomes NULL and a text that is not a number throws AppError.
QVariant forColumn(const QVariant &value, Dataset::Kind kind);

} // namespace values
