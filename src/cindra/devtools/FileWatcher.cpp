#include "cindra/devtools/FileWatcher.hpp"

#include <optional>
#include <system_error>

namespace cindra::devtools {

namespace fs = std::filesystem;

// A file that cannot be read now (one being replaced, say) has no stamp: it is seen as gone
// until it is back.
std::optional<FileWatcher::Stamp> FileWatcher::stampOf(const fs::directory_entry& entry) {
    std::error_code error;
    if (!entry.is_regular_file(error)) {
        return std::nullopt;
    }
    const auto written = fs::last_write_time(entry.path(), error);
    if (error) {
        return std::nullopt;
    }
    const auto size = fs::file_size(entry.path(), error);
    if (error) {
        return std::nullopt;
    }
    return Stamp{written, size};
}

FileWatcher::FileWatcher(std::vector<Pattern> patterns)
    : patterns_(std::move(patterns)), seen_(look()) {}

std::vector<std::string> FileWatcher::poll() {
    Snapshot now = look();
    std::vector<std::string> changed;
    auto before = seen_.begin();
    auto after = now.begin();
    // Both are sorted by path: one walk finds the changed, the new and the gone.
    while (before != seen_.end() || after != now.end()) {
        if (after == now.end() || (before != seen_.end() && before->first < after->first)) {
            changed.push_back((before++)->first);
        } else if (before == seen_.end() || after->first < before->first) {
            changed.push_back((after++)->first);
        } else {
            if (!(before->second == after->second)) {
                changed.push_back(after->first);
            }
            ++before;
            ++after;
        }
    }
    seen_ = std::move(now);
    return changed;
}

void FileWatcher::acknowledge(const std::string& path) {
    if (const auto stamp = stampOf(fs::directory_entry(path))) {
        seen_[path] = *stamp;
    } else {
        seen_.erase(path);
    }
}

FileWatcher::Snapshot FileWatcher::look() const {
    Snapshot snapshot;
    for (const Pattern& pattern : patterns_) {
        lookIn(pattern, snapshot);
    }
    return snapshot;
}

void FileWatcher::lookIn(const Pattern& pattern, Snapshot& into) const {
    const auto note = [&](const fs::directory_entry& entry) {
        const fs::path& path = entry.path();
        if (into.size() < kMaxFiles && path.extension() == pattern.extension) {
            if (const auto stamp = stampOf(entry)) {
                into.emplace(path.lexically_normal().generic_string(), *stamp);
            }
        }
    };
    std::error_code error;
    const auto walk = [&](auto it) {
        for (decltype(it) end; !error && it != end && into.size() < kMaxFiles;
             it.increment(error)) {
            note(*it);
        }
    };
    const fs::path folder = pattern.folder.empty() ? fs::path(".") : fs::path(pattern.folder);
    if (pattern.recursive) {
        walk(fs::recursive_directory_iterator(folder, fs::directory_options::skip_permission_denied,
                                              error));
    } else {
        walk(fs::directory_iterator(folder, error));
    }
}

} // namespace cindra::devtools
