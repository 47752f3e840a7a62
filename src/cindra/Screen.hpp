// The fixed size of the game's screen: a console of 128 x 96 cells of 8 x 8 pixels, shown in
// a 1024 x 768 window. These are system constants, never settings.
#pragma once

namespace cindra {

inline constexpr int kConsoleWidth = 128;
inline constexpr int kConsoleHeight = 96;
inline constexpr int kCellSize = 8;
inline constexpr int kWindowWidth = kConsoleWidth * kCellSize;
inline constexpr int kWindowHeight = kConsoleHeight * kCellSize;

// The font sheet the screen console is drawn in, beside the game.
inline constexpr const char* kFontFile = "terminal.png";

} // namespace cindra
