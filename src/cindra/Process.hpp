// The process-wide values that several modules share, in one place so tests can set them
// up fresh. The entry point creates the long-lived objects; everything else reads them here.
#pragma once

#include "cindra/logic/Entities.hpp"
#include "cindra/util/Timer.hpp"

#include <cstdint>

namespace cindra {

class World;
namespace util {
class PerlinNoise;
}

struct ProcessState {
    // True from the end of video start-up until video shutdown: GL names are deleted only then.
    bool glContextAlive = false;
    // Whether console vertex data lives in GL buffer objects rather than client arrays.
    bool useVBOs = false;
    // The clamped duration of the last frame, in seconds.
    float deltaTime = 0.0f;
    util::TimerSystem timerSystem;
    util::Timer* gameClock = nullptr;
    // The noise generator scripts sample; made at start-up.
    util::PerlinNoise* noise = nullptr;
    // The running level; set while a World exists.
    World* world = nullptr;
    // Every entity's components and name, across map changes.
    logic::Entities entities;
    // The last entity handle handed out: handles count up from 1 and are never reused.
    std::int32_t lastEntity = 0;
};

ProcessState& process();

// Puts every process-wide value back to its start-of-program state (for tests).
void resetProcess();

} // namespace cindra
