#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program: engine, file and input errors all carry
// a French message that the standard error box shows as it stands.
class AppError : public std::runtime_error
{
public:
    explicit AppError(const QString &message);
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
