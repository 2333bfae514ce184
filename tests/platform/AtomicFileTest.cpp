#include "platform/AtomicFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>

namespace tavik {
namespace {

namespace fs = std::filesystem;

const std::string OldBytes = "old content\r\n", NewBytes = "new content\r\n";

std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        names.push_back(entry.path().lexically_relative(folder));
    std::sort(names.begin(), names.end());
    return names;
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
        EXPECT_EQ(test::ReadBytes(folder.Path / name), bytes);
        EXPECT_EQ(fs::status(folder.Path / name).permissions(), fs::perms(mask == 022 ? 0644 : 0600));
    }
    fs::current_path(before);
    EXPECT_EQ(Listing(folder.Path), (std::vector<std::string>{"NOAA 19_18.txt", "NOAA 19_63.txt"}));
}

enum class Setup { // what a path names before the write
    PipeWithReader, Socket, MissingFolder, ReadOnlyFolder, File, HardLinked, Mode0600, OwnedByOther,
    ForeignLinkInStickyFolder, FolderOwnersLinkInStickyFolder, OwnLinkInStickyFolder, HiddenNamesLeftBehind,
    OpenFileThroughProc, FortyLinks };
enum class Disk { Takes, FullAtOnce, FullHalfWay, TakesNothingHalfWay, Dribbles };

// The path to write; the file whose bytes end up new, or stay old on failure; a pipe's read end; names removed.
struct Made { std::string Path, Holder; int Reader = -1; std::vector<std::string> Gone = {}; };

constexpr uid_t Other = 4321; // a user other than the one running the tests

std::string Regular(const std::string& path)
{
    std::ofstream(path, std::ios::binary) << OldBytes;
    return path;
}

Made Make(Setup setup, const std::string& f)
{
    const std::string file = f + "/out.txt";
    // A sticky folder like /tmp of one user, holding a link of one user to a file outside it.
    const auto sticky = [&](uid_t folderOwner, uid_t linkOwner) {
        const std::string shared = f + "/shared", link = shared + "/out.txt";
        fs::create_directory(shared);
        EXPECT_EQ(::chmod(shared.c_str(), 01777) | ::chown(shared.c_str(), folderOwner, folderOwner), 0);
        EXPECT_EQ(::symlink(Regular(file).c_str(), link.c_str()) | ::lchown(link.c_str(), linkOwner, linkOwner), 0);
        return Made{link, file};
    };
    switch (setup) {
    case Setup::PipeWithReader:
        EXPECT_EQ(::mkfifo((f + "/pipe").c_str(), 0644), 0);
        return {f + "/pipe", "", ::open((f + "/pipe").c_str(), O_RDONLY | O_NONBLOCK)};
    case Setup::Socket: EXPECT_EQ(::mknod((f + "/socket").c_str(), S_IFSOCK | 0644, 0), 0); return {f + "/socket", ""};
    case Setup::OpenFileThroughProc: { // /dev/stdout and the like
        const int fd = ::open(Regular(file).c_str(), O_RDONLY);
        return {"/proc/self/fd/" + std::to_string(fd), file, fd};
    }
    case Setup::FortyLinks: { // as many as the kernel follows
        std::string at = Regular(file);
        for (int i = 1; i <= 40; ++i) {
            const std::string link = f + "/link" + std::to_string(i);
            EXPECT_EQ(::symlink(at.c_str(), link.c_str()), 0);
            at = link;
        }
        return {at, file};
    }
    case Setup::MissingFolder: return {f + "/no/out.txt", ""};
    case Setup::ReadOnlyFolder: EXPECT_EQ(::chmod(f.c_str(), 0555), 0); return {Regular(file), file};
    case Setup::File: return {Regular(file), file};
    case Setup::HardLinked:
        EXPECT_EQ(::link(Regular(file).c_str(), (f + "/other.txt").c_str()), 0);
        return {file, f + "/other.txt"};
    case Setup::Mode0600: EXPECT_EQ(::chmod(Regular(file).c_str(), 0600), 0); return {file, file};
    case Setup::OwnedByOther: EXPECT_EQ(::chown(Regular(file).c_str(), Other, Other), 0); return {file, file};
    case Setup::ForeignLinkInStickyFolder: return sticky(::geteuid(), Other);
    case Setup::FolderOwnersLinkInStickyFolder: return sticky(Other, Other);
    case Setup::OwnLinkInStickyFolder: return sticky(::geteuid(), ::geteuid());
    case Setup::HiddenNamesLeftBehind: {
        // The next write removes hidden names whose writer is gone or that are an hour old; names of another
        // form are not ours, old or not.
        const pid_t child = ::fork();
        if (child == 0) ::_exit(0);
        EXPECT_EQ(::waitpid(child, nullptr, 0), child); // its pid now names no process
        const std::string dead = ".out.txt." + std::to_string(child), mine = ".out.txt." + std::to_string(::getpid());
        const std::vector<std::string> gone = {dead + "-aB3dE9.tmp", mine + "-zzzzzz.tmp", ".out.txt.ABCD1234.tmp",
                                               ".out.txt.999999999-aB3dE9.tmp"};
        const std::vector<std::string> aged = {gone[1], gone[2], ".out.txt.mine.tmp", ".out.txt.ABCD_234.tmp",
                                               ".out.txt.1x3-aB3dE9.tmp", dead + "-aB3_E9.tmp",
                                               ".other.txt.1-aB3dE9.tmp"};
        for (const std::string& name : aged) Regular(f + "/" + name);
        for (const std::string& name : {gone[0], gone[3], mine + "-aB3dE9.tmp"}) Regular(f + "/" + name);
        for (const std::string& name : aged)
            fs::last_write_time(f + "/" + name, fs::file_time_type::clock::now() - std::chrono::hours(2));
        return {Regular(file), file, -1, gone};
    }
    }
    return {};
}

