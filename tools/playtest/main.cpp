// cindra-playtest [options] GAME_DIR KEYSCRIPT: runs a game folder without a display or a
// sound device, driven by a key script, and checks what the script expects.
#include "Playtest.hpp"

#include <fmt/format.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: cindra-playtest [--dt SECONDS] [--seed N] [--out DIR] GAME_DIR KEYSCRIPT\n"
    "  --dt SECONDS  the fixed frame time (default 1/60)\n"
    "  --seed N      seeds the game's shared generator (default 1)\n"
    "  --out DIR     where shot and dump write (default: the key script's folder)\n";

int usage(const std::string& problem) {
    fmt::print(stderr, "cindra-playtest: {}\n{}", problem, kUsage);
    return 2;
}

std::optional<double> frameTime(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Longer than the game's own frame-time ceiling would be clamped; 0 would stop time.
    if (error != std::errc{} || end != text.data() + text.size() || !(value > 0.0) || value > 0.1) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> seed(std::string_view text) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace

int main(int argc, char** argv) {
    cindra::playtest::PlaytestOptions options;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool takesValue = arg == "--dt" || arg == "--seed" || arg == "--out";
        if (takesValue && i + 1 >= argc) {
            return usage(fmt::format("{} needs a value", arg));
        }
        if (arg == "--dt") {
            const std::optional<double> dt = frameTime(argv[++i]);
            if (!dt) {
                return usage("--dt needs a number of seconds above 0 and at most 0.1");
            }
            options.frameSeconds = *dt;
        } else if (arg == "--seed") {
            const std::optional<std::uint32_t> value = seed(argv[++i]);
            if (!value) {
                return usage("--seed needs a whole number from 0 to 4294967295");
            }
            options.seed = *value;
        } else if (arg == "--out") {
            options.outDir = argv[++i];
        } else if (arg == "--help" || arg == "-h") {
            fmt::print("{}", kUsage);
            return 0;
        } else if (arg.starts_with("--")) {
            return usage(fmt::format("unknown option {}", arg));
        } else {
            positional.emplace_back(arg);
        }
    }
    if (positional.size() != 2) {
        return usage("needs a game folder and a key script");
    }
    options.gameDir = positional[0];
    options.keyScript = positional[1];
    return cindra::playtest::runPlaytest(options);
}
