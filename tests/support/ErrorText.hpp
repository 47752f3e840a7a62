// The message of the cindra::Error a call throws, so a test compares messages in one line.
#pragma once

#include "cindra/Error.hpp"

#include <string>

namespace cindra::test {

// The error's message, or "(no error)" when the call returns normally.
std::string errorOf(auto&& call) {
    try {
        call();
    } catch (const Error& error) {
        return error.what();
    }
    return "(no error)";
}

} // namespace cindra::test
