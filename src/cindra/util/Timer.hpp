// Game time: a timer advanced by its owner with the clamped frame time, and the
// process-wide list the game clock is registered in.
#pragma once

#include <vector>

namespace cindra::util {

class Timer {
public:
    virtual ~Timer() = default;
    virtual float getTime() const { return time_; }
    virtual void update(float dt) { time_ += dt; }
    virtual void reset() { time_ = 0.0f; }
    // stop and start only record a flag: update advances a stopped timer all the same.
    virtual void stop() { running_ = false; }
    virtual void start() { running_ = true; }
    bool isRunning() const { return running_; }

private:
    float time_ = 0.0f;
    bool running_ = true;
};

// The registry of timers. It does not own them and nothing walks it: each timer is
// advanced by its owner.
class TimerSystem {
public:
    void add(Timer& timer) { timers_.push_back(&timer); }
    const std::vector<Timer*>& timers() const { return timers_; }

private:
    std::vector<Timer*> timers_;
};

} // namespace cindra::util
