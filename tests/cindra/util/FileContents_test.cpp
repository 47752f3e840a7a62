#include "cindra/util/FileContents.hpp"

#include "cindra/Error.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using cindra::Error;
using cindra::util::readFile;
using cindra::util::replaceFile;

namespace {

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "cindra-files-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::size_t entryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), {}));
    }

private:
    fs::path path_;
};

} // namespace

TEST(FileContents, WritesAndReplacesWholeFiles) {
    TempDir dir;
    const std::string path = dir.file("a.cmap");
    replaceFile(path, std::string("first\0bytes", 11));
    EXPECT_EQ(readFile(path), std::string("first\0bytes", 11));
    replaceFile(path, "");
    EXPECT_EQ(readFile(path), "");
    EXPECT_EQ(dir.entryCount(), 1u);
}

TEST(FileContents, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    TempDir dir;
    // The target is a non-empty folder: the rename over it fails after the data was written.
    const std::string target = dir.file("busy");
    fs::create_directory(target);
    replaceFile(target + "/inside", "old");
    EXPECT_THROW(replaceFile(target, "new"), Error);
    EXPECT_EQ(readFile(target + "/inside"), "old");
    EXPECT_EQ(dir.entryCount(), 1u);

    try {
        replaceFile(dir.file("missing/x.cmap"), "data");
        FAIL() << "expected an error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot write " + dir.file("missing/x.cmap")),
                  std::string::npos);
    }
}

TEST(FileContents, ReadingMissingFilesAndFoldersFails) {
    TempDir dir;
    EXPECT_THROW(readFile(dir.file("nothing")), Error);
    try {
        readFile(dir.file(""));
        FAIL() << "expected an error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Is a directory"), std::string::npos);
    }
}
