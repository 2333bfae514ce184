// Reading whole single-byte text files.

#include "platform/TextFile.h"
#include "TestSupport.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace tavik {
namespace {

namespace fs = std::filesystem;

using test::Contains;
using test::InputErrorMessage;
using test::TempFolder;


// Every byte value, in an order that is not the natural one, repeated past
// the size of one read so that joining the pieces is exercised.
std::string MixedBytes(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
    return bytes;
}

TEST(ReadTextFile, ReturnsTheBytesExactly)
{
    TempFolder folder;
    struct Case { const char* Label; std::string Bytes; } cases[] = {
        {"empty", ""},
        {"CR LF, lone CR and LF kept", "JO40HC\r\nline 2\rline 3\nend"},
        {"NUL and a code-page degree sign", std::string("a\0b\xB0" "c\r\n", 7)},
        {"no final line end", "JO40HC"},
        {"several reads long", MixedBytes(200'000)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        std::string path = folder.Write("file.txt", c.Bytes);
        std::string read = ReadTextFile(path);
        EXPECT_EQ(read.size(), c.Bytes.size());
        EXPECT_TRUE(read == c.Bytes);
    }
}

TEST(ReadTextFile, SizeLimitIsInclusive)
{
    TempFolder folder;
    std::string path = folder.Write("ten.txt", "0123456789");
    EXPECT_EQ(ReadTextFile(path, 10), "0123456789");
    EXPECT_EQ(ReadTextFile(path, 11), "0123456789");
    std::string message = InputErrorMessage([&] { ReadTextFile(path, 9); });
    EXPECT_TRUE(Contains(message, path)) << message;
}

TEST(ReadTextFile, LimitAppliesAcrossSeveralReads)
{
    TempFolder folder;
    std::string path = folder.Write("big.bin", MixedBytes(200'000));
    std::string message = InputErrorMessage([&] { ReadTextFile(path, 150'000); });
    EXPECT_TRUE(Contains(message, path)) << message;
}

TEST(ReadTextFile, MissingFileOrFolderIsRefusedNamingThePath)
{
    TempFolder folder;
    const std::string absent = (folder.Path / "absent.tle").string();
    const std::string pipe = (folder.Path / "pipe.tle").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const struct {
        std::string Path, Says;
    } cases[] = {
        {absent, absent + ": " + std::strerror(ENOENT)},
        {(folder.Path / "no-folder" / "absent.tle").string(),
         (folder.Path / "no-folder" / "absent.tle").string() + ": " + std::strerror(ENOENT)},
        {folder.Path.string(), folder.Path.string() + ": is a folder, not a file"},
        // Neither opened so that it blocks nor read.
        {pipe, pipe + ": is a named pipe, not a regular file"},
        {"/dev/zero", "/dev/zero: is a device, not a regular file"},
        // A blank that ends a name cannot be seen unless the name is quoted.
        {absent + " ", "\"" + absent + " \": " + std::strerror(ENOENT) + " (the name ends with a blank)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(InputErrorMessage([&] { ReadTextFile(c.Path); }), c.Says);
    }
    EXPECT_THROW(ReadTextFile(""), InputError);
    // A command line reads devices and pipes to their end.
    EXPECT_EQ(ReadTextFile("/dev/null", 10, FileKinds::StreamsToo), "");
    EXPECT_EQ(InputErrorMessage([&] { ReadTextFile("/dev/zero", 100'000, FileKinds::StreamsToo); }),
              "/dev/zero: is larger than 100000 bytes; not a text file tavik can use");
}

} // namespace
} // namespace tavik
