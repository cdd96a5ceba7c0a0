#include "data/error.h"

AppError::AppError(const QString &message, const QString &damagedFile)
    : std::runtime_error(message.toStdString())
    , m_message(message)
    , m_damagedFile(damagedFile)
{
}
