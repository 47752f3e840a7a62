// Game time: a timer advanced by its owner with the clamped frame time, and the
// process-wide list the game clock is registered in.
#pragma once

#include <vector>

namespace cindra::util {

class Timer {
public:
    virtual ~Timer() = default;
    virtual float getTime() const { return time; }
    virtual void update(float dt) { time += dt; }
    virtual void reset() { time = 0.0f; }
    // stop and start only record a flag: update advances a stopped timer all the same.
    virtual void stop() { running = false; }
    virtual void start() { running = true; }
    bool isRunning() const { return running; }

private:
    float time = 0.0f;
    bool running = true;
};

// The registry of timers. It does not own them and nothing walks it: each timer is
// advanced by its owner.
class TimerSystem {
public:
    void add(Timer& timer) { timers_.push_back(&timer); }
    void remove(Timer& timer) { std::erase(timers_, &timer); }
    const std::vector<Timer*>& timers() const { return timers_; }

private:
    std::vector<Timer*> timers_;
};

} // namespace cindra::util