WriteFunction Writer(Disk disk)
{
    return [disk, calls = std::make_shared<int>(0)](int fd, const void* data, std::size_t size) -> ssize_t {
        switch (const int call = ++*calls; disk) {
        case Disk::Takes: break;
        case Disk::FullAtOnce:
            errno = ENOSPC;
            return -1;
        case Disk::FullHalfWay: case Disk::TakesNothingHalfWay:
            if (call == 1) return ::write(fd, data, size / 2);
            if (disk == Disk::TakesNothingHalfWay) return 0;
            errno = ENOSPC;
            return -1;
        case Disk::Dribbles: // five bytes at a time, every third call interrupted
            if (call % 3 != 0) return ::write(fd, data, std::min<std::size_t>(size, 5));
            errno = EINTR;
            return -1;
        }
        return ::write(fd, data, size);
    };
}

using Snapshot = std::tuple<mode_t, dev_t, uid_t, gid_t, nlink_t>;
std::optional<Snapshot> Take(const std::string& path, bool follow)
{
    struct stat i {}; // kind and mode, device, owner, group and links
    if ((follow ? ::stat(path.c_str(), &i) : ::lstat(path.c_str(), &i)) != 0) return std::nullopt;
    return Snapshot{i.st_mode, i.st_rdev, i.st_uid, i.st_gid, i.st_nlink};
}

enum class Runs { AsAnyone, OnlyAsRoot, NotAsRoot };

struct TargetCase { // Reason: what the message says; nullptr: the write succeeds
    const char* Name;
    Setup What;
    Disk How;
    const char* Reason;
    Runs Who = Runs::AsAnyone;
    Staging Staged = Staging::Unnamed;
    bool Grows = false; // written as a GrowingFile: "new " first, then "content\r\n"
};

void PrintTo(const TargetCase& c, std::ostream* out) { *out << c.Name; }

class WriteTarget : public ::testing::TestWithParam<TargetCase> {};

TEST_P(WriteTarget, KeepsWhatThePathNamesAndLeavesNoTemporaryFile)
{
    const TargetCase& c = GetParam();
    if (c.Who == Runs::OnlyAsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "only root may make device nodes and give files away";
    if (c.Who == Runs::NotAsRoot && ::geteuid() == 0) GTEST_SKIP() << "root may write into a read-only folder";
    test::TempFolder folder;
    const Made made = Make(c.What, folder.Path.string());
    std::vector<std::string> listing = Listing(folder.Path);
    for (const std::string& gone : made.Gone) std::erase(listing, gone);
    const auto path = Take(made.Path, false), holder = Take(made.Holder, true);

    // Standard input closed, as for a program started without one: the writer's first descriptor is 0.
    const int input = ::dup(0);
    ::close(0);
    std::string message;
    try {
        if (!c.Grows) {
            WriteFileAtomically(made.Path, NewBytes, Writer(c.How), c.Staged);
        } else {
            GrowingFile grown(made.Path, NewBytes.substr(0, 4), Writer(c.How), c.Staged);
            grown.Append(NewBytes.substr(4));
            grown.Close();
        }
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
    if (c.Reason && message != said) {
        EXPECT_EQ(message.substr(0, said.size() + 2), said + ": ");
    } else {
        EXPECT_EQ(message, said);
    }
    EXPECT_TRUE(Take(made.Path, false) == path) << "the path names something else now";
    EXPECT_TRUE(Take(made.Holder, true) == holder) << "mode, owner or links of the file changed";
    if (!made.Holder.empty()) { EXPECT_EQ(test::ReadBytes(made.Holder), c.Reason ? OldBytes : NewBytes); }
    if (made.Reader >= 0) {
        char buffer[64] = {};
        const ssize_t n = ::read(made.Reader, buffer, 64);
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0))), NewBytes);
        ::close(made.Reader);
    }
    EXPECT_EQ(Listing(folder.Path), listing);
}

const char* const Full = std::strerror(ENOSPC);

