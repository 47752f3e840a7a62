// The event pump: the only code that reads SDL's input and writes the input state.
#include "cindra/gui/Gui.hpp"

#include <SDL.h>

namespace cindra::gui {

void refreshInput() {
    int pixelX = 0;
    int pixelY = 0;
    SDL_GetMouseState(&pixelX, &pixelY);
    const auto buttons = static_cast<std::uint8_t>(SDL_GetMouseState(nullptr, nullptr) & 0xFF);
    int keyCount = 0;
    const Uint8* keys = SDL_GetKeyState(&keyCount);
    applyFrameSample(input(), pixelX, pixelY, buttons, keys, keyCount);
}

bool pollEvents() {
    InputState& state = input();
    SDL_Event event{};
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
        case SDL_QUIT:
            return false;
        case SDL_KEYDOWN:
            recordKeyDown(state, static_cast<std::int32_t>(event.key.keysym.sym),
                          event.key.keysym.unicode);
            break;
        case SDL_MOUSEBUTTONDOWN:
            recordMouseButton(state, event.button.button, true);
            break;
        case SDL_MOUSEBUTTONUP:
            recordMouseButton(state, event.button.button, false);
            break;
        default:
            break;
        }
        event = SDL_Event{};
    }
    return true;
}

} // namespace cindra::gui
