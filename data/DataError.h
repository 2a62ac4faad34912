#pragma once

#include <QString>
#include <stdexcept>

// Raised by the connection and the datasets. The message is for the learner's eyes
// (the default error report shows it), so it is Chinese with the engine's detail.
class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {}
    QString message() const { return m_message; }

private:
    QString m_message;
};
