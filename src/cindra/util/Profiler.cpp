#include "cindra/util/Profiler.hpp"

#include "cindra/Output.hpp"

namespace cindra::util {

Profiler::Table& Profiler::table() {
    static Table entries;
    return entries;
}

void Profiler::record(const std::string& name, std::uint64_t micros) {
    ProfileRecord& entry = table()[name];
    entry.calls += 1;
    entry.totalMicros += micros;
}

void Profiler::report() {
    for (const auto& [name, entry] : table()) {
        printLine("{}: {} calls, {} sec", name, entry.calls,
                  static_cast<double>(entry.totalMicros) / 1e6);
    }
}

Section::~Section() {
    auto elapsed = std::chrono::steady_clock::now() - start_;
    auto micros = std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
    Profiler::record(name_, static_cast<std::uint64_t>(micros));
}

} // namespace cindra::util
