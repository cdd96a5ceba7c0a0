#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program: engine, file and input errors all carry
// a French message that the standard error box shows as it stands. An error
// that found a table file damaged also names that file, so that the program
// can offer a way out for its own table.
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString &message, const QString &damagedFile = QString());
    const QString &message() const { return m_message; }
    const QString &damagedFile() const { return m_damagedFile; }

private:
    QString m_message;
    QString m_damagedFile;
};
