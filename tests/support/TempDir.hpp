// A fresh folder for one test, so tests that write files never meet each other's files, even
// when CTest runs them side by side.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace cindra::test {

// Made under the system's temporary folder with a unique name starting with prefix; removed
// with everything in it when destroyed.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "cindra-test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path of name inside the folder, as a string for the file APIs under test.
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    // The names directly inside, sorted: what a test sees was left behind.
    std::vector<std::string> entries() const;

private:
    std::filesystem::path path_;
};

} // namespace cindra::test
