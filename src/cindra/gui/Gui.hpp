// The per-frame input state of one game. The platform's event pump is the only writer; every
// other part reads it, so tests drive boxes and scripts by writing it directly.
#pragma once

#include "cindra/Screen.hpp"
#include "cindra/util/GridPos.hpp"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace cindra::gui {

using util::GridPos;

// Key codes with a fixed meaning in the engine.
inline constexpr std::int32_t kKeyBackspace = 8;
inline constexpr std::int32_t kKeyTab = 9;
inline constexpr std::int32_t kKeyReturn = 13;
inline constexpr std::int32_t kKeyEscape = 27;
inline constexpr std::int32_t kKeySpace = 32;
inline constexpr std::int32_t kKeyDelete = 127;
inline constexpr std::int32_t kKeyUp = 273;
inline constexpr std::int32_t kKeyDown = 274;
inline constexpr std::int32_t kKeyRight = 275;
inline constexpr std::int32_t kKeyLeft = 276;
inline constexpr std::int32_t kKeyHome = 278;
inline constexpr std::int32_t kKeyEnd = 279;
inline constexpr std::int32_t kKeyPageUp = 280;
inline constexpr std::int32_t kKeyPageDown = 281;
inline constexpr std::int32_t kKeyF1 = 282;
inline constexpr std::int32_t kKeyF5 = 286;
// The keypad's digit keys 1 to 9 follow each other.
inline constexpr std::int32_t kKeypad1 = 257;
inline constexpr std::int32_t kKeypad2 = 258;
inline constexpr std::int32_t kKeypad3 = 259;
inline constexpr std::int32_t kKeypad4 = 260;
inline constexpr std::int32_t kKeypad6 = 262;
inline constexpr std::int32_t kKeypad7 = 263;
inline constexpr std::int32_t kKeypad8 = 264;
inline constexpr std::int32_t kKeypad9 = 265;
inline constexpr int kKeyRightShift = 303;
inline constexpr int kKeyLeftShift = 304;
inline constexpr int kKeyRightCtrl = 305;
inline constexpr int kKeyLeftCtrl = 306;
inline constexpr int kKeyRightAlt = 307;
inline constexpr int kKeyLeftAlt = 308;

// Mouse button numbers: the wheel arrives as presses of buttons 4 (up) and 5 (down).
inline constexpr int kButtonLeft = 1;
inline constexpr int kWheelUp = 4;
inline constexpr int kWheelDown = 5;

struct InputState {
    GridPos mousePos;
    bool mouseInside = false;
    // Indexed by button number: 1 left, 2 middle, 3 right, others from the wheel.
    std::array<bool, 256> mousePressed{};
    std::array<bool, 256> mouseReleased{};
    std::array<bool, 256> mouseDown{};
    // The platform's key-state array, indexed by key code; nonzero means held.
    const std::uint8_t* keyState = nullptr;
    int keyCount = 0;
    std::int32_t lastKey = 0;
    std::uint16_t lastUnicode = 0;
    bool shiftDown = false;
    bool ctrlDown = false;
    bool altDown = false;

    // Whether the key is held; false for codes outside the key-state array.
    bool isKeyDown(int code) const {
        return keyState != nullptr && code >= 0 && code < keyCount && keyState[code] != 0;
    }
};

// The identity of a GUI element: the CRC-32 of the name of the source file it is used in,
// plus the line there, wrapping around. Stable from run to run and distinct per use site.
std::uint32_t elementId(std::string_view sourceFile, std::uint32_t line);
// The id of the element used at where (by default the caller's own line), from the file's
// name without its folders, so that an id does not depend on where the tree was built.
// Where a GUI element is made: the file and line of the code that makes it, captured by a
// default argument. (std::source_location needs a builtin that clang 14 does not have.)
struct SourceLocation {
    const char* file = "";
    std::uint32_t line = 0;

    static constexpr SourceLocation current(const char* file = __builtin_FILE(),
                                            std::uint32_t line = __builtin_LINE()) {
        return {file, line};
    }
};

std::uint32_t elementId(SourceLocation where = SourceLocation::current());

// The start-of-frame sample: pointer pixel position, button mask and key-state array.
// Clears lastKey and the press and release flags of buttons 1 to 3.
void applyFrameSample(InputState& state, int pixelX, int pixelY, std::uint8_t buttonMask,
                      const std::uint8_t* keyState, int keyCount);

// Keeps mousePos inside a width x height console; mouseInside says whether it already was.
void clampMouse(InputState& state, int width, int height);

// What the event pump hands over for each event of the frame.
void recordKeyDown(InputState& state, std::int32_t key, std::uint16_t unicode);
void recordMouseButton(InputState& state, std::uint8_t button, bool pressed);

// A key going down or up, as the event pump drains the frame's events.
struct KeyEvent {
    std::int32_t key = 0;
    bool down = false;
};

// Whether a key-down of key, followed in the frame by the key events later, is a repeat of a
// key that was already let go: the key is up in state's key-state array and no release of it
// follows. SDL 1.2 over SDL 2 holds a key-down back until the events it came with are
// drained; for a key pressed and released in one frame it lets the key-down through at the
// release and arms its key repeat then, so the key repeats every 30 ms after it was let go
// until another key goes down. A held key, or one pressed and released within the frame, is
// never such a repeat.
bool isRepeatOfReleasedKey(std::int32_t key, std::span<const KeyEvent> later,
                           const InputState& state);

// The SDL half: samples the devices into state, and drains the event queue into it. False
// when the window was asked to close; events behind the quit stay queued.
void refreshInput(InputState& state);
bool pollEvents(InputState& state);

} // namespace cindra::gui
