// The script API's door to the state that is still process-wide: every native function
// reaches it through these, so moving it into the World changes this file alone.
#include "cindra/Process.hpp"
#include "cindra/audio/Music.hpp"
#include "cindra/audio/Sound.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/logic/ScriptApi.hpp"

namespace cindra::logic {

Entities& registry(World&) {
    return process().entities;
}

const util::Timer* gameClock(World&) {
    return process().gameClock;
}

float deltaTime(World&) {
    return process().deltaTime;
}

const util::PerlinNoise* noise(World&) {
    return process().noise;
}

const gui::InputState& input(World&) {
    return gui::input();
}

const MusicControls& music(World&) {
    static constexpr MusicControls kMusicPlayer{audio::MusicPlayer::play, audio::MusicPlayer::stop,
                                                audio::MusicPlayer::pause,
                                                audio::MusicPlayer::resume};
    return kMusicPlayer;
}

audio::Sound sound(World&, const std::string& file) {
    return audio::Sound(file, -1);
}

} // namespace cindra::logic
