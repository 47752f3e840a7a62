// Start-up, shutdown and output of the real executable.
#include "Harness.hpp"

#include <gtest/gtest.h>

#include <algorithm>

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
    folder.addFont();
    GameProcess game(xvfb, folder);
    // The status line arrives through the pipe while the game is still running.
    EXPECT_EQ(game.waitForLine("VBOs enabled: "), "VBOs enabled: true");
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
    GameProcess game(xvfb, folder);
    EXPECT_EQ(game.wait(), 1);
    EXPECT_NE(game.errorOutput().find("Error loading texture terminal.png!\n"), std::string::npos)
        << game.errorOutput();
    EXPECT_EQ(count(game.outputLines(), "Average FPS"), 0);
}

TEST(Startup, UnreadableFontIsAnErrorNotACrash) {
    Xvfb xvfb;
    GameFolder folder;
    folder.write("terminal.png", "this is not an image");
    GameProcess game(xvfb, folder);
    EXPECT_EQ(game.wait(), 1);
    EXPECT_NE(game.errorOutput().find("Error loading texture terminal.png!"), std::string::npos)
        << game.errorOutput();
}

TEST(Startup, BrokenConfigurationPrintsOneLineAndTheGameRuns) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addFont();
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
    folder.addFont();
    folder.write("config.txt", "print('hello', 42)\ndisableVBOs = 0\nreturn true\n");
    GameProcess game(xvfb, folder);
    EXPECT_EQ(game.waitForLine("hello"), "hello\t42");
    EXPECT_EQ(game.waitForLine("VBOs enabled: "), "VBOs enabled: false");
    game.sendKeys({"Escape"});
    EXPECT_EQ(game.wait(), 0);
}

TEST(Startup, TheFrameLoopAllocatesNothing) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addFont();
    for (const char* config : {"", "disableVBOs = true\n"}) {
        folder.write("config.txt", config);
        GameProcess probe(xvfb, folder, RunOptions{{}, {"300"}}, CINDRA_FRAME_ALLOC_PROBE);
        EXPECT_EQ(probe.waitForLine("allocations in "), "allocations in 300 frames: 0")
            << probe.errorOutput();
        EXPECT_EQ(probe.wait(), 0);
    }
}

TEST(Startup, TheWindowIsCaptionedAndClosingItEndsTheLoop) {
    Xvfb xvfb;
    GameFolder folder;
    folder.addFont();
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
    folder.addFont();
    GameProcess game(xvfb, folder, RunOptions{{"SDL_AUDIODRIVER=no-such-driver"}, {}});
    EXPECT_EQ(game.wait(), 1);
    EXPECT_NE(game.errorOutput().find("Could not open audio device.\n"), std::string::npos)
        << game.errorOutput();
    // Video came up first and said so; the loop never ran.
    EXPECT_EQ(count(game.outputLines(), "VBOs enabled: "), 1);
    EXPECT_EQ(count(game.outputLines(), "Average FPS"), 0);
}
