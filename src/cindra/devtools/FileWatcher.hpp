// Notices the game files an author changes while the game runs: each poll compares the
// modification time and size of the files now there with those seen at the poll before.
// Only a game's own text-sized folders are meant to be watched; the walk stops at kMaxFiles.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cindra::devtools {

class FileWatcher {
public:
    static constexpr std::size_t kMaxFiles = 4096;

    // What to watch, relative to the working directory: every file under folder (and its
    // folders) whose name ends in extension.
    struct Pattern {
        std::string folder;
        std::string extension;
        bool recursive = false;
    };

    // Takes the first look, which reports nothing.
    explicit FileWatcher(std::vector<Pattern> patterns);

    // The files changed, made or removed since the last poll, sorted, as paths relative to
    // the working directory with '/' between folders ("scripts/lib/state.lua").
    std::vector<std::string> poll();
    // Takes the file as it is now as seen, so that the game's own write of it is not
    // reported at the next poll.
    void acknowledge(const std::string& path);

private:
    struct Stamp {
        std::filesystem::file_time_type written;
        std::uintmax_t size = 0;
        bool operator==(const Stamp&) const = default;
    };
    using Snapshot = std::map<std::string, Stamp>;

    static std::optional<Stamp> stampOf(const std::filesystem::directory_entry& entry);
    Snapshot look() const;
    void lookIn(const Pattern& pattern, Snapshot& into) const;

    std::vector<Pattern> patterns_;
    Snapshot seen_;
};

} // namespace cindra::devtools
