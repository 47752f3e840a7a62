// The one exception type of the engine: every error carries the system's own message text.
#pragma once

#include <stdexcept>
#include <string>

namespace cindra {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
    // The kind printed in front of the message when the error ends the program.
    virtual const char* kind() const noexcept { return "cindra.Error"; }
};

} // namespace cindra
