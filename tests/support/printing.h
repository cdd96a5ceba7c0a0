#pragma once

#include "data/error.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <ostream>

// Readable failure messages for Qt texts in GoogleTest.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *out)
{
    *out << '{' << list.join(QStringLiteral(" | ")).toStdString() << '}';
}

// The message of the AppError that `action` throws; empty when it throws none.
inline QString errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const AppError &error) {
        return error.message();
    }
    return QString();
}
