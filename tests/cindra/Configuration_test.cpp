#include "cindra/Configuration.hpp"

#include "support/StdoutCapture.hpp"
#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <utility>

using cindra::test::capturedStdout;

namespace {

// A config file in a fresh temporary folder, removed afterwards.
class ConfigFile : public ::testing::Test {
protected:
    // The configuration read from text, and what reading it printed.
    std::pair<std::unique_ptr<cindra::Configuration>, std::string> load(const std::string& text) {
        std::ofstream(path_) << text;
        std::unique_ptr<cindra::Configuration> config;
        std::string out =
            capturedStdout([&] { config = std::make_unique<cindra::Configuration>(path_); });
        return {std::move(config), std::move(out)};
    }

    cindra::test::TempDir folder_{"cindra-config"};
    std::string path_ = folder_.file("config.txt");
};

} // namespace

TEST_F(ConfigFile, MissingFileGivesDefaultsSilently) {
    cindra::test::StdoutCapture capture;
    const cindra::Configuration config(folder_.file("absent.txt"));
    EXPECT_EQ(capture.text(), "");
    EXPECT_FALSE(config.getBool("fullscreen", false));
    EXPECT_TRUE(config.getBool("fullscreen", true));
}

TEST_F(ConfigFile, ReadsValuesWithLuaTruthRules) {
    const auto [config, out] =
        load("fullscreen = 0\ndisableVBOs = ''\nzero = false\nnothing = nil\ntable = {}\n");
    EXPECT_EQ(out, "");
    EXPECT_TRUE(config->getBool("fullscreen", false));
    EXPECT_TRUE(config->getBool("disableVBOs", false));
    EXPECT_FALSE(config->getBool("zero", true));
    EXPECT_TRUE(config->getBool("nothing", true));
    EXPECT_FALSE(config->getBool("nothing", false));
    EXPECT_TRUE(config->getBool("table", false));
    EXPECT_FALSE(config->getBool("undefined", false));
}

