#include "cindra/util/FileContents.hpp"

#include "cindra/Error.hpp"

#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using cindra::Error;
using cindra::test::TempDir;
using cindra::util::readFile;
using cindra::util::replaceFile;

TEST(FileContents, WritesAndReplacesWholeFiles) {
    TempDir dir("cindra-files");
    const std::string path = dir.file("a.cmap");
    replaceFile(path, std::string("first\0bytes", 11));
    EXPECT_EQ(readFile(path), std::string("first\0bytes", 11));
    replaceFile(path, "");
    EXPECT_EQ(readFile(path), "");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.cmap"});
}

TEST(FileContents, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    TempDir dir("cindra-files");
    // The target is a non-empty folder: the rename over it fails after the data was written.
    const std::string target = dir.file("busy");
    fs::create_directory(target);
    replaceFile(target + "/inside", "old");
    EXPECT_THROW(replaceFile(target, "new"), Error);
    EXPECT_EQ(readFile(target + "/inside"), "old");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"busy"});

    try {
        replaceFile(dir.file("missing/x.cmap"), "data");
        FAIL() << "expected an error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot write " + dir.file("missing/x.cmap")),
                  std::string::npos);
    }
}

TEST(FileContents, ReadingMissingFilesAndFoldersFails) {
    TempDir dir("cindra-files");
    EXPECT_THROW(readFile(dir.file("nothing")), Error);
    try {
        readFile(dir.file(""));
        FAIL() << "expected an error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Is a directory"), std::string::npos);
    }
}
