// The table Cindra.Audio: the music track and sound effects.
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"

#include "cindra/audio/Sound.hpp"

#include <string>

namespace cindra::logic {

namespace {

void playMusic(World& world, std::string_view file) {
    world.game().music().play(std::string(file));
}

void stopMusic(World& world) {
    world.game().music().stop();
}

void pauseMusic(World& world) {
    world.game().music().pause();
}

void resumeMusic(World& world) {
    world.game().music().resume();
}

void playSound(World& world, std::string_view file) {
    audio::Sound(world.game().sounds(), std::string(file), audio::kAnyChannel).play();
}

void playSoundLooped(World& world, std::string_view file) {
    audio::Sound(world.game().sounds(), std::string(file), audio::kAnyChannel).playLooped();
}

} // namespace

void registerAudioTable(Lua& lua, World& world) {
    ScriptTable(lua, "Cindra.Audio", world)
        .bind<"playMusic", playMusic>()
        .bind<"stopMusic", stopMusic>()
        .bind<"pauseMusic", pauseMusic>()
        .bind<"resumeMusic", resumeMusic>()
        .bind<"playSound", playSound>()
        .bind<"playSoundLooped", playSoundLooped>();
}

} // namespace cindra::logic
