// Start-up, shutdown and output of the real executable.
#include "Harness.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>

using namespace cindra::e2e;

namespace {

int count(const std::vector<std::string>& lines, const std::string& prefix) {
    return static_cast<int>(std::count_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

} // namespace

TEST(Startup, EscapeEndsTheLoopWithTheAverageFrameRate) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    // Escape only once frames have run: one that comes before the first frame (a slow start,
    // as under the sanitizers) ends the loop with none, and a rate of 0.
    folder.addScript("init", "function update() if not ran then ran = true print('ran') end end");
    GameProcess game(xvfb, folder);
    // The status line arrives through the pipe while the game is still running.
    EXPECT_EQ(game.waitForLine("VBOs enabled: "), "VBOs enabled: true");
    ASSERT_TRUE(game.waitForLine("ran", 60s)) << game.errorOutput();
    game.sendKeys({"Escape"});
    const auto fps = game.waitForLine("Average FPS: ");
    ASSERT_TRUE(fps.has_value()) << game.errorOutput();
    EXPECT_GT(std::stod(fps->substr(13)), 0.0);
    EXPECT_EQ(game.wait(), 0);
    EXPECT_EQ(game.errorOutput(), "");
}

TEST(Startup, MissingFontEndsStartUpWithTheTextureError) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    folder.remove("terminal.png");
    GameProcess game(xvfb, folder);
    EXPECT_EQ(game.wait(), 1);
    EXPECT_NE(game.errorOutput().find("Error loading texture terminal.png!\n"), std::string::npos)
        << game.errorOutput();
    EXPECT_EQ(count(game.outputLines(), "Average FPS"), 0);
}

TEST(Startup, UnreadableFontIsAnErrorNotACrash) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    folder.write("terminal.png", "this is not an image");
    GameProcess game(xvfb, folder);
    EXPECT_EQ(game.wait(), 1);
    EXPECT_NE(game.errorOutput().find("Error loading texture terminal.png!"), std::string::npos)
        << game.errorOutput();
}

TEST(Startup, BrokenConfigurationPrintsOneLineAndTheGameRuns) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    folder.write("config.txt", "disableVBOs = true\nthis is not lua\n");
    GameProcess game(xvfb, folder);
    const auto error = game.waitForLine("Error loading configuration: ");
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->find("config.txt"), std::string::npos);
    // The syntax error means nothing ran: the default (buffer objects on) holds.
    EXPECT_EQ(game.waitForLine("VBOs enabled: "), "VBOs enabled: true");
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
    EXPECT_EQ(count(game.outputLines(), "Error loading configuration"), 1);
}

TEST(Startup, ScriptedConfigurationPrintsAndDisablesBufferObjects) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    folder.write("config.txt", "print('hello', 42)\ndisableVBOs = 0\nreturn true\n");
    GameProcess game(xvfb, folder);
    EXPECT_EQ(game.waitForLine("hello"), "hello\t42");
    EXPECT_EQ(game.waitForLine("VBOs enabled: "), "VBOs enabled: false");
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
}

TEST(Startup, TheWindowIsCaptionedAndClosingItEndsTheLoop) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    GameProcess game(xvfb, folder);
    ASSERT_TRUE(game.waitForLine("VBOs enabled: "));
    EXPECT_EQ(captureOnDisplay(xvfb, std::string(CINDRA_X11_WINDOW) + " Marrowfield --close"),
              "Marrowfield 1024x768\n");
    const auto fps = game.waitForLine("Average FPS: ");
    EXPECT_TRUE(fps.has_value()) << game.errorOutput();
    EXPECT_EQ(game.wait(), 0);
}

TEST(Startup, AnAudioDeviceThatCannotBeOpenedEndsStartUp) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    GameProcess game(xvfb, folder, RunOptions{{"SDL_AUDIODRIVER=no-such-driver"}, {}});
    EXPECT_EQ(game.wait(), 1);
    EXPECT_NE(game.errorOutput().find("Could not open audio device.\n"), std::string::npos)
        << game.errorOutput();
    // Video came up first and said so; the loop never ran.
    EXPECT_EQ(count(game.outputLines(), "VBOs enabled: "), 1);
    EXPECT_EQ(count(game.outputLines(), "Average FPS"), 0);
}

