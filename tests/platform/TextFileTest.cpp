#include "platform/TextFile.h"
#include "platform/SettingsLocation.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavik {
namespace {

namespace fs = std::filesystem;
using test::Contains, test::InputErrorMessage, test::EnvScope;

// Every byte value, not in the natural order, past the size of one read.
std::string MixedBytes(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

// Standard input closed, as for a program started without one: the file gets descriptor 0.
TEST(ReadTextFile, ReturnsTheBytesExactlyAndClosesEvenDescriptorZero)
{
    test::TempFolder folder;
    const std::string cases[] = {"", MixedBytes(200'000)};
    const int savedInput = ::dup(0);
    ::close(0);
    // Compared whole but not printed: a failure would show 200 kB.
    for (const auto& bytes : cases)
        EXPECT_TRUE(ReadTextFile(folder.Write("file.txt", bytes).string()) == bytes) << bytes.size() << " bytes";
    const bool leaked = ::fcntl(0, F_GETFD) != -1;
    ::dup2(savedInput, 0);
    ::close(savedInput);
    EXPECT_FALSE(leaked);
}

TEST(ReadTextFile, SizeLimitIsInclusiveAcrossReadsAndNamedInItsUnit)
{
    test::TempFolder folder;
    const std::string ten = folder.Write("ten.txt", "0123456789").string();
    EXPECT_EQ(ReadTextFile(ten, 10), "0123456789");
    const std::string big = folder.Write("big.bin", MixedBytes(2'200'000)).string();
    const std::pair<std::size_t, const char*> limits[] = {
        {9, "9 bytes"}, {1024, "1 KiB"}, {1536, "1536 bytes"}, {1 << 20, "1 MiB"}, {(1 << 20) + 1024, "1025 KiB"},
    };
    for (const auto& [limit, unit] : limits) {
        const std::string message = InputErrorMessage([&] { ReadTextFile(limit == 9 ? ten : big, limit); });
        EXPECT_TRUE(Contains(message, limit == 9 ? ten : big)) << message;
        EXPECT_TRUE(Contains(message, "larger than " + std::string(unit) + ";")) << message;
    }
}

TEST(ReadTextFile, WhatIsNoTextFileIsRefusedNamingThePathWithoutBlocking)
{
    test::TempFolder folder;
    const std::string absent = (folder.Path / "absent.tle").string();
    const std::string pipe = (folder.Path / "pipe.tle").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct { std::string Path, Says; } cases[] = {
        {absent, absent + ": " + std::strerror(ENOENT)},
        {folder.Path.string(), folder.Path.string() + ": is a folder, not a file"},
        {pipe, pipe + ": is a named pipe, not a regular file"},
        {"/dev/zero", "/dev/zero: is a device, not a regular file"},
    };
    for (const auto& c : cases) EXPECT_EQ(InputErrorMessage([&] { ReadTextFile(c.Path); }), c.Says);
    EXPECT_TRUE(Contains(InputErrorMessage([] { ReadTextFile(""); }), "no file name"));
    // A command line reads devices and pipes to their end; its bad-input tests hold the endless one.
    EXPECT_EQ(ReadTextFile("/dev/null", 10, FileKinds::StreamsToo), "");
}

TEST(SettingsLocation, UserPathFollowsAnAbsoluteXdgConfigHomeElseHomeElseNone)
{
    const struct { const char *Xdg, *Home, *Expected; } cases[] = {
        // An absolute folder: the window's tests. A relative one is to be ignored, as the base directory rules say.
        {"relative/config", "/home/u", "/home/u/.config/tavik/tavik.ini"}, {nullptr, "", ""},
    };
    for (const auto& c : cases) {
        EnvScope xdg("XDG_CONFIG_HOME", c.Xdg), home("HOME", c.Home);
        EXPECT_EQ(UserSettingsPath(), c.Expected) << (c.Xdg ? c.Xdg : "-") << " " << (c.Home ? c.Home : "-");
    }
    EnvScope xdg("XDG_CONFIG_HOME", nullptr), home("HOME", nullptr);
    EXPECT_EQ(SettingsCandidates("/opt/tavik"), (std::vector<std::string>{"/opt/tavik/tavik.ini"}));
}

// The program folder's file first, the order the refusal names: the command line's and the window's tests.
TEST(SettingsLocation, AFolderNamedLikeTheFileIsPassedOverForTheUsersFile)
{
    test::TempFolder root;
    EnvScope xdg("XDG_CONFIG_HOME", (root.Path / "config").c_str());
    const fs::path program = root.Path / "program";
    const fs::path user = root.Path / "config/tavik/tavik.ini";
    fs::create_directories(program / "tavik.ini");
    fs::create_directories(user.parent_path());
    EXPECT_EQ(FindSettingsFile(program.string()), std::nullopt);
    std::ofstream(user) << "JO40HC\n";
    EXPECT_EQ(FindSettingsFile(program.string()), user.string());
}

} // namespace
} // namespace tavik
