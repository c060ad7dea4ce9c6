#pragma once

#include <QString>
#include <stdexcept>

// The one exception type of the project. Readers raise it for file-system
// errors that reach their caller (a file that cannot be opened, a read outside
// the file); the text is the message a user would see.
class VorlenError : public std::runtime_error {
public:
    explicit VorlenError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}

    const QString &message() const noexcept { return m_message; }

private:
    QString m_message;
};
