#include "platform/AtomicFile.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace tavik {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tavik-atomic-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(folder_, ignored);
    }

    std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }

    static std::string Read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static unsigned ModeOf(const std::string& path)
    {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0);
        return info.st_mode & 0777;
    }

    std::string folder_;
};

// Sets the umask for one test.
class UmaskScope {
public:
    explicit UmaskScope(mode_t mask) : old_(::umask(mask)) {}
    ~UmaskScope() { ::umask(old_); }

private:
    mode_t old_;
};

TEST(JoinCrLfTest, EveryLineEndsWithCrLf)
{
    EXPECT_EQ(JoinCrLf({}), "");
    EXPECT_EQ(JoinCrLf({"a"}), "a\r\n");
    EXPECT_EQ(JoinCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(JoinCrLf({""}), "\r\n");
}

TEST_F(AtomicFileTest, WritesTheBytesExactly)
{
    static const char raw[] = "header\r\n\xB0 deg\r\n\0tail";
    const std::string bytes(raw, sizeof raw - 1);
    WriteFileAtomically(PathOf("out.txt"), bytes);
    EXPECT_EQ(Read(PathOf("out.txt")), bytes);
    EXPECT_EQ(Listing(), std::vector<std::string>{"out.txt"});
}

TEST_F(AtomicFileTest, EmptyContentGivesAnEmptyFile)
{
    WriteFileAtomically(PathOf("empty.txt"), "");
    EXPECT_TRUE(fs::exists(PathOf("empty.txt")));
    EXPECT_EQ(fs::file_size(PathOf("empty.txt")), 0u);
}

TEST_F(AtomicFileTest, OverwriteReplacesTheWholeFile)
{
    WriteFileAtomically(PathOf("out.txt"), "a much longer first content\r\n");
    WriteFileAtomically(PathOf("out.txt"), "short\r\n");
    EXPECT_EQ(Read(PathOf("out.txt")), "short\r\n");
    EXPECT_EQ(Listing(), std::vector<std::string>{"out.txt"});
}

TEST_F(AtomicFileTest, NewFilesGetMode0644LessTheUmask)
{
    struct Case {
        mode_t Umask;
        unsigned Expected;
    };
    for (Case c : {Case{022, 0644}, Case{077, 0600}, Case{002, 0644}}) {
        UmaskScope scope(c.Umask);
        const std::string path = PathOf("new-" + std::to_string(c.Umask));
        WriteFileAtomically(path, "x");
        EXPECT_EQ(ModeOf(path), c.Expected) << "umask " << std::oct << c.Umask;
    }
}

TEST_F(AtomicFileTest, ReplacedFileKeepsItsPermissionBits)
{
    const std::string path = PathOf("kept.txt");
    WriteFileAtomically(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    WriteFileAtomically(path, "new");
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(Read(path), "new");
}

TEST_F(AtomicFileTest, WritesThroughASymbolicLink)
{
    const std::string real = PathOf("real.txt");
    const std::string link = PathOf("link.txt");
    WriteFileAtomically(real, "old");
    fs::create_symlink("real.txt", link);
    WriteFileAtomically(link, "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(real), "new");
    EXPECT_EQ(Listing(), (std::vector<std::string>{"link.txt", "real.txt"}));
}

TEST_F(AtomicFileTest, RelativePathLandsInTheWorkingDirectory)
{
    const fs::path before = fs::current_path();
    fs::current_path(folder_);
    WriteFileAtomically("NOAA 19_passes.txt", "x\r\n");
    fs::current_path(before);
    EXPECT_EQ(Read(PathOf("NOAA 19_passes.txt")), "x\r\n");
}

TEST_F(AtomicFileTest, ShortAndInterruptedWritesAreResumed)
{
    int calls = 0;
    WriteFunction dribble = [&calls](int fd, const void* data, std::size_t size) -> ssize_t {
        if (++calls % 3 == 0) {
            errno = EINTR;
            return -1;
        }
        return ::write(fd, data, std::min<std::size_t>(size, 5));
    };
    const std::string bytes = "twenty-three characters";
    WriteFileAtomically(PathOf("out.txt"), bytes, dribble);
    EXPECT_EQ(Read(PathOf("out.txt")), bytes);
    EXPECT_GT(calls, 5);
}

struct FailingWriteCase {
    const char* Name;
    int Error;          // errno of the failing call; 0: the call writes nothing
    const char* Reason; // expected in the message
};

class FailingWriteTest : public AtomicFileTest, public ::testing::WithParamInterface<FailingWriteCase> {};

TEST_P(FailingWriteTest, LeavesTheOldFileAndNoTemporaryFile)
{
    const FailingWriteCase& c = GetParam();
    const std::string path = PathOf("sat_passes.txt");
    WriteFileAtomically(path, "old content\r\n");

    // The disk takes the first half, then fails.
    int calls = 0;
    WriteFunction fillsUp = [&calls, &c](int fd, const void* data, std::size_t size) -> ssize_t {
        if (++calls == 1) return ::write(fd, data, size / 2);
        if (c.Error == 0) return 0;
        errno = c.Error;
        return -1;
    };
    try {
        WriteFileAtomically(path, std::string(10000, 'n'), fillsUp);
        FAIL() << "no OutputError";
    } catch (const OutputError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(c.Reason), std::string::npos) << message;
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Read(path), "old content\r\n");
    EXPECT_EQ(Listing(), std::vector<std::string>{"sat_passes.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailingWriteTest,
    ::testing::Values(FailingWriteCase{"DiskFull", ENOSPC, std::strerror(ENOSPC)},
                      FailingWriteCase{"IoError", EIO, std::strerror(EIO)},
                      FailingWriteCase{"NoProgress", 0, std::strerror(ENOSPC)}),
    [](const ::testing::TestParamInfo<FailingWriteCase>& info) { return std::string(info.param.Name); });

TEST_F(AtomicFileTest, FailingFirstFileLeavesNothingBehind)
{
    WriteFunction broken = [](int, const void*, std::size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    EXPECT_THROW(WriteFileAtomically(PathOf("new.txt"), "data", broken), OutputError);
    EXPECT_TRUE(Listing().empty());
}

TEST_F(AtomicFileTest, WriteFunctionThatThrowsLeavesNoTemporaryFile)
{
    WriteFunction throws = [](int, const void*, std::size_t) -> ssize_t { throw std::runtime_error("boom"); };
    EXPECT_THROW(WriteFileAtomically(PathOf("new.txt"), "data", throws), std::runtime_error);
    EXPECT_TRUE(Listing().empty());
}

TEST_F(AtomicFileTest, MissingFolderNamesThePathAndTheReason)
{
    const std::string path = PathOf("no-such-folder/out.txt");
    try {
        WriteFileAtomically(path, "x");
        FAIL() << "no OutputError";
    } catch (const OutputError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(std::strerror(ENOENT)), std::string::npos) << message;
    }
    EXPECT_TRUE(Listing().empty());
}

TEST_F(AtomicFileTest, FolderAtTheTargetIsRefusedAndKept)
{
    const std::string path = PathOf("taken");
    fs::create_directory(path);
    std::ofstream(path + "/inside") << "keep";
    try {
        WriteFileAtomically(path, "x");
        FAIL() << "no OutputError";
    } catch (const OutputError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(Read(path + "/inside"), "keep");
    EXPECT_EQ(Listing(), std::vector<std::string>{"taken"});
}

TEST_F(AtomicFileTest, EmptyPathIsAnOutputError)
{
    EXPECT_THROW(WriteFileAtomically("", "x"), OutputError);
}

TEST_F(AtomicFileTest, ReadOnlyFolderNamesThePathAndLeavesNoTemporaryFile)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root may write into a read-only folder";
    const std::string path = PathOf("out.txt");
    WriteFileAtomically(path, "old");
    ASSERT_EQ(::chmod(folder_.c_str(), 0555), 0);
    try {
        WriteFileAtomically(path, "new");
        FAIL() << "no OutputError";
    } catch (const OutputError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(std::strerror(EACCES)), std::string::npos) << message;
    }
    ::chmod(folder_.c_str(), 0755);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Listing(), std::vector<std::string>{"out.txt"});
}

} // namespace
} // namespace tavik
