#include "Playtest.hpp"

#include "ConsoleDump.hpp"
#include "Cp437.hpp"
#include "KeyNames.hpp"
#include "KeyScript.hpp"
#include "OutputTap.hpp"

#include "cindra/Console.hpp"
#include "cindra/Error.hpp"
#include "cindra/Game.hpp"
#include "cindra/NullPlatform.hpp"
#include "cindra/World.hpp"
#include "cindra/gui/Gui.hpp"
#include "cindra/logic/Entities.hpp"
#include "cindra/util/Png.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <vector>

namespace cindra::playtest {

namespace fs = std::filesystem;

namespace {

// An expectation that did not hold: what was expected and what was found instead.
struct Mismatch {
    std::string expected;
    std::string got;
};

std::string rgb(util::Color c) {
    return fmt::format("{} {} {}", c.r, c.g, c.b);
}

bool sameRgb(util::Color a, util::Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

std::string glyphText(int glyph) {
    std::string text;
    appendUtf8(text, glyph >= 0 && glyph <= 255 ? cp437ToUnicode(glyph) : U'\uFFFD');
    return text;
}

// The key script's run of one game: commands in order, frames as the game's own loop runs
// them, with the frame's input step first.
class Runner {
public:
    Runner(const PlaytestOptions& options, std::string scriptName)
        : options_(options), scriptName_(std::move(scriptName)) {}

    // Starts the game; throws what its start-up throws.
    void start();
    // Runs one command; a mismatch is returned rather than thrown.
    std::optional<Mismatch> run(const Command& command);
    void end();

private:
    void step();
    void frames(int count);
    void press(int code);
    void release(int code);
    // The output folder's file, its folders made.
    fs::path outputFile(const std::string& file) const;

    std::optional<Mismatch> check(const ExpectCell& e);
    std::optional<Mismatch> check(const ExpectText& e);
    std::optional<Mismatch> check(const ExpectLine& e);
    std::optional<Mismatch> check(const ExpectEntity& e);
    std::optional<Mismatch> check(const ExpectSound& e);
    const ConsoleChar* cell(Cell at);

    const PlaytestOptions& options_;
    std::string scriptName_;
    NullPlatform platform_;
    OutputTap output_;
    std::optional<Game> game_;
    bool running_ = false;
    bool shiftHeld_ = false;
    // Keys and buttons let go once the next frame has seen them down (tap, click).
    std::vector<int> keysAfterFrame_;
    std::vector<int> buttonsAfterFrame_;
};

void Runner::start() {
    GameOptions game;
    game.seed = options_.seed;
    game.scriptClock = [this] { return platform_.seconds(); };
    game.onExit = [this](int status) {
        output_.pump();
        std::fflush(stdout);
        fmt::print(stderr, "{}: the game ended with os.exit({}) before the key script did\n",
                   scriptName_, status);
        std::fflush(stderr);
        std::_Exit(1);
    };
    game_.emplace(platform_, std::move(game));
    running_ = true;
    output_.pump();
}

void Runner::step() {
    if (!running_) {
        return;
    }
    running_ = game_->inputStep();
    if (!running_) {
        game_->finish();
        return;
    }
    platform_.advance(options_.frameSeconds);
    game_->frame();
    for (int code : std::exchange(keysAfterFrame_, {})) {
        release(code);
    }
    for (int button : std::exchange(buttonsAfterFrame_, {})) {
        platform_.button(button, false);
    }
}

void Runner::frames(int count) {
    for (int i = 0; i < count && running_; ++i) {
        step();
    }
}

void Runner::press(int code) {
    if (code == gui::kKeyLeftShift || code == gui::kKeyRightShift) {
        shiftHeld_ = true;
    }
    platform_.keyDown(code, unicodeOf(code, shiftHeld_));
}

void Runner::release(int code) {
    if (code == gui::kKeyLeftShift || code == gui::kKeyRightShift) {
        shiftHeld_ = false;
    }
    platform_.keyUp(code);
}

void Runner::end() {
    if (running_) {
        running_ = false;
        game_->finish();
    }
    output_.pump();
}

fs::path Runner::outputFile(const std::string& file) const {
    const fs::path path = options_.outDir / file;
    fs::create_directories(path.parent_path());
    return path;
}

template <typename... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <typename... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

std::optional<Mismatch> Runner::run(const Command& command) {
    std::optional<Mismatch> result;
    std::visit(Overloaded{
                   [&](const Wait& w) { frames(w.frames); },
                   [&](const Key& k) {
                       if (k.action != KeyAction::Release) {
                           press(k.code);
                       }
                       if (k.action == KeyAction::Release) {
                           release(k.code);
                       } else if (k.action == KeyAction::Tap) {
                           keysAfterFrame_.push_back(k.code);
                       }
                   },
                   [&](const Type& t) {
                       // One character a frame: the game reads one key a frame.
                       for (char16_t c : t.characters) {
                           const std::optional<KeyStroke> stroke = keyFor(c);
                           const int code = stroke ? stroke->code : 0;
                           if (stroke && stroke->shift) {
                               platform_.keyDown(gui::kKeyLeftShift);
                           }
                           platform_.keyDown(code, static_cast<std::uint16_t>(c));
                           platform_.keyUp(code);
                           if (stroke && stroke->shift) {
                               platform_.keyUp(gui::kKeyLeftShift);
                           }
                           step();
                       }
                   },
                   [&](const MouseMove& m) {
                       platform_.movePointer({m.at.x, m.at.y});
                   },
                   [&](const Click& c) {
                       platform_.movePointer({c.at.x, c.at.y});
                       platform_.button(c.button, true);
                       buttonsAfterFrame_.push_back(c.button);
                   },
                   [&](const Shot& s) { util::writePng(outputFile(s.file), platform_.picture()); },
                   [&](const Dump& d) {
                       const fs::path path = outputFile(d.file);
                       std::ofstream out(path, std::ios::binary);
                       out << dumpConsole(game_->screen());
                       if (!out) {
                           throw Error("Cannot write " + path.string());
                       }
                   },
                   [&](const Quit&) {
                       if (running_) {
                           platform_.requestQuit();
                           step();
                       }
                   },
                   [&](const auto& expectation) { result = check(expectation); },
               },
               command.action);
    output_.pump();
    return result;
}

const ConsoleChar* Runner::cell(Cell at) {
    const Console& screen = game_->screen();
    return screen.isInside(at.x, at.y) ? &screen.at(at.x, at.y) : nullptr;
}

std::string cellText(const ConsoleChar& c) {
    return fmt::format("glyph {} fg {} bg {}", c.glyph, rgb(c.foreground), rgb(c.background));
}

std::optional<Mismatch> Runner::check(const ExpectCell& e) {
    std::string expected = fmt::format("cell ({},{}) glyph {}", e.at.x, e.at.y, e.glyph);
    if (e.foreground) {
        expected += " fg " + rgb(*e.foreground);
    }
    if (e.background) {
        expected += " bg " + rgb(*e.background);
    }
    const ConsoleChar* c = cell(e.at);
    if (c == nullptr) {
        return Mismatch{expected, "a cell outside the screen"};
    }
    const bool holds = c->glyph == e.glyph &&
                       (!e.foreground || sameRgb(c->foreground, *e.foreground)) &&
                       (!e.background || sameRgb(c->background, *e.background));
    return holds ? std::nullopt : std::optional<Mismatch>({expected, cellText(*c)});
}

std::optional<Mismatch> Runner::check(const ExpectText& e) {
    std::string shown;
    bool holds = true;
    for (std::size_t i = 0; i < e.glyphs.size(); ++i) {
        const ConsoleChar* c = cell({e.at.x + static_cast<std::int32_t>(i), e.at.y});
        if (c == nullptr) {
            holds = false;
            break;
        }
        shown += glyphText(c->glyph);
        holds = holds && c->glyph == e.glyphs[i];
    }
    if (holds) {
        return std::nullopt;
    }
    return Mismatch{fmt::format("text \"{}\" at ({},{})", e.text, e.at.x, e.at.y),
                    fmt::format("\"{}\"", shown)};
}

std::optional<Mismatch> Runner::check(const ExpectLine& e) {
    if (output_.printed(e.text)) {
        return std::nullopt;
    }
    return Mismatch{fmt::format("the line \"{}\"", e.text),
                    fmt::format("no such line (the last: \"{}\")", output_.lastLine())};
}

std::optional<Mismatch> Runner::check(const ExpectEntity& e) {
    const std::string expected = fmt::format("entity {} at ({},{})", e.name, e.at.x, e.at.y);
    const World& world = game_->world();
    const logic::Entity entity = world.entities().getEntityByName(e.name);
    if (entity == logic::kNoEntity) {
        return Mismatch{expected, "no entity of that name"};
    }
    const logic::LocationComponent* location = world.entities().location(entity);
    if (location == nullptr) {
        return Mismatch{expected, fmt::format("entity {} without a location", entity)};
    }
    const GridPos p = location->getPosition();
    if (p == GridPos{e.at.x, e.at.y}) {
        return std::nullopt;
    }
    return Mismatch{expected, fmt::format("({},{})", p.x, p.y)};
}

std::optional<Mismatch> Runner::check(const ExpectSound& e) {
    const std::vector<std::string>& played = platform_.recordingMixer().played();
    if (std::find(played.begin(), played.end(), e.file) != played.end()) {
        return std::nullopt;
    }
    std::string list;
    for (const std::string& file : played) {
        list += (list.empty() ? "" : ", ") + file;
    }
    return Mismatch{fmt::format("sound \"{}\"", e.file),
                    played.empty() ? "no sound" : fmt::format("only {}", list)};
}

// The folder a game runs in, for the time of the run.
class WorkingFolder {
public:
    explicit WorkingFolder(const fs::path& folder) : previous_(fs::current_path()) {
        fs::current_path(folder);
    }
    ~WorkingFolder() {
        std::error_code ignored;
        fs::current_path(previous_, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    fs::path previous_;
};

} // namespace

int runPlaytest(const PlaytestOptions& given) {
    std::vector<Command> commands;
    try {
        commands = readKeyScript(given.keyScript);
    } catch (const Error& error) {
        fmt::print(stderr, "{}\n", error.what());
        return 2;
    }
    PlaytestOptions options = given;
    if (options.outDir.empty()) {
        // A key script named without a folder ("keys.txt") writes beside itself too.
        options.outDir =
            options.keyScript.has_parent_path() ? options.keyScript.parent_path() : fs::path(".");
    }
    options.outDir = fs::absolute(options.outDir);
    const std::string scriptName = given.keyScript.string();
    try {
        const WorkingFolder folder(options.gameDir);
        Runner runner(options, scriptName);
        runner.start();
        for (const Command& command : commands) {
            if (const std::optional<Mismatch> mismatch = runner.run(command)) {
                runner.end();
                fmt::print(stderr, "{}:{}: expected {}, got {}\n", scriptName, command.line,
                           mismatch->expected, mismatch->got);
                return 1;
            }
            if (std::holds_alternative<Quit>(command.action)) {
                break;
            }
        }
        runner.end();
        return 0;
    } catch (const std::exception& error) {
        Game::report(error);
        return 1;
    }
}

} // namespace cindra::playtest
