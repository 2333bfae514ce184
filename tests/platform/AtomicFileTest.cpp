#include "platform/AtomicFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tavik {
namespace {

namespace fs = std::filesystem;
using test::Contains;

const std::string OldBytes = "old content\r\n", NewBytes = "new content\r\n";

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(entry.path().lexically_relative(folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Snapshot {
    mode_t Mode;
    dev_t Device;
    uid_t Owner;
    gid_t Group;
    nlink_t Links;
    bool operator==(const Snapshot&) const = default;
};

std::optional<Snapshot> Take(const std::string& path, bool follow)
{
    struct stat info {};
    if ((follow ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info)) != 0) return std::nullopt;
    return Snapshot{info.st_mode, info.st_rdev, info.st_uid, info.st_gid, info.st_nlink};
}

TEST(WriteFileAtomically, NewFileGetsTheBytesAndMode0644LessTheUmask)
{
    test::TempFolder folder;
    static const char raw[] = "header\r\n\xB0 deg\r\n\0tail";
    const std::string bytes(raw, sizeof raw - 1);
    const fs::path before = fs::current_path();
    fs::current_path(folder.Path); // a name without a folder lands in the working directory
    for (const mode_t mask : {022, 077}) {
        const mode_t old = ::umask(mask);
        const std::string name = "NOAA 19_" + std::to_string(mask) + ".txt";
        WriteFileAtomically(name, "a much longer first content");
        WriteFileAtomically(name, bytes);
        ::umask(old);
        EXPECT_EQ(Read(folder.Path / name), bytes);
        EXPECT_EQ(fs::status(folder.Path / name).permissions(), mask == 022 ? fs::perms(0644) : fs::perms(0600));
    }
    fs::current_path(before);
    EXPECT_EQ(Listing(folder.Path), (std::vector<std::string>{"NOAA 19_18.txt", "NOAA 19_63.txt"}));
    EXPECT_EQ(JoinCrLf({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

// What a path names before the write: the path to write, the regular file
// whose bytes must end up new (or stay old on failure), the read end of a
// pipe that must receive the bytes, the write to use, and the names the
// write must remove.
struct Made {
    std::string Path, Holder = {};
    int Reader = -1;
    WriteFunction Write = {};
    std::vector<std::string> Gone = {};
};

enum class Runs { AsAnyone, OnlyAsRoot, NotAsRoot };

struct TargetCase {
    const char* Name;
    Runs Who;
    std::function<Made(const std::string& folder)> Make;
    const char* Reason; // what the message says; nullptr: the write succeeds
    Staging How = Staging::Unnamed;
};

std::string Regular(const std::string& path)
{
    std::ofstream(path, std::ios::binary) << OldBytes;
    return path;
}

// The disk takes the first half of the bytes and then fails with the error;
// with 0 it takes nothing more.
WriteFunction FillsUpHalfWay(int error)
{
    return [calls = std::make_shared<int>(0), error](int fd, const void* data, std::size_t size) -> ssize_t {
        if (++*calls == 1) return ::write(fd, data, size / 2);
        errno = error;
        return error == 0 ? 0 : -1;
    };
}

// A device node made in the folder where root may make one; otherwise the
// machine's own, which a user cannot replace even with a faulty writer.
Made Device(const std::string& folder, const char* name, unsigned minor)
{
    if (::geteuid() != 0) return {std::string("/dev/") + name};
    EXPECT_EQ(::mknod((folder + "/" + name).c_str(), S_IFCHR | 0666, makedev(1, minor)), 0);
    return {folder + "/" + name};
}

Made Pipe(const std::string& folder, bool reader)
{
    EXPECT_EQ(::mkfifo((folder + "/pipe").c_str(), 0644), 0);
    return {folder + "/pipe", "", reader ? ::open((folder + "/pipe").c_str(), O_RDONLY | O_NONBLOCK) : -1};
}

// A sticky folder anyone may write to, like /tmp, owned by the given user,
// holding a link to a file outside it that belongs to the given user.
Made LinkInStickyFolder(const std::string& folder, uid_t folderOwner, uid_t linkOwner)
{
    const std::string shared = folder + "/shared", link = shared + "/out.txt";
    fs::create_directory(shared);
    EXPECT_EQ(::chmod(shared.c_str(), 01777), 0);
    EXPECT_EQ(::chown(shared.c_str(), folderOwner, folderOwner), 0);
    EXPECT_EQ(::symlink(Regular(folder + "/real.txt").c_str(), link.c_str()), 0);
    EXPECT_EQ(::lchown(link.c_str(), linkOwner, linkOwner), 0);
    return {link, folder + "/real.txt"};
}

constexpr uid_t Other = 4321; // a user other than the one running the tests

// A killed writer leaves its hidden name behind; the next write of the same
// output removes those whose writer is gone or that are an hour old, and no
// other names.
Made HiddenNamesLeftBehind(const std::string& folder)
{
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    EXPECT_EQ(::waitpid(child, nullptr, 0), child); // its pid now names no process
    const std::string killed = ".out.txt." + std::to_string(child) + "-aB3dE9.tmp";
    const std::string running = ".out.txt." + std::to_string(::getpid()) + "-aB3dE9.tmp";
    const std::string old = ".out.txt." + std::to_string(::getpid()) + "-zzzzzz.tmp";
    for (const std::string& name : {killed, running, old, std::string(".out.txt.mine.tmp"),
                                    std::string(".out.txt.ABCD1234.tmp"), std::string(".other.txt.1-aB3dE9.tmp")})
        Regular(folder + "/" + name);
    fs::last_write_time(folder + "/" + old, fs::file_time_type::clock::now() - std::chrono::hours(2));
    return {Regular(folder + "/out.txt"), folder + "/out.txt", -1, {}, {killed, old}};
}

void PrintTo(const TargetCase& c, std::ostream* out) { *out << c.Name; }

class WriteTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(WriteTarget, KeepsWhatThePathNamesAndLeavesNoTemporaryFile)
{
    const TargetCase& c = GetParam();
    if (c.Who == Runs::OnlyAsRoot && ::geteuid() != 0) GTEST_SKIP() << "only root may make device nodes and give files away";
    if (c.Who == Runs::NotAsRoot && ::geteuid() == 0) GTEST_SKIP() << "root may write into a read-only folder";
    test::TempFolder folder;
    const Made made = c.Make(folder.Path.string());
    std::vector<std::string> listing = Listing(folder.Path);
    for (const std::string& gone : made.Gone) std::erase(listing, gone);
    const auto path = Take(made.Path, false), holder = Take(made.Holder, true);

    // Standard input closed, as for a program started without one: the
    // writer's first descriptor is then 0, which is as open as any other.
    const int input = ::dup(0);
    ::close(0);
    std::string message;
    try {
        const auto plain = [](int fd, const void* data, std::size_t size) { return ::write(fd, data, size); };
        WriteFileAtomically(made.Path, NewBytes, made.Write ? made.Write : plain, c.How);
    } catch (const OutputError& e) {
        message = e.what();
    }
    const bool leaked = ::fcntl(0, F_GETFD) != -1;
    ::dup2(input, 0);
    ::close(input);
    fs::permissions(folder.Path, fs::perms::owner_all, fs::perm_options::add);

    EXPECT_FALSE(leaked) << "a descriptor was left open";
    // The reason, or the reason and a colon before what explains it.
    const std::string said = c.Reason ? "cannot write " + made.Path + ": " + c.Reason : "";
    EXPECT_TRUE(message == said || (c.Reason && message.rfind(said + ": ", 0) == 0)) << message;
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
    sigset_t pending;
    ASSERT_EQ(::sigpending(&pending), 0);
    EXPECT_FALSE(sigismember(&pending, SIGPIPE)) << "a SIGPIPE is left for later";
    EXPECT_EQ(Listing(folder.Path), listing);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriteTarget,
    ::testing::Values(
        TargetCase{"NullDevice", Runs::AsAnyone, [](const std::string& f) { return Device(f, "null", 3); }, nullptr},
        TargetCase{"FullDeviceSaysTheDiskIsFull", Runs::AsAnyone, [](const std::string& f) { return Device(f, "full", 7); },
                   std::strerror(ENOSPC)},
        TargetCase{"PipeWithAReader", Runs::AsAnyone, [](const std::string& f) { return Pipe(f, true); }, nullptr},
        TargetCase{"PipeWithoutAReaderIsRefusedAtOnce", Runs::AsAnyone, [](const std::string& f) { return Pipe(f, false); },
                   "is a pipe that no program is reading"},
        // SIGPIPE would end the program.
        TargetCase{"PipeReaderThatLeavesGivesAnErrorNotADeadProgram", Runs::AsAnyone,
                   [](const std::string& f) {
                       Made made = Pipe(f, true);
                       made.Write = [reader = std::make_shared<int>(made.Reader)](int fd, const void* data, std::size_t size) {
                           if (*reader >= 0) ::close(*reader);
                           *reader = -1;
                           return ::write(fd, data, size);
                       };
                       made.Reader = -1;
                       return made;
                   },
                   std::strerror(EPIPE)},
        TargetCase{"Socket", Runs::AsAnyone,
                   [](const std::string& f) {
                       sockaddr_un address{};
                       address.sun_family = AF_UNIX;
                       std::strncpy(address.sun_path, (f + "/socket").c_str(), sizeof address.sun_path - 1);
                       const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
                       EXPECT_EQ(::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
                       ::close(s);
                       return Made{f + "/socket"};
                   },
                   "is a socket, not a file"},
        TargetCase{"FolderIsRefusedAndKept", Runs::AsAnyone,
                   [](const std::string& f) {
                       fs::create_directory(f + "/taken");
                       return Made{f + "/taken", Regular(f + "/taken/inside")};
                   },
                   "is a folder, not a file"},
        TargetCase{"MissingFolderIsNamed", Runs::AsAnyone, [](const std::string& f) { return Made{f + "/no/out.txt"}; },
                   std::strerror(ENOENT)},
        TargetCase{"ReadOnlyFolderKeepsTheOldFile", Runs::NotAsRoot,
                   [](const std::string& f) {
                       Made made{Regular(f + "/out.txt"), f + "/out.txt"};
                       EXPECT_EQ(::chmod(f.c_str(), 0555), 0);
                       return made;
                   },
                   std::strerror(EACCES)},
        TargetCase{"HardLinkedFileStaysOneFile", Runs::AsAnyone,
                   [](const std::string& f) {
                       EXPECT_EQ(::link(Regular(f + "/out.txt").c_str(), (f + "/other-name.txt").c_str()), 0);
                       return Made{f + "/out.txt", f + "/other-name.txt"};
                   },
                   nullptr},
        TargetCase{"HardLinkedFileOnAFullDiskKeepsItsContent", Runs::AsAnyone,
                   [](const std::string& f) {
                       EXPECT_EQ(::link(Regular(f + "/out.txt").c_str(), (f + "/other-name.txt").c_str()), 0);
                       return Made{f + "/out.txt", f + "/other-name.txt", -1, [](int, const void*, std::size_t) -> ssize_t {
                                       errno = ENOSPC;
                                       return -1;
                                   }};
                   },
                   std::strerror(ENOSPC)},
        TargetCase{"Mode0600IsKept", Runs::AsAnyone,
                   [](const std::string& f) {
                       EXPECT_EQ(::chmod(Regular(f + "/out.txt").c_str(), 0600), 0);
                       return Made{f + "/out.txt", f + "/out.txt"};
                   },
                   nullptr},
        TargetCase{"OwnerAndGroupAreKept", Runs::OnlyAsRoot,
                   [](const std::string& f) {
                       EXPECT_EQ(::chown(Regular(f + "/out.txt").c_str(), Other, Other), 0);
                       return Made{f + "/out.txt", f + "/out.txt"};
                   },
                   nullptr},
        TargetCase{"ForeignLinkInAStickyFolderIsRefused", Runs::OnlyAsRoot,
                   [](const std::string& f) { return LinkInStickyFolder(f, ::geteuid(), Other); },
                   "is a symbolic link that is not followed"},
        TargetCase{"LinkOfTheStickyFoldersOwnerIsFollowed", Runs::OnlyAsRoot,
                   [](const std::string& f) { return LinkInStickyFolder(f, Other, Other); }, nullptr},
        TargetCase{"OwnLinkInAStickyFolderIsFollowed", Runs::AsAnyone,
                   [](const std::string& f) { return LinkInStickyFolder(f, ::geteuid(), ::geteuid()); }, nullptr},
        TargetCase{"DiskFullHalfWayKeepsTheOldFile", Runs::AsAnyone,
                   [](const std::string& f) { return Made{Regular(f + "/out.txt"), f + "/out.txt", -1, FillsUpHalfWay(ENOSPC)}; },
                   std::strerror(ENOSPC)},
        TargetCase{"IoErrorHalfWayIsReportedAsSuch", Runs::AsAnyone,
                   [](const std::string& f) { return Made{Regular(f + "/out.txt"), f + "/out.txt", -1, FillsUpHalfWay(EIO)}; },
                   std::strerror(EIO)},
        TargetCase{"WriteThatTakesNothingIsAFullDisk", Runs::AsAnyone,
                   [](const std::string& f) { return Made{Regular(f + "/out.txt"), f + "/out.txt", -1, FillsUpHalfWay(0)}; },
                   std::strerror(ENOSPC)},
        // A file system without unnamed files (O_TMPFILE).
        TargetCase{"DiskFullUnderAHiddenName", Runs::AsAnyone,
                   [](const std::string& f) { return Made{Regular(f + "/out.txt"), f + "/out.txt", -1, FillsUpHalfWay(ENOSPC)}; },
                   std::strerror(ENOSPC), Staging::HiddenName},
        TargetCase{"DiskFullOnANewFileLeavesNoFile", Runs::AsAnyone,
                   [](const std::string& f) { return Made{f + "/new.txt", "", -1, FillsUpHalfWay(ENOSPC)}; },
                   std::strerror(ENOSPC)},
        TargetCase{"ShortAndInterruptedWritesAreResumed", Runs::AsAnyone,
                   [](const std::string& f) {
                       auto calls = std::make_shared<int>(0);
                       return Made{Regular(f + "/out.txt"), f + "/out.txt", -1,
                                   [calls](int fd, const void* data, std::size_t size) -> ssize_t {
                                       if (++*calls % 3 == 0) {
                                           errno = EINTR;
                                           return -1;
                                       }
                                       return ::write(fd, data, std::min<std::size_t>(size, 5));
                                   }};
                   },
                   nullptr},
        TargetCase{"StaleHiddenNamesAreRemoved", Runs::AsAnyone, HiddenNamesLeftBehind, nullptr},
        TargetCase{"StaleHiddenNamesAreRemovedWithoutUnnamedFiles", Runs::AsAnyone, HiddenNamesLeftBehind, nullptr,
                   Staging::HiddenName}),
    [](const ::testing::TestParamInfo<TargetCase>& info) { return std::string(info.param.Name); });

} // namespace
} // namespace tavik
