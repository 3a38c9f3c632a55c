#pragma once

#include <QString>

#include <exception>

// Every failure of a command is one of these: a message for the user's error
// box. Commands throw it; the command guard of the user interface shows it.
class Failure : public std::exception
{
public:
    explicit Failure(QString message);

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override;

private:
    QString m_message;
    QByteArray m_utf8;
};

// The text of the error box: the message with a full stop appended when its
// last character has a code above that of ".".
QString ErrorBoxText(const QString &message);
