#pragma once

#include <QString>
#include <stdexcept>

// Raised by the component layer (a picture that cannot be loaded, a clip that cannot
// be played). The default error report shows its message.
class ToolkitError : public std::runtime_error
{
public:
    explicit ToolkitError(const QString& message)
        : std::runtime_error(message.toStdString())
    {}
};
