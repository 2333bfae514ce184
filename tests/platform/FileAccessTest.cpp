#include "platform/FileAccess.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tavik {
namespace {

// The rule on the stat facts, for any user: the tests may run as root, for whom every file is writable.
TEST(MayWrite, FollowsTheOwnerGroupAndOthersBitsAndLetsRootWrite)
{
    const UserIdentity user{1000, {1000, 24}};
    const struct { const char* Case; FileOwnership File; UserIdentity Who; bool May; } rows[] = {
        {"own file 0644", {0100644, 1000, 1000}, user, true},
        {"own file 0444", {0100444, 1000, 1000}, user, false},
        {"own file 0466: the owner's bit counts, not the others'", {0100466, 1000, 1000}, user, false},
        {"root's file 0644 in the user's folder", {0100644, 0, 0}, user, false},
        {"someone's file 0664 of a group the user is in", {0100664, 1001, 24}, user, true},
        {"someone's file 0644 of a group the user is in", {0100644, 1001, 24}, user, false},
        {"someone's file 0646", {0100646, 1001, 1001}, user, true},
        {"someone's file 0646 whose group bit forbids the user's group", {0100646, 1001, 24}, user, false},
        {"root and someone's 0400 file", {0100400, 1001, 1001}, UserIdentity{0, {0}}, true},
    };
    for (const auto& row : rows) EXPECT_EQ(MayWrite(row.File, row.Who), row.May) << row.Case;
}

// Its name and the one copy: the download's and ApplyTleUpdate's tests.
TEST(KeepBackup, WritesOneCopyBesideTheFileWithItsPermissionBits)
{
    test::TempFolder folder;
    const auto file = folder.Write("kep.txt", "new");
    const std::string backup = file.string() + ".bak";
    ::chmod(file.c_str(), 0600);
    KeepBackup(file.string(), "first");
    EXPECT_EQ(test::ReadBytes(backup), "first");
    EXPECT_EQ(std::filesystem::status(backup).permissions(), std::filesystem::perms(0600));
    ::chmod(backup.c_str(), 0666);
    KeepBackup(file.string(), "second");
    EXPECT_EQ(std::filesystem::status(backup).permissions(), std::filesystem::perms(0600));
}

} // namespace
} // namespace tavik
