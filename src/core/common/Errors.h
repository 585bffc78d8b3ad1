#pragma once

#include <QString>
#include <stdexcept>

// Errors travel as exceptions carrying the user's message in Russian; the command boundary shows them.
class EOrvantaError : public std::runtime_error {
public:
    explicit EOrvantaError(const QString& message)
        : std::runtime_error(message.toStdString())
        , FMessage(message)
    {
    }
    const QString& Message() const { return FMessage; }

private:
    QString FMessage;
};
