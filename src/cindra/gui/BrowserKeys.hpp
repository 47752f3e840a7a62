// Keys as the browser build's SDL reports them, turned into the SDL 1.2 key codes the engine
// and its scripts use. That SDL names a key that types a character by its ASCII code, as SDL
// 1.2 does, and any other key by 1024 plus SDL 2's scancode; its key-state array is indexed
// by the same codes.
#pragma once

#include <cstdint>
#include <span>

namespace cindra::gui {

inline constexpr std::int32_t kBrowserSpecialBase = 1024;
// The entries a browser key-state array has at least (SDL 2 has 512 scancodes).
inline constexpr int kBrowserKeyStates = kBrowserSpecialBase + 512;
// SDL 1.2's key codes run below this.
inline constexpr int kKeyCodeCount = 323;

// The SDL 1.2 key code; 0 for a key SDL 1.2 has none for (or a code out of range).
std::int32_t keyFromBrowserCode(std::int32_t code);
// states[c] for each SDL 1.2 code c below states.size() (at most kKeyCodeCount): whether
// the browser's state array (kBrowserKeyStates entries) holds that key down.
void browserKeyStates(const std::uint8_t* browserStates, std::span<std::uint8_t> states);

} // namespace cindra::gui
