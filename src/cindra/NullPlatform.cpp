#include "cindra/NullPlatform.hpp"

#include "cindra/ConsoleRasterizer.hpp"
#include "cindra/Error.hpp"
#include "cindra/Screen.hpp"
#include "cindra/gui/Gui.hpp"

#include <filesystem>
#include <fstream>

namespace cindra {

const std::string* RecordingMixer::load(const std::string& file) {
    std::error_code error;
    if (std::filesystem::is_directory(file, error) || !std::ifstream(file, std::ios::binary)) {
        return nullptr;
    }
    return &loaded_.emplace_back(file);
}

audio::MusicTrack* RecordingMixer::loadMusic(const std::string& file) {
    return reinterpret_cast<audio::MusicTrack*>(const_cast<std::string*>(load(file)));
}

void RecordingMixer::playMusic(audio::MusicTrack* track, int) {
    played_.push_back(*reinterpret_cast<const std::string*>(track));
    musicPlaying_ = true;
}

audio::SoundChunk* RecordingMixer::loadChunk(const std::string& file) {
    return reinterpret_cast<audio::SoundChunk*>(const_cast<std::string*>(load(file)));
}

void RecordingMixer::playChannel(int, audio::SoundChunk* chunk, int) {
    played_.push_back(*reinterpret_cast<const std::string*>(chunk));
}

NullPlatform::NullPlatform() : NullPlatform(Options{}) {}

NullPlatform::NullPlatform(Options options) : options_(options) {}

Console& NullPlatform::openScreen(int width, int height) {
    if (options_.font) {
        try {
            font_.emplace(util::readPng(kFontFile));
        } catch (const Error&) {
            throw Error(std::string("Error loading texture ") + kFontFile + "!");
        }
    }
    screen_ = std::make_unique<Console>(width, height);
    return *screen_;
}

void NullPlatform::sampleInput(gui::InputState& input) {
    gui::applyFrameSample(input, pixelX_, pixelY_, buttons_, keys_.data(),
                          static_cast<int>(keys_.size()));
}

bool NullPlatform::pollEvents(gui::InputState& input) {
    while (!events_.empty()) {
        const Event event = events_.front();
        events_.pop_front();
        switch (event.kind) {
        case Event::Kind::Quit:
            return false;
        case Event::Kind::KeyDown:
            keys_[static_cast<std::size_t>(event.code)] = 1;
            gui::recordKeyDown(input, event.code, event.unicode);
            break;
        case Event::Kind::KeyUp:
            keys_[static_cast<std::size_t>(event.code)] = 0;
            break;
        case Event::Kind::Button: {
            const auto button = static_cast<std::uint8_t>(event.code);
            if (button >= 1 && button <= 3) {
                const auto bit = static_cast<std::uint8_t>(1u << (button - 1));
                buttons_ = event.down ? (buttons_ | bit) : (buttons_ & ~bit);
            }
            gui::recordMouseButton(input, button, event.down);
            break;
        }
        }
    }
    return true;
}

namespace {

// Codes outside SDL 1.2's key-state array would index past it.
bool isKeyCode(int code) {
    return code >= 0 && code < 323;
}

} // namespace

void NullPlatform::keyDown(int code, std::uint16_t unicode) {
    if (isKeyCode(code)) {
        events_.push_back({Event::Kind::KeyDown, code, unicode, true});
    }
}

void NullPlatform::keyUp(int code) {
    if (isKeyCode(code)) {
        events_.push_back({Event::Kind::KeyUp, code, 0, false});
    }
}

void NullPlatform::movePointer(util::GridPos cell) {
    // The inverse of the event pump's mapping: the pixel at the middle of the cell.
    pixelX_ = cell.x * kCellSize + kCellSize / 2;
    pixelY_ = kWindowHeight - (cell.y * kCellSize + kCellSize / 2);
}

void NullPlatform::button(int number, bool down) {
    if (number >= 1 && number <= 255) {
        events_.push_back({Event::Kind::Button, number, 0, down});
    }
}

void NullPlatform::requestQuit() {
    events_.push_back({Event::Kind::Quit});
}

util::Image NullPlatform::picture() const {
    if (!screen_ || !font_) {
        throw Error("There is no screen picture without the screen and its font.");
    }
    return rasterize(*screen_, *font_);
}

} // namespace cindra
