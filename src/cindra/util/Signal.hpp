// A typed list of callbacks: a location announces its moves through one, a dialog its answer.
// A callback is a target object and one of its member functions, so connecting the same pair
// twice calls it twice and one disconnect removes both.
#pragma once

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
    // Removes every entry equal to callback.
    void disconnect(Callback callback) { std::erase(callbacks_, callback); }
    void disconnectAll() { callbacks_.clear(); }

    // Calls every callback in list order, oldest first. A callback may disconnect itself or
    // others while it runs; entries connected during the emission are called too.
    void emit(T value) const {
        for (std::size_t i = 0; i < callbacks_.size(); ++i) {
            const Callback callback = callbacks_[i];
            callback.call(callback.target, value);
        }
    }

    std::size_t size() const { return callbacks_.size(); }

private:
    std::vector<Callback> callbacks_;
};

} // namespace cindra::util
