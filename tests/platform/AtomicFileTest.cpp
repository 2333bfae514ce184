#include "platform/AtomicFile.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <fcntl.h>
#include <functional>
#include <iterator>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
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
    Staging How = Staging::Unnamed;
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
        WriteFileAtomically(path, std::string(10000, 'n'), fillsUp, c.How);
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
                      FailingWriteCase{"NoProgress", 0, std::strerror(ENOSPC)},
                      // A file system without unnamed files (O_TMPFILE).
                      FailingWriteCase{"DiskFullUnderAHiddenName", ENOSPC, std::strerror(ENOSPC), Staging::HiddenName}),
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


TEST_F(AtomicFileTest, HiddenNameOfAKilledWriterIsRemovedByTheNextWrite)
{
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ASSERT_GT(child, 0);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child); // its pid now names no process
    const std::string killed = ".out.txt." + std::to_string(child) + "-aB3dE9.tmp";
    const std::string running = ".out.txt." + std::to_string(::getpid()) + "-aB3dE9.tmp";
    for (const std::string& name : {killed, running, std::string(".out.txt.mine.tmp")})
        std::ofstream(PathOf(name)) << "left";
    WriteFileAtomically(PathOf("out.txt"), "new");
    std::vector<std::string> kept{".out.txt.mine.tmp", running, "out.txt"};
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(Listing(), kept);
}

TEST_F(AtomicFileTest, PipeReaderThatLeavesGivesAnErrorNotADeadProgram)
{
    const std::string pipe = PathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    // The reader goes away after the open; SIGPIPE would end the test program.
    WriteFunction leaves = [&reader](int fd, const void* data, std::size_t size) {
        if (reader >= 0) ::close(reader);
        reader = -1;
        return ::write(fd, data, size);
    };
    try {
        WriteFileAtomically(pipe, "bytes", leaves);
        FAIL() << "no OutputError";
    } catch (const OutputError& e) {
        EXPECT_NE(std::string(e.what()).find(std::strerror(EPIPE)), std::string::npos) << e.what();
    }
    sigset_t pending;
    ASSERT_EQ(::sigpending(&pending), 0);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE)) << "a SIGPIPE is left for later";
}

// What a path names before the write: the path to write, the regular file
// whose bytes must end up new (or stay old on failure), and the read end of
// a pipe that must receive the bytes.
struct Made {
    std::string Path = {};
    std::string Holder = {};
    int Reader = -1;
};

enum class Runs {
    AsTester,
    OnlyAsRoot,  // mknod, chown to another user
    WithoutRoot, // the machine's own device nodes: see WriteWithoutRoot
};

struct TargetCase {
    const char* Name;
    Runs Who;
    std::function<Made(const std::string& folder)> Make;
    const char* Reason; // in the message; nullptr: the write succeeds
};

const std::string OldBytes = "old content\r\n";
const std::string NewBytes = "new content\r\n";

std::string Regular(const std::string& path)
{
    std::ofstream(path, std::ios::binary) << OldBytes;
    return path;
}

// A sticky folder anyone may write to, like /tmp, owned by the given user,
// holding a link to a file outside it that belongs to the given user.
Made LinkInStickyFolder(const std::string& folder, uid_t folderOwner, uid_t linkOwner)
{
    const std::string shared = folder + "/shared";
    fs::create_directory(shared);
    EXPECT_EQ(::chmod(shared.c_str(), 01777), 0);
    EXPECT_EQ(::chown(shared.c_str(), folderOwner, folderOwner), 0);
    const std::string real = Regular(folder + "/real.txt");
    EXPECT_EQ(::symlink(real.c_str(), (shared + "/out.txt").c_str()), 0);
    EXPECT_EQ(::lchown((shared + "/out.txt").c_str(), linkOwner, linkOwner), 0);
    return {shared + "/out.txt", real};
}

constexpr uid_t Other = 4321; // a user other than the one running the tests

struct Snapshot {
    mode_t Mode;
    dev_t Device;
    uid_t Owner;
    gid_t Group;
    nlink_t Links;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const std::string& path, bool follow)
{
    struct stat info {};
    EXPECT_EQ(follow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info), 0) << path;
    return {info.st_mode, info.st_rdev, info.st_uid, info.st_gid, info.st_nlink};
}

// The message of the write (empty when it succeeds), made by a child process
// that has given up root if it had it: a writer that replaced device nodes
// could then not replace the machine's /dev/null, just as a user could not.
// Nothing when root cannot be given up.
constexpr int CannotDropRoot = 77;

