// The living world in the real executable: the player walking with held arrow keys, a light
// carried by a scripted entity, a script error that the game survives, the frame loop's
// allocations with scripts running, and the shipped game on its intro level.
#include "Harness.hpp"

#include "cindra/ConsoleRasterizer.hpp"
#include "support/LevelText.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fmt/format.h>
#include <thread>

using namespace cindra::e2e;
using cindra::GridPos;
using cindra::util::Color;
using cindra::util::Image;

namespace {

const Color kWhite(255, 255, 255);

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines,
                                           const std::string& prefix) {
    std::vector<std::string> found;
    std::copy_if(lines.begin(), lines.end(), std::back_inserter(found),
                 [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
    return found;
}

// The player of the walking cases: starts at (x, y), walks with the arrows, prints every
// cell it reaches, and prints once where it stands when a direction has been held for half
// a second of game time without a step.
std::string walkingPlayer(GridPos start) {
    return fmt::format(R"lua(local Player = {{}}

function Player.init(self)
    Cindra.Entity.setPosition(self, {{{}, {}}})
end

local function report(text, p)
    print(text .. p[1] .. " " .. p[2])
end

function Player.think(self)
    local last = Cindra.Entity.getPosition(self)
    report("player at ", last)
    local stuckSince, reported = nil, false
    while true do
        local direction = Cindra.Input.getInputDirection()
        if direction then
            Cindra.Entity.moveDirectional(self, direction)
        end
        local p = Cindra.Entity.getPosition(self)
        local now = Cindra.getWorldTime()
        if p[1] ~= last[1] or p[2] ~= last[2] then
            last, stuckSince, reported = p, nil, false
            report("player at ", p)
        elseif direction then
            stuckSince = stuckSince or now
            if not reported and now - stuckSince >= 0.5 then
                reported = true
                report("player stopped at ", p)
            end
        else
            stuckSince = nil
        end
        coroutine.yield()
    end
end

return Player
)lua",
                       start.x, start.y);
}

struct WalkCase {
    const char* name;
    std::vector<std::string> rows; // top row first; '#' walls, '.' floor
    std::vector<std::string> keys;
    GridPos start;
    std::vector<GridPos> path; // every cell the player reaches, in order
};

std::ostream& operator<<(std::ostream& out, const WalkCase& c) {
    return out << c.name;
}

// In the diagonal cases the start cell has a wall above and to the right, so whichever arrow
// the game sees first while the two are pressed moves nothing on its own.
const WalkCase kWalkCases[] = {
    {"RightArrowWalksToTheWall",
     {"########", //
      "#.....##", //
      "########"},
     {"Right"},
     {1, 1},
     {{2, 1}, {3, 1}, {4, 1}, {5, 1}}},
    // The pillar at (4,4) blocks a diagonal step whose two sides are free: the horizontal
    // side is taken. The ceiling then turns the walk into a slide to the right.
    {"UpRightSlidesPastAPillarAndAlongTheCeiling",
     {"##########", //
      "#........#", //
      "#........#", //
      "#...#....#", //
      "#........#", //
      "##.......#", //
      "#.#......#", //
      "##########"},
     {"Up", "Right"},
     {1, 1},
     {{2, 2}, {3, 3}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {8, 6}}},
    {"UpRightGoesDiagonallyThenSlidesUpTheWall",
     {"######", //
      "#....#", //
      "#....#", //
      "#....#", //
      "#....#", //
      "##...#", //
      "#.#..#", //
      "######"},
     {"Up", "Right"},
     {1, 1},
     {{2, 2}, {3, 3}, {4, 4}, {4, 5}, {4, 6}}},
};

class Walking : public ::testing::TestWithParam<WalkCase> {};

TEST_P(Walking, HeldArrowsMoveThePlayerOnScreenUntilAWallStopsIt) {
    const WalkCase& c = GetParam();
    const int width = static_cast<int>(c.rows.front().size());
    const int height = static_cast<int>(c.rows.size());
    std::string rows;
    for (const auto& row : c.rows) {
        rows += row + "\n";
    }
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame(cindra::test::levelSource(width, height, "", rows));
    folder.addScript("entity.player", walkingPlayer(c.start));
    const auto playerOnScreen = [&](const Image& screen) {
        return findGlyph(screen, '@', kWhite, {0, 0}, {width - 1, height - 1});
    };

    GameProcess game(xvfb, folder);
    const std::string startLine = fmt::format("player at {} {}", c.start.x, c.start.y);
    ASSERT_EQ(game.waitForLine("player at "), startLine) << game.errorOutput();
    const Image before =
        game.screenshotWhen([&](const Image& s) { return playerOnScreen(s).has_value(); });
    EXPECT_EQ(playerOnScreen(before), c.start);

    game.pressKeys(c.keys);
    const GridPos end = c.path.back();
    EXPECT_EQ(game.waitForLine("player stopped at "),
              fmt::format("player stopped at {} {}", end.x, end.y));
    game.releaseKeys(c.keys);
    std::vector<std::string> expectedPath = {startLine};
    for (const GridPos p : c.path) {
        expectedPath.push_back(fmt::format("player at {} {}", p.x, p.y));
    }
    EXPECT_EQ(linesStartingWith(game.outputLines(), "player at "), expectedPath);
    const Image after =
        game.screenshotWhen([&](const Image& s) { return playerOnScreen(s) == end; });
    EXPECT_EQ(playerOnScreen(after), end);

    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
    EXPECT_EQ(game.errorOutput(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, Walking, ::testing::ValuesIn(kWalkCases),
                         [](const ::testing::TestParamInfo<WalkCase>& c) {
                             return std::string(c.param.name);
                         });

TEST(Light, TheLitCellsFollowTheEntityCarryingTheLight) {
    // No ambient light: a cell shows anything only where the lamp's light reaches it.
    const std::string level = cindra::test::levelSource(
        40, 13,
        "tile o glyph 0 fg #000000 bg #c0c0c0\n"
        "entity 6 6 name \"lamp\" location render glyph 'L' color #ffffff script \"entity.lamp\"\n",
        []() {
            std::string rows;
            for (int y = 0; y < 13; ++y) {
                rows += std::string(40, 'o') + "\n";
            }
            return rows;
        }());
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame(level);
    folder.addScript("entity.lamp", R"lua(local Lamp = {}

function Lamp.init(self)
    Cindra.Entity.createComponent(self, "light")
    Cindra.Entity.setLightColor(self, {255, 160, 64})
    Cindra.Entity.setLightRadius(self, 5)
end

-- Moves once, when the right arrow is held.
function Lamp.think(self)
    print("lamp at 6 6")
    while Cindra.Input.getInputDirection() ~= 2 do
        coroutine.yield()
    end
    Cindra.Entity.setPosition(self, {30, 6})
    print("lamp at 30 6")
    while true do
        coroutine.yield()
    end
end

return Lamp
)lua");
    // The background of the cell to the right of where the lamp stands or stood.
    const GridPos nearOld{7, 6};
    const GridPos nearNew{31, 6};
    const auto background = [](const Image& screen, GridPos cell) {
        return cindra::decodeCell(screen, cell.x, cell.y, kConsoleHeight, gameFont()).background;
    };
    const Color black(0, 0, 0);

    GameProcess game(xvfb, folder);
    ASSERT_EQ(game.waitForLine("lamp at "), "lamp at 6 6") << game.errorOutput();
    const Image first = game.screenshotWhen([&](const Image& s) {
        return background(s, nearOld) != black && background(s, nearNew) == black;
    });
    const Color lit = background(first, nearOld);
    EXPECT_NE(lit, black);
    // The light's colour tints the grey floor.
    EXPECT_GT(lit.r, lit.g);
    EXPECT_GT(lit.g, lit.b);
    EXPECT_EQ(background(first, nearNew), black);
    EXPECT_EQ(findGlyph(first, 'L', kWhite, {6, 6}, {6, 6}), (GridPos{6, 6}));

    game.pressKeys({"Right"});
    EXPECT_EQ(game.waitForLine("lamp at "), "lamp at 30 6");
    game.releaseKeys({"Right"});
    const Image second = game.screenshotWhen([&](const Image& s) {
        return background(s, nearNew) != black && background(s, nearOld) == black;
    });
    EXPECT_EQ(background(second, nearNew), lit);
    EXPECT_EQ(background(second, nearOld), black);
    EXPECT_EQ(findGlyph(second, 'L', kWhite, {30, 6}, {30, 6}), (GridPos{30, 6}));

    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
}

TEST(Scripts, AThinkErrorIsReportedOnceAndTheGameGoesOn) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addMinimalGame(cindra::test::levelSource(
        16, 8, "entity 4 4 name \"faulty\" location script \"entity.faulty\"\n"));
    // The error comes on the second resume, in a frame of the running loop.
    folder.addScript("entity.faulty", R"lua(local Faulty = {}
function Faulty.think(self)
    coroutine.yield()
    error("the lamp went out")
end
return Faulty
)lua");
    folder.addScript("entity.player", R"lua(local Player = {}
function Player.think(self)
    for i = 1, 30 do
        coroutine.yield()
    end
    print("player still thinking")
    while true do
        coroutine.yield()
    end
end
return Player
)lua");
    GameProcess game(xvfb, folder);
    // The map's entity is created before the player, so it is entity 1.
    EXPECT_EQ(game.waitForLine("entity.faulty: "),
              "entity.faulty: Entity 1 has encountered a script error. "
              "./scripts/entity/faulty.lua:4: the lamp went out")
        << game.errorOutput();
    EXPECT_TRUE(game.waitForLine("player still thinking"));
    game.sendKeys({"Escape"});
    EXPECT_TRUE(game.waitForLine("Average FPS: "));
    EXPECT_EQ(game.wait(), 0);
    EXPECT_EQ(linesStartingWith(game.outputLines(), "entity.faulty").size(), 1u);
    EXPECT_EQ(game.errorOutput(), "");
}

// Fifty entities shuttling between two points of their own (a step every frame), each reading
// its position every frame, and a player that reads the keys and keeps the view on itself.
void addShuttleWorld(const GameFolder& folder) {
    std::string entities;
    for (int i = 0; i < 50; ++i) {
        entities += fmt::format("entity 2 {0} name \"shuttle {0}\" location render glyph 's' "
                                "color #c0c0c0 script \"entity.shuttle\" arg \"2 {0} 40 {0}\"\n",
                                i + 2);
    }
    folder.addMinimalGame(cindra::test::levelSource(44, 56, entities));
    folder.addScript("entity.shuttle", R"lua(local Shuttle = {}
local routes = {}

function Shuttle.init(self, argument)
    local x1, y1, x2, y2 = string.match(argument, "(%d+) (%d+) (%d+) (%d+)")
    routes[self] = {{tonumber(x1), tonumber(y1)}, {tonumber(x2), tonumber(y2)}}
    Cindra.Entity.setSpeed(self, 10000)
end

function Shuttle.think(self)
    local route = routes[self]
    local leg = 2
    while true do
        local p = Cindra.Entity.getPosition(self)
        if p[1] == route[leg][1] then
            print("turned")
            leg = 3 - leg
        end
        Cindra.Entity.moveTowards(self, route[leg])
        coroutine.yield()
    end
end

return Shuttle
)lua");
    folder.addScript("entity.player", R"lua(local Player = {}
function Player.think(self)
    while true do
        local direction = Cindra.Input.getInputDirection()
        if direction then
            Cindra.Entity.moveDirectional(self, direction)
        end
        Cindra.Map.setViewPoint(Cindra.Entity.getPosition(self))
        coroutine.yield()
    end
end
return Player
)lua");
}

// The frame loop with the console drawn from buffer objects and from client arrays.
class FrameLoop : public ::testing::TestWithParam<const char*> {};

TEST_P(FrameLoop, MovingScriptedEntitiesAllocateNothing) {
#ifdef CINDRA_SANITIZED
    // The sanitizers' allocator replaces operator new, which the probe counts through.
    GTEST_SKIP() << "allocation counting does not work under the sanitizers";
#endif
    Xvfb xvfb;
    GameFolder folder;
    addShuttleWorld(folder);
    folder.write("config.txt", GetParam());
    GameProcess probe(xvfb, folder, RunOptions{{}, {"300"}}, CINDRA_FRAME_ALLOC_PROBE);
    // Software GL on a busy machine may take several seconds for the frames.
    EXPECT_EQ(probe.waitForLine("allocations in ", 100s), "allocations in 300 frames: 0")
        << probe.errorOutput();
    EXPECT_EQ(probe.wait(), 0);
    // 310 frames of single steps take every shuttle from one end of its route to the other
    // at least once.
    EXPECT_GE(linesStartingWith(probe.outputLines(), "turned").size(), 50u);
}

INSTANTIATE_TEST_SUITE_P(Drawing, FrameLoop, ::testing::Values("", "disableVBOs = true\n"),
                         [](const ::testing::TestParamInfo<const char*>& c) {
                             return std::string(c.index == 0 ? "BufferObjects" : "ClientArrays");
                         });

// The text of the cells from `from` rightwards as the screen shows it; '?' for a cell that
// does not read back as a glyph.
std::string textOnScreen(const Image& screen, GridPos from, std::size_t length) {
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        const cindra::DecodedCell c = cindra::decodeCell(screen, from.x + static_cast<int>(i),
                                                         from.y, kConsoleHeight, gameFont());
        text += c.ok ? static_cast<char>(c.glyph) : '?';
    }
    return text;
}

// The first steps of Marrowfield's playthrough (tests/playtest/marrowfield.keys) on the real
// executable, checked at the same cells: the player at the south gate, the gate sign's box
// two steps north, and the walk up the road until the pool's stones stop it.
TEST(ShippedGame, TheFirstStepsOfThePlaythroughShowTheSameCells) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addGame();
    GameProcess game(xvfb, folder);
    ASSERT_TRUE(game.waitForLine("VBOs enabled: ")) << game.errorOutput();
    // The village is 160 x 100: the view centred on the gate at (80,6) starts at map (16,0),
    // so the player stands on console cell (64,6) and the sign at (81,9) on (65,9).
    const Color sign(0xc0, 0x88, 0x50);
    const Image start = game.screenshotWhen([&](const Image& s) {
        return findGlyph(s, '@', kWhite, {64, 6}, {64, 6}) &&
               findGlyph(s, 'T', sign, {65, 9}, {65, 9});
    });
    EXPECT_TRUE(findGlyph(start, '@', kWhite, {64, 6}, {64, 6}));

    // North: next to the sign its text box opens; the game holds until Return.
    game.pressKeys({"Up"});
    const Image box = game.screenshotWhen([&](const Image& s) {
        return textOnScreen(s, {46, 48}, 11) == "Marrowfield";
    });
    game.releaseKeys({"Up"});
    EXPECT_EQ(textOnScreen(box, {46, 48}, 11), "Marrowfield");
    // On the real clock a slow frame may let the player take one more step in the frame
    // the sign opens its box (the sign's script runs before the player's).
    EXPECT_TRUE(findGlyph(box, '@', kWhite, {64, 8}, {64, 9}));
    // A box reads the frame's last key: the next press waits until the box has taken its
    // Return, or the two could come in one frame and Up, the later, would hide the Return.
    game.tapKey("Return");
    const auto closed = [&](const Image& s) {
        return textOnScreen(s, {46, 48}, 11) != "Marrowfield";
    };
    ASSERT_TRUE(closed(game.screenshotWhen(closed)));

    // On up the road to the square, until the pool's ring of stones stops the player at
    // (80,46): the view has followed it up, and the box is gone.
    game.pressKeys({"Up"});
    const Image pool = game.screenshotWhen(
        [&](const Image& s) {
            return findGlyph(s, '@', kWhite, {64, 46}, {64, 46}).has_value();
        },
        60s);
    game.releaseKeys({"Up"});
    EXPECT_TRUE(findGlyph(pool, '@', kWhite, {64, 46}, {64, 46}));
    EXPECT_NE(textOnScreen(pool, {46, 48}, 11), "Marrowfield");

    game.sendKeys({"Escape"});
    EXPECT_TRUE(game.waitForLine("Average FPS: "));
    EXPECT_EQ(game.wait(), 0);
    EXPECT_EQ(game.errorOutput(), "");
}

} // namespace
