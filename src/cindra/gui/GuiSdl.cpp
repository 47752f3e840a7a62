// The event pump: the only code that reads SDL's input and writes the input state.
#include "cindra/gui/Gui.hpp"

#include <SDL.h>

#include <array>
#include <cstddef>

#ifdef __EMSCRIPTEN__
#include "cindra/gui/BrowserKeys.hpp"
#endif

namespace cindra::gui {

namespace {

// The browser build's SDL has its own key codes (see BrowserKeys.hpp): the engine's are
// SDL 1.2's, as the native SDL reports them. Its key-state array is copied into SDL 1.2's
// order, and copied again once a batch of events is drained, so that it holds the keys those
// events pressed, as the native array (which SDL updates as it drains them) does.
#ifdef __EMSCRIPTEN__
std::array<std::uint8_t, kKeyCodeCount> browserStates{};
std::int32_t keyOf(const SDL_keysym& keysym) {
    return keyFromBrowserCode(static_cast<std::int32_t>(keysym.sym));
}
void refreshKeyStates() {
    browserKeyStates(SDL_GetKeyboardState(nullptr), browserStates);
}
const std::uint8_t* keyStates(int& count) {
    refreshKeyStates();
    count = kKeyCodeCount;
    return browserStates.data();
}
#else
std::int32_t keyOf(const SDL_keysym& keysym) {
    return static_cast<std::int32_t>(keysym.sym);
}
void refreshKeyStates() {}
const std::uint8_t* keyStates(int& count) {
    return SDL_GetKeyState(&count);
}
#endif

} // namespace

void refreshInput(InputState& state) {
    int pixelX = 0;
    int pixelY = 0;
    SDL_GetMouseState(&pixelX, &pixelY);
    const auto buttons = static_cast<std::uint8_t>(SDL_GetMouseState(nullptr, nullptr) & 0xFF);
    int keyCount = 0;
    const std::uint8_t* keys = keyStates(keyCount);
    applyFrameSample(state, pixelX, pixelY, buttons, keys, keyCount);
}

namespace {

// SDL 1.2 queues at most 128 events; a frame with more is handled in batches of this size.
constexpr std::size_t kBatchSize = 128;

// The events of one batch, drained before any is handled, so that a key-down can be told
// apart from a repeat of a key already let go by the releases that follow it.
struct Batch {
    std::array<SDL_Event, kBatchSize> events{};
    std::array<KeyEvent, kBatchSize> keys{};
    std::array<std::size_t, kBatchSize> keysAfter{}; // per event: key events up to and with it
    std::size_t size = 0;
    std::size_t keyCount = 0;
    bool quit = false;
};

// Drains up to one batch; stops at a quit, which leaves the events behind it queued.
void drain(Batch& batch) {
    SDL_Event event{};
    while (batch.size < kBatchSize && SDL_PollEvent(&event) != 0) {
        if (event.type == SDL_QUIT) {
            batch.quit = true;
            return;
        }
        if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
            batch.keys[batch.keyCount++] = {keyOf(event.key.keysym), event.type == SDL_KEYDOWN};
        }
        batch.keysAfter[batch.size] = batch.keyCount;
        batch.events[batch.size++] = event;
        event = SDL_Event{};
    }
}

void handle(const Batch& batch, std::size_t index, InputState& state) {
    const SDL_Event& event = batch.events[index];
    switch (event.type) {
    case SDL_KEYDOWN: {
        const std::int32_t key = keyOf(event.key.keysym);
        const std::span<const KeyEvent> later(batch.keys.data() + batch.keysAfter[index],
                                              batch.keyCount - batch.keysAfter[index]);
        if (!isRepeatOfReleasedKey(key, later, state)) {
            recordKeyDown(state, key, event.key.keysym.unicode);
        }
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        recordMouseButton(state, event.button.button, true);
        break;
    case SDL_MOUSEBUTTONUP:
        recordMouseButton(state, event.button.button, false);
        break;
    default:
        break;
    }
}

} // namespace

bool pollEvents(InputState& state) {
    // Batches are large, so they live here rather than on every frame's stack.
    static Batch batch;
    do {
        batch = Batch{};
        drain(batch);
        refreshKeyStates();
        for (std::size_t i = 0; i < batch.size; ++i) {
            handle(batch, i, state);
        }
    } while (!batch.quit && batch.size == kBatchSize);
    return !batch.quit;
}

} // namespace cindra::gui
