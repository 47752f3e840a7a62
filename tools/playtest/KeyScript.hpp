// Key scripts: what cindra-playtest does to a game frame by frame, one command a line.
//
// Blank lines are skipped and a # outside a double-quoted string starts a comment. Words are
// separated by spaces and tabs; a word may be a double-quoted string, with \" and \\ the only
// escapes. Numbers are decimal; coordinates are console cells (0,0 at the bottom left).
//
//   wait N                    let N frames run (0..10000000)
//   press KEY | release KEY   a key goes down or up (names as keyNames lists them)
//   tap KEY                   a key goes down for one frame, then up
//   type TEXT                 each character pressed and released with its character; TEXT
//                             is one quoted string, or the rest of the line after one space
//                             (trailing blanks dropped: quote the text to keep them or a #)
//   mouse X Y                 the mouse moves to a cell
//   click X Y [BUTTON]        a click there: 1..5 or left, middle, right, wheelup, wheeldown
//   shot FILE.png             a screenshot; dump FILE.txt, the console as text. FILE is
//                             relative to the output folder and has no .. in it
//   expect cell X Y GLYPH [fg R G B] [bg R G B]
//                             GLYPH is a number 0..255 (so a bare 5 means glyph 5), or one
//                             character, bare or quoted, as the font draws it ("┌" is 218)
//   expect text X Y TEXT      the cells from (X,Y) rightwards show TEXT, drawn the same way
//   expect line TEXT          the game has printed the line TEXT
//   expect entity NAME at X Y an entity of that name stands on the cell
//   expect sound FILE         the game has started the sound file
//   quit                      the run ends here
//
// A malformed line throws KeyScriptError with the message "FILE:LINE: what is wrong".
#pragma once

#include "cindra/Error.hpp"
#include "cindra/util/Color.hpp"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace cindra::playtest {

class KeyScriptError : public Error {
public:
    using Error::Error;
    const char* kind() const noexcept override { return "cindra.KeyScriptError"; }
};

struct Cell {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

struct Wait {
    std::int32_t frames = 0;
    friend bool operator==(const Wait&, const Wait&) = default;
};

enum class KeyAction { Press, Release, Tap };
struct Key {
    KeyAction action = KeyAction::Tap;
    int code = 0; // an SDL 1.2 key code
    friend bool operator==(const Key&, const Key&) = default;
};

struct Type {
    std::u16string characters; // what the key events carry, so nothing beyond U+FFFF
    friend bool operator==(const Type&, const Type&) = default;
};

struct MouseMove {
    Cell at;
    friend bool operator==(const MouseMove&, const MouseMove&) = default;
};

struct Click {
    Cell at;
    int button = 1; // SDL's numbering: 1 left, 2 middle, 3 right, 4 and 5 the wheel
    friend bool operator==(const Click&, const Click&) = default;
};

// A file to write, relative to the output folder.
struct Shot {
    std::string file;
    friend bool operator==(const Shot&, const Shot&) = default;
};
struct Dump {
    std::string file;
    friend bool operator==(const Dump&, const Dump&) = default;
};

struct ExpectCell {
    Cell at;
    int glyph = 0;
    std::optional<util::Color> foreground; // alpha 255; only red, green and blue are meant
    std::optional<util::Color> background;
    friend bool operator==(const ExpectCell&, const ExpectCell&) = default;
};

struct ExpectText {
    Cell at;
    std::string text;        // as written, UTF-8
    std::vector<int> glyphs; // the glyph of each character
    friend bool operator==(const ExpectText&, const ExpectText&) = default;
};

struct ExpectLine {
    std::string text;
    friend bool operator==(const ExpectLine&, const ExpectLine&) = default;
};

struct ExpectEntity {
    std::string name;
    Cell at;
    friend bool operator==(const ExpectEntity&, const ExpectEntity&) = default;
};

struct ExpectSound {
    std::string file;
    friend bool operator==(const ExpectSound&, const ExpectSound&) = default;
};

struct Quit {
    friend bool operator==(const Quit&, const Quit&) = default;
};

using Action = std::variant<Wait, Key, Type, MouseMove, Click, Shot, Dump, ExpectCell, ExpectText,
                            ExpectLine, ExpectEntity, ExpectSound, Quit>;

struct Command {
    int line = 0; // 1-based, for messages
    Action action;
    friend bool operator==(const Command&, const Command&) = default;
};

// The commands of a script's text; fileName only names it in messages.
std::vector<Command> parseKeyScript(std::string_view text, const std::string& fileName);

// The same for a file, named in messages as given. Throws KeyScriptError when it cannot be
// read.
std::vector<Command> readKeyScript(const std::filesystem::path& path);

} // namespace cindra::playtest