using enum Setup; using enum Disk; using enum Runs;
const TargetCase Cases[] = {
    // A full device, a pipe without a reader or whose reader leaves, a folder: the command line's tests.
    {"PipeWithAReader", PipeWithReader, Takes, nullptr}, {"Socket", Socket, Takes, "is a socket, not a file"},
    {"MissingFolderIsNamed", MissingFolder, Takes, std::strerror(ENOENT)},
    {"ReadOnlyFolderKeepsTheOldFile", ReadOnlyFolder, Takes, std::strerror(EACCES), NotAsRoot},
    {"HardLinkedFileStaysOneFile", HardLinked, Takes, nullptr}, {"Mode0600IsKept", Mode0600, Takes, nullptr},
    {"HardLinkedFileOnAFullDiskKeepsItsContent", HardLinked, FullAtOnce, Full},
    {"OwnerAndGroupAreKept", OwnedByOther, Takes, nullptr, OnlyAsRoot},
    {"ForeignLinkInAStickyFolderIsRefused", ForeignLinkInStickyFolder, Takes, "is a symbolic link that is not followed",
     OnlyAsRoot},
    {"LinkOfTheStickyFoldersOwnerIsFollowed", FolderOwnersLinkInStickyFolder, Takes, nullptr, OnlyAsRoot},
    {"OwnLinkInAStickyFolderIsFollowed", OwnLinkInStickyFolder, Takes, nullptr},
    {"DiskFullHalfWayKeepsTheOldFile", File, FullHalfWay, Full},
    {"WriteThatTakesNothingIsAFullDisk", File, TakesNothingHalfWay, Full},
    {"DiskFullUnderAHiddenName", File, FullHalfWay, Full, AsAnyone, Staging::HiddenName},
    {"ShortAndInterruptedWritesAreResumed", File, Dribbles, nullptr},
    {"StaleHiddenNamesAreRemoved", HiddenNamesLeftBehind, Takes, nullptr},
    {"OpenFileThroughProcIsWrittenNotReplaced", OpenFileThroughProc, Takes, nullptr},
    {"ChainOfFortyLinksIsFollowed", FortyLinks, Takes, nullptr},
    // A file that grows piece by piece starts as the whole write does (summary.csv was opened with fopen("wb")):
    // the refusals and failures before its first byte is in place are the rows above; these keep it open.
    {"GrowingFileReplacesAFile", File, Takes, nullptr, AsAnyone, Staging::Unnamed, true},
    {"GrowingFileStaysOneFileWithItsHardLinks", HardLinked, Takes, nullptr, AsAnyone, Staging::Unnamed, true},
    {"GrowingFileIntoAPipeWithAReader", PipeWithReader, Takes, nullptr, AsAnyone, Staging::Unnamed, true},
};

INSTANTIATE_TEST_SUITE_P(Table, WriteTarget, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<TargetCase>& info) { return std::string(info.param.Name); });

// A full disk while the file grows: the piece that did not fit is cut off again, the pieces before stay whole
// (summary.csv became a file cut mid-line), the message says so, and the file can still be closed. Once its first
// piece is in place, how it was staged no longer matters.
TEST(GrowingOnAFullDisk, KeepsThePiecesBefore)
{
    test::TempFolder folder;
    const Made made = Make(File, folder.Path.string());
    // Calls 1 and 2 take the header and the first row; the third takes half the second row, the fourth nothing.
    auto calls = std::make_shared<int>(0);
    const WriteFunction fills = [calls](int fd, const void* data, std::size_t size) -> ssize_t {
        if (++*calls < 3) return ::write(fd, data, size);
        return *calls == 3 ? ::write(fd, data, size / 2) : (errno = ENOSPC, -1);
    };
    GrowingFile grown(made.Path, "header\n", fills);
    grown.Append("row 1\n");
    std::string message;
    try {
        grown.Append("row 2\n");
    } catch (const OutputError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "cannot write " + made.Path + ": " + Full + "; it holds what was written before");
    EXPECT_EQ(test::ReadBytes(made.Path), "header\nrow 1\n");
    EXPECT_NO_THROW(grown.Close());
    EXPECT_EQ(test::ReadBytes(made.Path), "header\nrow 1\n");
    EXPECT_EQ(Listing(folder.Path), std::vector<std::string>{"out.txt"});
}

// Where the file system has no unnamed files the new content waits under a hidden name; the tests that play such
// a file system must really take that way.
TEST(WriteFileAtomically, StagesUnderAHiddenNameWhenAsked)
{
    test::TempFolder folder;
    const std::string path = (folder.Path / "out.txt").string();
    std::vector<std::string> during;
    const WriteFunction write = [&](int fd, const void* data, std::size_t size) {
        during = Listing(folder.Path);
        return ::write(fd, data, size);
    };
    WriteFileAtomically(path, NewBytes, write, Staging::HiddenName);
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0].rfind(".out.txt." + std::to_string(::getpid()) + "-", 0), 0u) << during[0];
    EXPECT_EQ(Listing(folder.Path), std::vector<std::string>{"out.txt"});
}

} // namespace
} // namespace tavik
