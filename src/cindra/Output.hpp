// Standard-output lines. Every line is flushed at its end, so a reader on a pipe sees
// each diagnostic or script print as soon as it is written.
#pragma once

#include <fmt/format.h>

#include <cstdio>
#include <string_view>

namespace cindra {

void writeLine(std::string_view text);

template <typename... Args> void printLine(fmt::format_string<Args...> format, Args&&... args) {
    writeLine(fmt::format(format, std::forward<Args>(args)...));
}

} // namespace cindra