namespace {

// A minimal game spoilt in one way, the first line the game writes to standard error, and the
// line after it that names the script step that was running, if any.
struct StartFailure {
    const char* name;
    std::function<void(const GameFolder&)> spoil; // applied to a minimal game
    std::string firstErrorLine;
    std::string step = "";     // the line naming the step that was running
    std::string location = ""; // the line naming the script line that raised the error
};

// Replaces the file name with an empty folder.
void makeFolder(const GameFolder& f, const std::string& name) {
    f.remove(name);
    std::filesystem::create_directories(f.path() / name);
}

std::ostream& operator<<(std::ostream& out, const StartFailure& c) {
    return out << c.name;
}

const StartFailure kStartFailures[] = {
    // A header of the right length whose magic is reversed.
    {"MapWithABadMagic",
     [](const GameFolder& f) {
         f.write("intro.cmap", "PAMC" + std::string("\x01\0\0\0\x10\0\0\0\x08\0\0\0", 12));
     },
     "cindra.Error: File intro.cmap is not a valid map file."},
    {"MissingMap", [](const GameFolder& f) { f.remove("intro.cmap"); },
     "cindra.Error: Cannot open map file intro.cmap: No such file or directory"},
    {"MissingStartModule", [](const GameFolder& f) { f.remove("scripts/init.lua"); },
     "cindra.logic.LuaError: module 'init' not found:"},
    {"FailingStartModule",
     [](const GameFolder& f) { f.addScript("init", "\nerror('no start today')\n"); },
     "cindra.logic.LuaError: ./scripts/init.lua:2: no start today"},
    {"MissingPlayerScript", [](const GameFolder& f) { f.remove("scripts/entity/player.lua"); },
     "cindra.logic.LuaError: module 'entity.player' not found:"},
    {"PlayerScriptThatIsNotATable",
     [](const GameFolder& f) { f.addScript("entity.player", "return 42\n"); },
     "cindra.logic.LuaError: Module entity.player does not return a table of functions."},
    {"MapThatIsAFolder", [](const GameFolder& f) { makeFolder(f, "intro.cmap"); },
     "cindra.Error: Cannot open map file intro.cmap: Is a directory"},
    {"FontThatIsAFolder", [](const GameFolder& f) { makeFolder(f, "terminal.png"); },
     "cindra.Error: Error loading texture terminal.png!"},
    {"StartModuleThatIsAFolder", [](const GameFolder& f) { makeFolder(f, "scripts/init.lua"); },
     "cindra.logic.LuaError: error loading module 'init' from file './scripts/init.lua':"},
    {"BadCallInTheStartModule",
     [](const GameFolder& f) { f.addScript("init", "\nCindra.Entity.setPosition(1, 2, 3)\n"); },
     "cindra.logic.LuaError: Function setPosition called with 3 arguments; 2 expected.",
     "  while running the start-up module init", "  at scripts/init.lua:2"},
    {"BadCallInInitWorld",
     [](const GameFolder& f) {
         f.addScript("init", "function initWorld()\n  Cindra.Entity.getPosition()\nend\n");
     },
     "cindra.logic.LuaError: Function getPosition called with 0 arguments; 1 expected.",
     "  while running the global function initWorld", "  at scripts/init.lua:2"},
    {"ErrorInTheGlobalUpdate",
     [](const GameFolder& f) { f.addScript("init", "function update() error('no update') end"); },
     "cindra.logic.LuaError: ./scripts/init.lua:1: no update",
     "  while running the global function update", "  at scripts/init.lua:1"},
    {"BadCallInAModulesInit",
     [](const GameFolder& f) {
         f.addScript("entity.player",
                     "return {init = function(e)\n\n  Cindra.getWorldTime(e)\nend}");
     },
     "cindra.logic.LuaError: Function getWorldTime called with 1 arguments; 0 expected.",
     "  while running entity.player.init for entity 1 \"player\"",
     "  at scripts/entity/player.lua:3"},
    {"BadCallInAModulesUpdate",
     [](const GameFolder& f) {
         f.addScript("entity.player",
                     "return {update = function(e) Cindra.Entity.setSpeed(e) end}");
     },
     "cindra.logic.LuaError: Function setSpeed called with 1 arguments; 2 expected.",
     "  while running entity.player.update for entity 1 \"player\"",
     "  at scripts/entity/player.lua:1"},
    // A helper module's function raises: the line is the helper's, the step the destroy's.
    {"BadCallInAModulesDestroy",
     [](const GameFolder& f) {
         f.addScript("init", "function initWorld()\n  local e = Cindra.Entity.create()\n"
                             "  Cindra.Entity.setName(e, 'doomed')\n"
                             "  Cindra.Entity.attachScript(e, 'entity.doomed', '')\n"
                             "  Cindra.Entity.destroy(e)\nend\n");
         f.addScript("helper", "return {fail = function()\n  Cindra.Map.put()\nend}\n");
         f.addScript("entity.doomed",
                     "return {destroy = function(e) require('helper').fail() end}");
     },
     "cindra.logic.LuaError: Map.put() must be called with two to four arguments: (GridPos, "
     "char, fc, bc).",
     "  while running entity.doomed.destroy for entity 2 \"doomed\"", "  at scripts/helper.lua:2"},
};

class StartUpFailure : public ::testing::TestWithParam<StartFailure> {};

} // namespace

TEST_P(StartUpFailure, EndsWithStatusOneAndTheMessageOnStandardError) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame();
    GetParam().spoil(folder);
    GameProcess game(xvfb, folder);
    EXPECT_EQ(game.wait(), 1);
    const std::string& errors = game.errorOutput();
    EXPECT_EQ(errors.substr(0, errors.find('\n')), GetParam().firstErrorLine) << errors;
    // The step and then the script line follow the message, each on a line of its own.
    std::size_t at = 0;
    for (const std::string& line : {GetParam().step, GetParam().location}) {
        if (!line.empty()) {
            at = errors.find("\n" + line + "\n", at);
            ASSERT_NE(at, std::string::npos) << line << " in:\n" << errors;
        }
    }
    EXPECT_EQ(count(game.outputLines(), "Average FPS"), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartUpFailure, ::testing::ValuesIn(kStartFailures),
                         [](const ::testing::TestParamInfo<StartFailure>& c) {
                             return std::string(c.param.name);
                         });
