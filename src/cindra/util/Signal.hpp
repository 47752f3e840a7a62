// A typed list of callbacks: a location announces its moves through one, a dialog its answer.
// A callback is a target object and one of its member functions, so connecting the same pair
// twice calls it twice and one disconnect removes both.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace cindra::util {

template <typename T> class Signal {
public:
    struct Callback {
        void* target = nullptr;
        void (*call)(void* target, T value) = nullptr;

        // The callback that calls (object.*Method)(value).
        template <auto Method, typename Object> static Callback of(Object& object) {
            return {&object,
                    [](void* self, T value) { (static_cast<Object*>(self)->*Method)(value); }};
        }
        friend bool operator==(const Callback&, const Callback&) = default;
    };

    // Appends callback at the end of the list.
    void connect(Callback callback) { callbacks_.push_back(callback); }
    // Removes every entry equal to callback. During an emission the entries are only
    // blanked, so the emission neither skips nor repeats any of the others.
    void disconnect(Callback callback) {
        if (emitting_ == 0) {
            std::erase(callbacks_, callback);
        } else {
            std::replace(callbacks_.begin(), callbacks_.end(), callback, Callback{});
        }
    }
    void disconnectAll() {
        if (emitting_ == 0) {
            callbacks_.clear();
        } else {
            std::fill(callbacks_.begin(), callbacks_.end(), Callback{});
        }
    }

    // Calls every callback in list order, oldest first. A callback may connect or disconnect
    // callbacks (itself included) while it runs: entries connected during the emission are
    // called too, entries disconnected before their turn are not.
    void emit(T value) {
        const Emission emission(*this);
        for (std::size_t i = 0; i < callbacks_.size(); ++i) {
            const Callback callback = callbacks_[i];
            if (callback.call != nullptr) {
                callback.call(callback.target, value);
            }
        }
    }

    // The number of connected entries.
    std::size_t size() const {
        return static_cast<std::size_t>(std::count_if(callbacks_.begin(), callbacks_.end(),
                                                      [](const Callback& c) { return c.call; }));
    }

private:
    // Marks an emission in progress; the outermost one drops the blanked entries at its end,
    // also when a callback throws.
    struct Emission {
        explicit Emission(Signal& s) : signal(s) { signal.emitting_ += 1; }
        ~Emission() {
            if (--signal.emitting_ == 0) {
                std::erase(signal.callbacks_, Callback{});
            }
        }
        Emission(const Emission&) = delete;
        Emission& operator=(const Emission&) = delete;
        Signal& signal;
    };

    std::vector<Callback> callbacks_;
    int emitting_ = 0;
};

} // namespace cindra::util
