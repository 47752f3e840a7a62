// Optional timing of named program sections. With the build switch `profile` on (which defines
// CINDRA_PROFILE), CINDRA_PROFILE_SCOPE(N)
// declares a scoped Section named N; otherwise it expands to nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <string>

namespace cindra::util {

struct ProfileRecord {
    std::uint32_t calls = 0;
    std::uint64_t totalMicros = 0;
};

class Profiler {
public:
    using Table = std::map<std::string, ProfileRecord>;
    static Table& table();
    // Adds one call of the given duration to the named entry.
    static void record(const std::string& name, std::uint64_t micros);
    // One "{}: {} calls, {} sec" line per entry.
    static void report();
};

class Section {
public:
    explicit Section(std::string name)
        : name_(std::move(name)), start_(std::chrono::steady_clock::now()) {}
    ~Section();
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

private:
    std::string name_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace cindra::util

#ifdef CINDRA_PROFILE
#define CINDRA_PROFILE_SCOPE(N) ::cindra::util::Section _prof_##N(#N)
#else
#define CINDRA_PROFILE_SCOPE(N)
#endif
