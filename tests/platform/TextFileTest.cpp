// Reading whole single-byte text files.

#include "platform/TextFile.h"
#include "TestSupport.h"
#include "platform/Error.h"

#include <gtest/gtest.h>

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
    const std::string paths[] = {
        (folder.Path / "absent.tle").string(),
        (folder.Path / "no-folder" / "absent.tle").string(),
        folder.Path.string(), // a folder, not a file
    };
    for (const auto& path : paths) {
        SCOPED_TRACE(path);
        std::string message = InputErrorMessage([&] { ReadTextFile(path); });
        EXPECT_TRUE(Contains(message, path)) << message;
    }
    EXPECT_THROW(ReadTextFile(""), InputError);
}

} // namespace
} // namespace tavik
