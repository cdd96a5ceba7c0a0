#pragma once

#include <QLocale>

// The number format of the user's settings, as QLocale() gives it, set for
// the life of the object.
struct DefaultLocale {
    explicit DefaultLocale(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
    ~DefaultLocale() { QLocale::setDefault(previous); }
    DefaultLocale(const DefaultLocale &) = delete;
    DefaultLocale &operator=(const DefaultLocale &) = delete;
    const QLocale previous;
};
