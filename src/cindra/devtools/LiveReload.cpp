#include "cindra/devtools/LiveReload.hpp"

#include "cindra/Error.hpp"
#include "cindra/Game.hpp"
#include "cindra/Output.hpp"
#include "cindra/World.hpp"
#include "cindra/devtools/Inspector.hpp"
#include "cindra/level/LevelSource.hpp"
#include "cindra/logic/Component.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/logic/ScriptManager.hpp"
#include "cindra/util/FileContents.hpp"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

namespace cindra::devtools {

namespace {

constexpr std::string_view kScriptFolder = "scripts/";
constexpr std::string_view kLevelFolder = "maps/";
// Far above any level's source (Marrowfield's largest is 22 KB): a file past it is refused
// rather than read whole.
constexpr std::uintmax_t kMaxLevelSourceBytes = std::uintmax_t{16} << 20;

std::vector<FileWatcher::Pattern> gameFiles() {
    return {{"scripts", ".lua", true}, {"maps", ".level", false}, {"", ".cmap", false}};
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// "scripts/lib/state.lua" is the module "lib.state".
std::string moduleOf(std::string_view path) {
    std::string module(path.substr(kScriptFolder.size(), path.size() - kScriptFolder.size() - 4));
    std::replace(module.begin(), module.end(), '/', '.');
    return module;
}

// Where the build puts the map compiled from a level source: "maps/intro.level" becomes
// "intro.cmap" in the game's folder.
std::string mapFileOf(const std::string& source) {
    return std::filesystem::path(source).stem().string() + ".cmap";
}

void printLines(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        writeLine(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

} // namespace

LiveReload::LiveReload(Game& game) : game_(game), watcher_(gameFiles()) {}

void LiveReload::frame(const gui::InputState& input, double now) {
    if (now - lastPoll_ >= kPollSeconds || now < lastPoll_) {
        lastPoll_ = now;
        const std::vector<std::string> changed = watcher_.poll();
        if (!changed.empty()) {
            pending_.insert(changed.begin(), changed.end());
            reload();
            return;
        }
    }
    if (input.lastKey == kReloadKey) {
        reload();
    }
}

LiveReload::Changes LiveReload::sortChanges() const {
    Changes changes;
    for (const std::string& path : pending_) {
        if (path.starts_with(kScriptFolder) && endsWith(path, ".lua")) {
            changes.modules.push_back(moduleOf(path));
        } else if (path.starts_with(kLevelFolder) && endsWith(path, ".level") &&
                   std::filesystem::is_regular_file(path)) {
            changes.levels.push_back(path);
        }
    }
    return changes;
}

// Every source is compiled before any map file is written, so one that fails writes none.
void LiveReload::compileLevels(const std::vector<std::string>& sources) {
    std::vector<std::pair<std::string, std::string>> maps;
    for (const std::string& source : sources) {
        std::error_code error;
        if (std::filesystem::file_size(source, error) > kMaxLevelSourceBytes && !error) {
            throw Error(
                fmt::format("{} is larger than {} MiB", source, kMaxLevelSourceBytes >> 20));
        }
        const level::Level level = level::parseLevel(util::readFile(source), source);
        for (const std::string& warning : level.warnings) {
            writeLine(warning);
        }
        maps.emplace_back(mapFileOf(source), level::encodeLevel(level.map, level.entities));
    }
    for (const auto& [file, bytes] : maps) {
        util::replaceFile(file, bytes);
        watcher_.acknowledge(file);
    }
}

void LiveReload::reload() {
    World& world = game_.world();
    if (const auto* location = world.entities().location(world.getPlayer())) {
        playerAt_ = location->getPosition();
    }
    const Changes changes = sortChanges();
    std::vector<std::string> reloaded;
    try {
        compileLevels(changes.levels);
        if (started_) {
            level::loadLevel(world.currentMapName(), [](std::string_view) {});
            reloaded = world.getScriptManager().reloadModules(changes.modules);
        }
    } catch (const std::exception& error) {
        show("Reload failed; the game goes on as it was:\n" + Game::describe(error));
        return;
    }
    pending_.clear();
    stopped_ = false;
    show("");
    rebuild();
    if (!stopped_) {
        std::string what = fmt::format("Reloaded {}", game_.world().currentMapName());
        if (!reloaded.empty()) {
            what += fmt::format("; modules run again: {}", fmt::join(reloaded, ", "));
        }
        if (!changes.levels.empty()) {
            what += fmt::format("; levels compiled: {}", fmt::join(changes.levels, ", "));
        }
        writeLine(what);
    }
}

void LiveReload::rebuild() {
    try {
        if (started_) {
            game_.world().reload(playerAt_);
        } else {
            game_.startWorld();
            started_ = true;
        }
    } catch (const std::exception& error) {
        stopOn(error, started_);
    }
}

void LiveReload::stopOn(const std::exception& error, bool started) {
    stopped_ = true;
    started_ = started;
    show("The game stopped on an error; it goes on at the next reload (F5, or save a file):\n" +
         Game::describe(error));
}

void LiveReload::show(std::string problem) {
    problem_ = std::move(problem);
    printLines(problem_);
    if (Inspector* inspector = game_.inspector()) {
        inspector->setProblem(problem_);
    }
}

} // namespace cindra::devtools
