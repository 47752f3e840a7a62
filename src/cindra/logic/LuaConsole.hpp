// Runs one line an author types into the developer console, in the game's own Lua state,
// and turns whatever comes of it into the text to show: the line may not end the game, hang
// it or leave anything behind on the Lua stack.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cindra::logic {

class Lua;

// VM instructions a line may run (its results' tostring included) before it is stopped as a
// runaway: a fraction of a second of the game's frame, far more than any line typed by hand
// needs.
inline constexpr int kConsoleInstructionBudget = 20'000'000;
// Bytes of result or error text kept; longer text is cut and ends in kConsoleCutMark.
inline constexpr std::size_t kConsoleTextLimit = 1000;
inline constexpr std::string_view kConsoleCutMark = "...";
// What a failure's text starts with, so it reads as an error among results.
inline constexpr std::string_view kConsoleErrorPrefix = "error: ";

struct ConsoleReply {
    // The results through Lua's tostring, separated by tabs as print writes them; empty
    // when the line gave none. For a failure, kConsoleErrorPrefix and Lua's message.
    std::string text;
    bool failed = false;
};

// Runs line as an expression ("return <line>") when it compiles as one, else as a
// statement, whose compile error is the one reported. The chunk is named "console", so
// messages read "console:1: ...". Runs protected under an instruction-count hook, which
// replaces any hook lua's state had only for the run (a coroutine made during the line keeps
// it until it first fires, then takes the earlier hook); the stack is left as it was found.
ConsoleReply runConsoleLine(Lua& lua, std::string_view line,
                            int instructionBudget = kConsoleInstructionBudget);

} // namespace cindra::logic
