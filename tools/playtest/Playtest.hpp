// cindra-playtest's run: a game folder started on the null platform, driven by a key script
// with a fixed frame time, and its expectations checked against what the game shows, prints
// and plays.
#pragma once

#include <cstdint>
#include <filesystem>

namespace cindra::playtest {

struct PlaytestOptions {
    std::filesystem::path gameDir;
    std::filesystem::path keyScript;
    // Where shot and dump write; empty for the key script's folder.
    std::filesystem::path outDir;
    double frameSeconds = 1.0 / 60.0;
    std::uint32_t seed = 1;
};

// The exit status: 0 when every expectation held; 1 for the first that did not ("FILE:LINE:
// expected ..., got ..." on standard error) or for the game's own error, reported as the game
// reports it; 2 for a key script that cannot be read or parsed.
int runPlaytest(const PlaytestOptions& options);

} // namespace cindra::playtest
