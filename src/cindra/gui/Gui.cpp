#include "cindra/gui/Gui.hpp"

#include "cindra/util/Crc32.hpp"

namespace cindra::gui {

std::uint32_t elementId(std::string_view sourceFile, std::uint32_t line) {
    return util::crc32(sourceFile) + line;
}

std::uint32_t elementId(SourceLocation where) {
    std::string_view file = where.file;
    if (const auto slash = file.find_last_of("/\\"); slash != std::string_view::npos) {
        file.remove_prefix(slash + 1);
    }
    return elementId(file, where.line);
}

void applyFrameSample(InputState& state, int pixelX, int pixelY, std::uint8_t buttonMask,
                      const std::uint8_t* keyState, int keyCount) {
    state.mousePos = {pixelX / kCellSize, (kWindowHeight - pixelY) / kCellSize};
    for (int button = 1; button <= 3; ++button) {
        state.mousePressed[button] = false;
        state.mouseReleased[button] = false;
        state.mouseDown[button] = (buttonMask & (1u << (button - 1))) != 0;
    }
    state.keyState = keyState;
    state.keyCount = keyCount;
    state.lastKey = 0;
    state.shiftDown = state.isKeyDown(kKeyLeftShift) || state.isKeyDown(kKeyRightShift);
    state.ctrlDown = state.isKeyDown(kKeyLeftCtrl) || state.isKeyDown(kKeyRightCtrl);
    state.altDown = state.isKeyDown(kKeyLeftAlt) || state.isKeyDown(kKeyRightAlt);
}

namespace {

void clampAxis(int& value, int size, bool& inside) {
    if (value < 0) {
        inside = false;
        value = 0;
    } else if (value >= size) {
        inside = false;
        value = size - 1;
    }
}

} // namespace

void clampMouse(InputState& state, int width, int height) {
    state.mouseInside = true;
    clampAxis(state.mousePos.x, width, state.mouseInside);
    clampAxis(state.mousePos.y, height, state.mouseInside);
}

void recordKeyDown(InputState& state, std::int32_t key, std::uint16_t unicode) {
    state.lastKey = key;
    state.lastUnicode = unicode;
}

bool isRepeatOfReleasedKey(std::int32_t key, std::span<const KeyEvent> later,
                           const InputState& state) {
    if (state.isKeyDown(key)) {
        return false;
    }
    for (const KeyEvent& event : later) {
        if (event.key == key && !event.down) {
            return false;
        }
    }
    return true;
}

void recordMouseButton(InputState& state, std::uint8_t button, bool pressed) {
    (pressed ? state.mousePressed : state.mouseReleased)[button] = true;
}

} // namespace cindra::gui
