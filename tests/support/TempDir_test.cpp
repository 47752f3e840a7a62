#include "support/TempDir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;
using cindra::test::TempDir;

TEST(TempDir, IsFreshForEachInstanceAndGoesWithItsContents) {
    fs::path left;
    {
        const TempDir a("cindra-tempdir");
        const TempDir b("cindra-tempdir");
        EXPECT_NE(a.path(), b.path());
        EXPECT_EQ(a.path().parent_path(), fs::temp_directory_path());
        EXPECT_EQ(a.path().filename().string().rfind("cindra-tempdir-", 0), 0u);
        ASSERT_TRUE(fs::is_directory(a.path()));
        EXPECT_TRUE(a.entries().empty());
        fs::create_directories(a.path() / "sub" / "deeper");
        std::ofstream(a.file("sub/deeper/file.txt")) << "text";
        std::ofstream(a.file("b.txt")) << "text";
        EXPECT_EQ(a.entries(), (std::vector<std::string>{"b.txt", "sub"}));
        EXPECT_TRUE(b.entries().empty());
        left = a.path();
    }
    EXPECT_FALSE(fs::exists(left));
}

TEST(TempDir, ReportsAFolderItCannotMake) {
    EXPECT_THROW(TempDir("no-such-folder/cindra"), std::system_error);
}
