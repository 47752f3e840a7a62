// The authoring loop: while config.txt has "reload = true", a change to a script under
// scripts/, a level source under maps/ or a map file, or the F5 key, reloads the game in
// place. Changed modules run again, changed level sources are compiled to their map files,
// and the map now loaded is built again with the player where it stood. A reload that fails
// leaves the game running as it was; an error while the game runs stops it advancing instead
// of ending it. Either is shown on standard output and in the inspector until a reload
// succeeds.
#pragma once

#include "cindra/devtools/FileWatcher.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/util/GridPos.hpp"

#include <cstdint>
#include <exception>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace cindra {
class Game;
}

namespace cindra::devtools {

class LiveReload {
public:
    static constexpr double kPollSeconds = 0.25;
    static constexpr std::int32_t kReloadKey = gui::kKeyF5;

    // Takes the first look at the game's files: what is there now is not a change.
    explicit LiveReload(Game& game);

    // Between frames: reloads when F5 is the frame's key or, at most every kPollSeconds of
    // now (seconds on the run stopwatch), when a watched file has changed.
    void frame(const gui::InputState& input, double now);
    // Reloads now with the changes seen so far.
    void reload();
    // error stopped the game (started says whether its start-up had finished): it is shown,
    // and the game stays stopped until a reload succeeds.
    void stopOn(const std::exception& error, bool started = true);

    bool stopped() const { return stopped_; }
    // What failed last, as shown; empty when all is well.
    const std::string& problem() const { return problem_; }

private:
    struct Changes {
        std::vector<std::string> modules;
        std::vector<std::string> levels;
    };
    Changes sortChanges() const;
    void compileLevels(const std::vector<std::string>& sources);
    // Replaces the running game: the map built again, or the whole world made anew when its
    // start-up did not finish. An error here stops the game.
    void rebuild();
    void show(std::string problem);

    Game& game_;
    FileWatcher watcher_;
    // Files changed since the last reload that succeeded: a failed one keeps them for the next.
    std::set<std::string> pending_;
    double lastPoll_ = 0.0;
    bool stopped_ = false;
    bool started_ = true;
    std::string problem_;
    // Where the player stood when last seen, for a world rebuilt after an error.
    std::optional<util::GridPos> playerAt_;
};

} // namespace cindra::devtools
