#include "support/TempDir.hpp"

#include "cindra/devtools/FileWatcher.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using cindra::devtools::FileWatcher;
using Paths = std::vector<std::string>;

namespace {

namespace fs = std::filesystem;

class InFolder {
public:
    InFolder() : previous_(fs::current_path()) { fs::current_path(folder_.path()); }
    ~InFolder() { fs::current_path(previous_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    cindra::test::TempDir folder_{"cindra-watch"};
    fs::path previous_;
};

void put(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path().empty() ? "."
                                                                : fs::path(path).parent_path());
    std::ofstream(path) << text;
}

void touch(const std::string& path) {
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(1));
}

TEST(FileWatcher, ReportsWhatChangedCameOrWentSinceThePollBefore) {
    const InFolder folder;
    put("scripts/a.lua", "a");
    put("scripts/deep/b.lua", "b");
    put("scripts/notes.txt", "n");
    put("maps/deep/old.level", "x");
    put("maps/one.level", "1");
    put("one.cmap", "m");
    FileWatcher watcher(
        {{"scripts", ".lua", true}, {"maps", ".level", false}, {"", ".cmap", false}});
    EXPECT_EQ(watcher.poll(), Paths{}) << "what was there at the start is not a change";

    put("scripts/a.lua", "longer");      // a new size
    touch("scripts/deep/b.lua");         // the same size, written later
    put("scripts/notes.txt", "ignored"); // not a script
    put("maps/deep/old.level", "y");     // below a folder watched alone
    fs::remove("maps/one.level");
    put("maps/two.level", "2");
    EXPECT_EQ(watcher.poll(),
              (Paths{"maps/one.level", "maps/two.level", "scripts/a.lua", "scripts/deep/b.lua"}));
    EXPECT_EQ(watcher.poll(), Paths{});

    put("one.cmap", "the game's own write");
    watcher.acknowledge("one.cmap");
    touch("scripts/a.lua");
    EXPECT_EQ(watcher.poll(), Paths{"scripts/a.lua"});
}

} // namespace