TEST_F(ConfigFile, SyntaxErrorPrintsOneLineAndKeepsDefaults) {
    const auto [config, out] = load("fullscreen = true\nthis is not lua\n");
    EXPECT_EQ(out.rfind("Error loading configuration: ", 0), 0u) << out;
    EXPECT_NE(out.find("config.txt"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_FALSE(config->getBool("fullscreen", false));
}

TEST_F(ConfigFile, RunTimeErrorKeepsEarlierGlobals) {
    const auto [config, out] = load("fullscreen = true\nerror('broken')\ndisableVBOs = true\n");
    EXPECT_NE(out.find("Error loading configuration: "), std::string::npos);
    EXPECT_NE(out.find("broken"), std::string::npos);
    EXPECT_TRUE(config->getBool("fullscreen", false));
    EXPECT_FALSE(config->getBool("disableVBOs", false));
}

TEST_F(ConfigFile, AcceptsReturnAndOffersOnlyTheBaseLibrary) {
    const auto [config, out] =
        load("print('x', 1, nil, true)\nhasString = string ~= nil\nhasOs = os ~= nil\n"
             "hasIo = io ~= nil\nhasMath = math ~= nil\nreturn 1, 2\n");
    EXPECT_EQ(out, "x\t1\tnil\ttrue\n");
    EXPECT_FALSE(config->getBool("hasString", true));
    EXPECT_FALSE(config->getBool("hasOs", true));
    EXPECT_FALSE(config->getBool("hasIo", true));
    EXPECT_FALSE(config->getBool("hasMath", true));
}

TEST_F(ConfigFile, MetamethodErrorsWhileReadingGiveTheDefault) {
    const auto config =
        load("setmetatable(_G, {__index = function(t, k) error('no global ' .. k) end})\n").first;
    const std::string out = capturedStdout([&] {
        EXPECT_TRUE(config->getBool("fullscreen", true));
        EXPECT_FALSE(config->getBool("fullscreen", false));
    });
    EXPECT_NE(out.find("Error loading configuration: "), std::string::npos) << out;
    EXPECT_NE(out.find("no global fullscreen"), std::string::npos) << out;
}

TEST_F(ConfigFile, AChunkThatNeverEndsIsStopped) {
    const auto [config, out] = load("fullscreen = true\nwhile true do end\n");
    EXPECT_NE(out.find("Error loading configuration: "), std::string::npos) << out;
    EXPECT_NE(out.find("runs too long"), std::string::npos) << out;
    EXPECT_TRUE(config->getBool("fullscreen", false));
}

TEST_F(ConfigFile, HostileChunksEndWithAnErrorAndKeepEarlierGlobals) {
    struct Case {
        const char* text;
        const char* error; // in the one printed line
        bool fullscreen;   // set before the error
    };
    const Case cases[] = {
        // Memory is bounded: a string or a table that grows for ever runs out of it.
        {"fullscreen = true\nlocal s = 'x'\nwhile true do s = s .. s end\n", "not enough memory",
         true},
        {"fullscreen = true\nlocal t = {}\nfor i = 1, 1e9 do t[i] = i end\n", "not enough memory",
         true},
        // Time is bounded, not only instructions: a C call in every loop (the fuzzer's find),
        // and joins of megabytes.
        {"fullscreen = true\nfor i = 1, 1e10 do x = tostring(i) end\n", "runs too long", true},
        {"fullscreen = true\nlocal s = 'x'\nfor i = 1, 23 do s = s .. s end\n"
         "while true do local y = s .. 'a' end\n",
         "runs too long", true},
        // Precompiled chunks, which Lua 5.1 runs unverified, are refused as the file and as
        // what the chunk loads.
        {"\x1bLua\x51\x00\x01\x04\x08\x04\x08\x00", "precompiled chunks are not accepted", false},
        {"#!first line\n\x1bLua\x51", "config.txt:2: unexpected symbol", false},
        {"fullscreen = true\nassert(loadstring('\\27Lua\\81'))\n",
         "precompiled chunks are not accepted", true},
        {"fullscreen = true\nload(function() return nil end)\n", "attempt to call global 'load'",
         true},
        {"fullscreen = true\ndofile('config.txt')\n", "attempt to call global 'dofile'", true},
        // A first line starting with '#' is skipped but still counted.
        {"#!first line\nfullscreen = true\nerror('third')\n", "config.txt:3: third", true},
    };
    for (const Case& c : cases) {
        const auto [config, out] = load(c.text);
        EXPECT_NE(out.find(std::string("Error loading configuration: ")), std::string::npos)
            << c.text;
        EXPECT_NE(out.find(c.error), std::string::npos) << c.text << "\n" << out;
        EXPECT_EQ(config->getBool("fullscreen", false), c.fullscreen) << c.text;
    }
    // loadstring still compiles source text.
    const auto [config, out] = load("fullscreen = loadstring('return 7')() == 7\n");
    EXPECT_EQ(out, "");
    EXPECT_TRUE(config->getBool("fullscreen", false));
}

// Texts are settings too; any other value, or one too long, is reported and gives the default.
TEST_F(ConfigFile, TextsAreReadAndOtherValuesReported) {
    // Only the base library is offered: the 4096-byte text is doubled up from one byte.
    const auto [loadedConfig, loaded] =
        load("start = 'cave.cmap'\nempty = ''\nnumber = 5\nlist = {}\n"
             "longest = 'x'\nfor i = 1, 12 do longest = longest .. longest end\n"
             "long = longest .. 'x'\n");
    ASSERT_EQ(loaded, "");
    const cindra::Configuration* config = loadedConfig.get(); // clang 14 captures no bindings
    const struct {
        const char* key;
        std::string value;
        std::string printed;
    } cases[] = {
        {"start", "cave.cmap", ""},
        {"empty", "", ""},
        {"undefined", "default", ""},
        {"number", "default",
         "Error loading configuration: number must be a text in quotes, not a number\n"},
        {"list", "default",
         "Error loading configuration: list must be a text in quotes, not a table\n"},
        {"long", "default", "Error loading configuration: long is longer than 4096 bytes\n"},
        {"longest", std::string(4096, 'x'), ""},
    };
    for (const auto& c : cases) {
        std::string value;
        const std::string printed =
            capturedStdout([&] { value = config->getText(c.key, "default"); });
        EXPECT_EQ(value, c.value) << c.key;
        EXPECT_EQ(printed, c.printed) << c.key;
    }
}
