// Key names for key scripts: SDL 1.2's own key names in lower case (as SDL_GetKeyName gives
// them), with the names of more than one word written as one (pageup, lshift), mapped to SDL
// 1.2 key codes. The codes are written out here so the library links without SDL.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace cindra::playtest {

// The SDL 1.2 key code (an SDLKey value) of a key name; none for an unknown name. Besides
// the names keyNames lists, SDL's own names of more than one word ("page up", "left shift")
// are understood, for a caller that does not split words.
std::optional<int> keyCode(std::string_view name);

// Every name keyCode understands as one word, in key-code order, for the documentation.
std::vector<std::string_view> keyNames();

// The character a press of the key gives on a US keyboard, with or without Shift: letters,
// digits, punctuation, space, return (13), backspace (8), tab (9) and escape (27); 0 for
// every other key, the keypad among them (its digits need Num Lock, which is off).
std::uint16_t unicodeOf(int code, bool shift);

// The key, and whether Shift is held, that types c on a US keyboard; none when no key does.
struct KeyStroke {
    int code;
    bool shift;
};
std::optional<KeyStroke> keyFor(char16_t c);

} // namespace cindra::playtest
