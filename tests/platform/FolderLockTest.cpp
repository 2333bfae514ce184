#include "platform/FolderLock.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace tavik {
namespace {

std::string RefusalOf(const std::string& folder)
{
    try {
        FolderLock lock(folder);
    } catch (const OutputError& e) {
        return e.what();
    }
    return {};
}

TEST(FolderLock, MakesTheFolderAndRefusesASecondHolderUntilTheFirstIsGone)
{
    test::TempFolder root;
    const std::string folder = (root.Path / "out" / "run").string();
    auto first = std::make_unique<FolderLock>(folder);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_NE(RefusalOf(folder), ""); // its words: the command line's AllIntoAFolderAnotherRunHolds
    first.reset();
    EXPECT_EQ(RefusalOf(folder), "");
    EXPECT_TRUE(std::filesystem::is_empty(folder)); // no lock file left behind
}

TEST(FolderLock, FileInTheWayIsNamed)
{
    test::TempFolder root;
    const std::string file = root.Write("taken", "x").string();
    EXPECT_EQ(RefusalOf(file), "cannot create the folder " + file + ": " + std::strerror(ENOTDIR));
}

} // namespace
} // namespace tavik
