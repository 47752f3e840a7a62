// The table Cindra.Audio: the music track and sound effects.
#include "cindra/logic/ScriptApi.hpp"
#include "cindra/logic/ScriptBinding.hpp"

#include "cindra/audio/Sound.hpp"

#include <string>

namespace cindra::logic {

namespace {

void playMusic(World& world, std::string_view file) {
    music(world).play(std::string(file));
}

void stopMusic(World& world) {
    music(world).stop();
}

void pauseMusic(World& world) {
    music(world).pause();
}

void resumeMusic(World& world) {
    music(world).resume();
}

void playSound(World& world, std::string_view file) {
    sound(world, std::string(file)).play();
}

void playSoundLooped(World& world, std::string_view file) {
    sound(world, std::string(file)).playLooped();
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
