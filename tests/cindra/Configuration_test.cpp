#include "cindra/Configuration.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

// A config file in a fresh temporary folder, removed afterwards.
class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            std::filesystem::temp_directory_path() /
            ("cindra-config-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / "config.txt").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    void write(const std::string& text) { std::ofstream(path_) << text; }

    std::string load(const std::string& text, cindra::Configuration*& out) {
        write(text);
        ::testing::internal::CaptureStdout();
        out = new cindra::Configuration(path_);
        return ::testing::internal::GetCapturedStdout();
    }

    std::filesystem::path folder_;
    std::string path_;
};

} // namespace

TEST_F(ConfigFile, MissingFileGivesDefaultsSilently) {
    ::testing::internal::CaptureStdout();
    cindra::Configuration config((folder_ / "absent.txt").string());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(config.getBool("fullscreen", false));
    EXPECT_TRUE(config.getBool("fullscreen", true));
}

TEST_F(ConfigFile, ReadsValuesWithLuaTruthRules) {
    cindra::Configuration* raw = nullptr;
    EXPECT_EQ(load("fullscreen = 0\ndisableVBOs = ''\nzero = false\nnothing = nil\n"
                   "table = {}\n",
                   raw),
              "");
    std::unique_ptr<cindra::Configuration> config(raw);
    EXPECT_TRUE(config->getBool("fullscreen", false));
    EXPECT_TRUE(config->getBool("disableVBOs", false));
    EXPECT_FALSE(config->getBool("zero", true));
    EXPECT_TRUE(config->getBool("nothing", true));
    EXPECT_FALSE(config->getBool("nothing", false));
    EXPECT_TRUE(config->getBool("table", false));
    EXPECT_FALSE(config->getBool("undefined", false));
}

TEST_F(ConfigFile, SyntaxErrorPrintsOneLineAndKeepsDefaults) {
    cindra::Configuration* raw = nullptr;
    const std::string out = load("fullscreen = true\nthis is not lua\n", raw);
    std::unique_ptr<cindra::Configuration> config(raw);
    EXPECT_EQ(out.rfind("Error loading configuration: ", 0), 0u) << out;
    EXPECT_NE(out.find("config.txt"), std::string::npos);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1);
    EXPECT_FALSE(config->getBool("fullscreen", false));
}

TEST_F(ConfigFile, RunTimeErrorKeepsEarlierGlobals) {
    cindra::Configuration* raw = nullptr;
    const std::string out = load("fullscreen = true\nerror('broken')\ndisableVBOs = true\n", raw);
    std::unique_ptr<cindra::Configuration> config(raw);
    EXPECT_NE(out.find("Error loading configuration: "), std::string::npos);
    EXPECT_NE(out.find("broken"), std::string::npos);
    EXPECT_TRUE(config->getBool("fullscreen", false));
    EXPECT_FALSE(config->getBool("disableVBOs", false));
}

TEST_F(ConfigFile, AcceptsReturnAndOffersOnlyTheBaseLibrary) {
    cindra::Configuration* raw = nullptr;
    const std::string out =
        load("print('x', 1, nil, true)\nhasString = string ~= nil\nhasOs = os ~= nil\n"
             "hasIo = io ~= nil\nhasMath = math ~= nil\nreturn 1, 2\n",
             raw);
    std::unique_ptr<cindra::Configuration> config(raw);
    EXPECT_EQ(out, "x\t1\tnil\ttrue\n");
    EXPECT_FALSE(config->getBool("hasString", true));
    EXPECT_FALSE(config->getBool("hasOs", true));
    EXPECT_FALSE(config->getBool("hasIo", true));
    EXPECT_FALSE(config->getBool("hasMath", true));
}

TEST_F(ConfigFile, MetamethodErrorsWhileReadingGiveTheDefault) {
    cindra::Configuration* raw = nullptr;
    load("setmetatable(_G, {__index = function(t, k) error('no global ' .. k) end})\n", raw);
    std::unique_ptr<cindra::Configuration> config(raw);
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(config->getBool("fullscreen", true));
    EXPECT_FALSE(config->getBool("fullscreen", false));
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Error loading configuration: "), std::string::npos) << out;
    EXPECT_NE(out.find("no global fullscreen"), std::string::npos) << out;
}

TEST_F(ConfigFile, AChunkThatNeverEndsIsStopped) {
    cindra::Configuration* raw = nullptr;
    const std::string out = load("fullscreen = true\nwhile true do end\n", raw);
    std::unique_ptr<cindra::Configuration> config(raw);
    EXPECT_NE(out.find("Error loading configuration: "), std::string::npos) << out;
    EXPECT_NE(out.find("runs too long"), std::string::npos) << out;
    EXPECT_TRUE(config->getBool("fullscreen", false));
}
