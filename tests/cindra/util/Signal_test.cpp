#include "cindra/util/Signal.hpp"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using Signal = cindra::util::Signal<int>;

// A listener that records its name when called and then does what it was told to.
struct Listener {
    std::string name;
    std::string* log;
    Signal* signal;
    enum class Then { Nothing, LeaveItself, DropNext, AddNext, Throw } then = Then::Nothing;
    Listener* next = nullptr;

    Signal::Callback callback() { return Signal::Callback::of<&Listener::heard>(*this); }
    void heard(int) {
        *log += name;
        switch (then) {
        case Then::LeaveItself:
            signal->disconnect(callback());
            break;
        case Then::DropNext:
            signal->disconnect(next->callback());
            break;
        case Then::AddNext:
            then = Then::Nothing;
            signal->connect(next->callback());
            break;
        case Then::Throw:
            throw std::runtime_error("listener failed");
        case Then::Nothing:
            break;
        }
    }
};

// Changes to the list while it is being emitted: nobody is skipped or called twice, the
// changes hold for the next emission, and a throwing callback leaves the signal usable.
TEST(Signal, ChangesDuringAnEmissionTakeEffectWithoutSkippingAnyone) {
    struct Case {
        Listener::Then firstDoes;
        const char* firstEmission;
        const char* secondEmission;
    };
    const Case cases[] = {
        {Listener::Then::Nothing, "abc", "abc"},
        {Listener::Then::LeaveItself, "abc", "bc"},
        {Listener::Then::DropNext, "ac", "ac"},
        {Listener::Then::AddNext, "abcb", "abcb"},
    };
    for (const Case& c : cases) {
        std::string log;
        Signal signal;
        Listener a{"a", &log, &signal}, b{"b", &log, &signal}, z{"c", &log, &signal};
        a.then = c.firstDoes;
        a.next = &b;
        for (Listener* l : {&a, &b, &z}) {
            signal.connect(l->callback());
        }
        signal.emit(1);
        EXPECT_EQ(log, c.firstEmission) << c.firstEmission;
        log.clear();
        signal.emit(2);
        EXPECT_EQ(log, c.secondEmission) << c.firstEmission;
    }

    std::string log;
    Signal signal;
    Listener thrower{"t", &log, &signal, Listener::Then::Throw};
    Listener leaver{"l", &log, &signal, Listener::Then::LeaveItself};
    signal.connect(leaver.callback());
    signal.connect(thrower.callback());
    EXPECT_THROW(signal.emit(1), std::runtime_error);
    EXPECT_EQ(signal.size(), 1u);
    signal.disconnect(thrower.callback());
    signal.emit(2);
    EXPECT_EQ(log, "lt");
    EXPECT_EQ(signal.size(), 0u);
}

} // namespace