std::optional<std::string> WriteWithoutRoot(const std::string& path)
{
    int channel[2];
    if (::pipe(channel) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(CannotDropRoot);
        std::string message;
        try {
            WriteFileAtomically(path, NewBytes);
        } catch (const std::exception& e) {
            message = e.what();
        }
        const bool sent = ::write(channel[1], message.data(), message.size()) == static_cast<ssize_t>(message.size());
        ::_exit(sent ? 0 : 1);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[256];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return "the writing process failed";
    if (WEXITSTATUS(status) == CannotDropRoot) return std::nullopt;
    if (WEXITSTATUS(status) != 0) return "the writing process failed";
    return message;
}

class TargetTest : public AtomicFileTest, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(TargetTest, KeepsWhatThePathNamesAndLeavesNoTemporaryFile)
{
    const TargetCase& c = GetParam();
    if (c.Who == Runs::OnlyAsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "only root may make device nodes and give files away";
    const Made made = c.Make(folder_);
    const std::vector<std::string> before = Listing();
    const Snapshot path = Take(made.Path, false);
    const Snapshot holder = made.Holder.empty() ? path : Take(made.Holder, true);

    std::string message;
    if (c.Who == Runs::WithoutRoot) {
        const std::optional<std::string> written = WriteWithoutRoot(made.Path);
        if (!written) GTEST_SKIP() << "root cannot be given up here, and as root a faulty writer would replace "
                                   << made.Path;
        message = *written;
    } else {
        try {
            WriteFileAtomically(made.Path, NewBytes);
        } catch (const OutputError& e) {
            message = e.what();
        }
    }
    if (c.Reason == nullptr) {
        EXPECT_EQ(message, "");
    } else {
        EXPECT_NE(message.find("cannot write " + made.Path + ": "), std::string::npos) << message;
        EXPECT_NE(message.find(c.Reason), std::string::npos) << message;
    }
    EXPECT_TRUE(Take(made.Path, false) == path) << "the path names something else now";
    if (!made.Holder.empty()) {
        EXPECT_TRUE(Take(made.Holder, true) == holder) << "mode, owner or links of the file changed";
        EXPECT_EQ(Read(made.Holder), c.Reason ? OldBytes : NewBytes);
    }
    if (made.Reader >= 0) {
        char buffer[64] = {};
        const ssize_t n = ::read(made.Reader, buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))), NewBytes);
        ::close(made.Reader);
    }
    EXPECT_EQ(Listing(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TargetTest,
    ::testing::Values(
        TargetCase{"NullDevice", Runs::WithoutRoot, [](const std::string&) { return Made{"/dev/null"}; }, nullptr},
        TargetCase{"FullDeviceSaysTheDiskIsFull", Runs::WithoutRoot, [](const std::string&) { return Made{"/dev/full"}; },
                   std::strerror(ENOSPC)},
        TargetCase{"DeviceNodeMadeWithMknod", Runs::OnlyAsRoot,
                   [](const std::string& folder) {
                       EXPECT_EQ(::mknod((folder + "/null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
                       return Made{folder + "/null"};
                   },
                   nullptr},
        TargetCase{"FullDeviceMadeWithMknod", Runs::OnlyAsRoot,
                   [](const std::string& folder) {
                       EXPECT_EQ(::mknod((folder + "/full").c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
                       return Made{folder + "/full"};
                   },
                   std::strerror(ENOSPC)},
        TargetCase{"PipeWithAReader", Runs::AsTester,
                   [](const std::string& folder) {
                       EXPECT_EQ(::mkfifo((folder + "/pipe").c_str(), 0644), 0);
                       return Made{folder + "/pipe", "", ::open((folder + "/pipe").c_str(), O_RDONLY | O_NONBLOCK)};
                   },
                   nullptr},
        TargetCase{"PipeWithoutAReaderIsRefusedAtOnce", Runs::AsTester,
                   [](const std::string& folder) {
                       EXPECT_EQ(::mkfifo((folder + "/pipe").c_str(), 0644), 0);
                       return Made{folder + "/pipe"};
                   },
                   "no program is reading"},
        TargetCase{"Socket", Runs::AsTester,
                   [](const std::string& folder) {
                       sockaddr_un address{};
                       address.sun_family = AF_UNIX;
                       const std::string path = folder + "/socket";
                       std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
                       const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
                       EXPECT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
                       ::close(s);
                       return Made{path};
                   },
                   "is a socket"},
        TargetCase{"HardLinkedFileStaysOneFile", Runs::AsTester,
                   [](const std::string& folder) {
                       const std::string file = Regular(folder + "/out.txt");
                       EXPECT_EQ(::link(file.c_str(), (folder + "/other-name.txt").c_str()), 0);
                       return Made{file, folder + "/other-name.txt"};
                   },
                   nullptr},
        TargetCase{"Mode0600IsKept", Runs::AsTester,
                   [](const std::string& folder) {
                       const std::string file = Regular(folder + "/out.txt");
                       EXPECT_EQ(::chmod(file.c_str(), 0600), 0);
                       return Made{file, file};
                   },
                   nullptr},
        TargetCase{"OwnerAndGroupAreKept", Runs::OnlyAsRoot,
                   [](const std::string& folder) {
                       const std::string file = Regular(folder + "/out.txt");
                       EXPECT_EQ(::chown(file.c_str(), Other, Other), 0);
                       return Made{file, file};
                   },
                   nullptr},
        TargetCase{"ForeignLinkInAStickyFolderIsRefused", Runs::OnlyAsRoot,
                   [](const std::string& folder) { return LinkInStickyFolder(folder, ::geteuid(), Other); },
                   "is a symbolic link that is not followed"},
        TargetCase{"LinkOfTheStickyFoldersOwnerIsFollowed", Runs::OnlyAsRoot,
                   [](const std::string& folder) { return LinkInStickyFolder(folder, Other, Other); }, nullptr},
        TargetCase{"OwnLinkInAStickyFolderIsFollowed", Runs::AsTester,
                   [](const std::string& folder) { return LinkInStickyFolder(folder, ::geteuid(), ::geteuid()); },
                   nullptr}),
    [](const ::testing::TestParamInfo<TargetCase>& info) { return std::string(info.param.Name); });

} // namespace
} // namespace tavik
