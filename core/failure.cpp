#include "core/failure.h"

Failure::Failure(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

const char *Failure::what() const noexcept
{
    return m_utf8.constData();
}

QString ErrorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
