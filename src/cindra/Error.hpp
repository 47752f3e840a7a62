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

    // What was running when the error arose (a script step, say), printed on a line of its
    // own after the message. The innermost step names it: later calls change nothing.
    void addContext(const std::string& step) {
        if (context_.empty()) {
            context_ = step;
        }
    }
    const std::string& context() const noexcept { return context_; }

    // Where in the scripts the error was raised ("scripts/entity/guard.lua:27"), when a script
    // raised it; printed on a line of its own after the context.
    void setLocation(const std::string& location) { location_ = location; }
    const std::string& location() const noexcept { return location_; }

private:
    std::string context_;
    std::string location_;
};

} // namespace cindra
