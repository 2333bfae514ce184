#include "platform/AtomicFile.h"

#include "platform/FileAccess.h"

#include "platform/Error.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <optional>
#include <pthread.h>
#include <random>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>
#include <utility>

namespace tavik {

std::string JoinCrLf(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason)
{
    throw OutputError("cannot write " + path + ": " + reason);
}

[[noreturn]] void FailErrno(const std::string& path, int error) { Fail(path, std::strerror(error)); }

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void Reset(int fd)
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    // Hands the descriptor over; this one no longer closes it.
    int Release() { return std::exchange(fd_, -1); }
    // Closes now; close's error, or 0.
    int Close()
    {
        const int rc = ::close(fd_);
        fd_ = -1; // closed even when close reports an error
        return rc == 0 ? 0 : errno;
    }

private:
    int fd_;
};

struct PathParts {
    std::string Folder, Base;
};

PathParts Split(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The bytes through the given write; 0, or the errno of the failure. The
// count written so far goes to *written when asked for.
int WriteAll(int fd, std::string_view bytes, const WriteFunction& write, std::size_t* written = nullptr)
{
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        if (written != nullptr) *written = bytes.size() - left;
        errno = 0;
        const ssize_t n = write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno != 0 ? errno : EIO;
        }
        if (n == 0) return ENOSPC; // a file that takes no bytes is full
        if (static_cast<std::size_t>(n) > left) return EIO;
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return 0;
}

// ------------------------------------------------------------ where to write

// What a path leads to. Trailing symbolic links are followed here, one by
// one: a rename acts on the name it is given and never follows a link, so
// the kernel's protection of shared folders has to be applied here too.
struct Target {
    std::string Path; // the path given, or where its links lead
    bool Exists = false;
    struct stat Info {};
    bool OpenFile = false; // named through a link of /proc, such as /dev/stdout
};

constexpr int MaxLinks = 40; // the kernel's limit before ELOOP

bool OnProc(const std::string& folder)
{
    struct statfs info {};
    return ::statfs(folder.c_str(), &info) == 0 && info.f_type == PROC_SUPER_MAGIC;
}

std::string ReadLink(const std::string& path, const std::string& given)
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) FailErrno(given, errno);
        if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

// The kernel's rule for links in shared folders (fs.protected_symlinks),
// applied whether or not the system has it on: in a sticky folder that
// anyone may write to, a link is followed only when it belongs to the user
// or to the folder's owner. Otherwise anyone could plant /tmp/x_passes.txt
// pointing at a file of the user's and have it overwritten.
void RefuseForeignLinkInSharedFolder(const std::string& link, const struct stat& linkInfo, const std::string& folder,
                                     const std::string& given)
{
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return; // gone meanwhile: the open that follows says so
    const mode_t shared = S_ISVTX | S_IWOTH;
    if ((dir.st_mode & shared) != shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == dir.st_uid) return;
    Fail(given, (link == given ? std::string("is a symbolic link that is") : "the symbolic link " + link + " is")
                    + " not followed: it lies in " + folder
                    + ", a sticky folder anyone may write to, and belongs to neither that folder's owner nor you");
}

Target Resolve(const std::string& path)
{
    Target t;
    t.Path = path;
    for (int links = 0;; ++links) {
        if (::lstat(t.Path.c_str(), &t.Info) != 0) {
            if (errno == ENOENT) return t; // made there, at the end of any links, as open(O_CREAT) would
            FailErrno(path, errno);
        }
        t.Exists = true;
        if (!S_ISLNK(t.Info.st_mode)) return t;
        if (links == MaxLinks) FailErrno(path, ELOOP);
        const std::string folder = Split(t.Path).Folder;
        if (OnProc(folder)) {
            // /proc/self/fd/1 and the like name an open file, often in words
            // ("pipe:[1234]") rather than a path; only the kernel can follow.
            if (::stat(t.Path.c_str(), &t.Info) != 0) FailErrno(path, errno);
            t.OpenFile = true;
            return t;
        }
        RefuseForeignLinkInSharedFolder(t.Path, t.Info, folder, path);
        const std::string next = ReadLink(t.Path, path);
        t.Path = !next.empty() && next[0] == '/' ? next : folder + "/" + next;
        t.Exists = false;
    }
}

// ----------------------------------------------- devices, pipes, open files

// A reader of a pipe that goes away must give EPIPE, not end the program:
// SIGPIPE is held back in this thread while writing and taken away after.
// The process's handling of the signal is not touched (a library has no
// business changing it).
class PipeSignalHeld {
public:
    PipeSignalHeld()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
        sigset_t pending;
        pendingBefore_ = ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE);
    }
    PipeSignalHeld(const PipeSignalHeld&) = delete;
    PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;
    ~PipeSignalHeld()
    {
        sigset_t pending;
        if (!pendingBefore_ && ::sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE)) {
            const timespec now{};
            ::sigtimedwait(&pipe_, nullptr, &now);
        }
        ::pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }

private:
    sigset_t pipe_, old_;
    bool pendingBefore_ = false;
};

// A device, a named pipe or an open file is written as it is, never
// replaced: /dev/null stays a device, a pipe's reader gets the bytes.
void WriteDirectly(const std::string& path, const Target& target, std::string_view bytes, const WriteFunction& write,
                   Descriptor* keep)
{
    const mode_t type = target.Info.st_mode & S_IFMT;
    if (type == S_IFSOCK) Fail(path, "is a socket, not a file");
    // Opening a pipe that no program reads waits until one comes, for ever
    // if none does (and the window would freeze); with O_NONBLOCK the open
    // fails at once with ENXIO instead. The reader is expected to be there
    // first, as with "cat pipe &".
    int flags = O_WRONLY | O_NOCTTY | O_CLOEXEC;
    if (type == S_IFIFO) flags |= O_NONBLOCK;
    if (type == S_IFREG) flags |= O_TRUNC; // a file named through /proc: emptied, as ">" empties it
    Descriptor fd(::open(target.Path.c_str(), flags));
    if (!fd) {
        if (errno == ENXIO && type == S_IFIFO) Fail(path, "is a pipe that no program is reading");
        FailErrno(path, errno);
    }
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0) FailErrno(path, errno);
    if (S_ISFIFO(opened.st_mode)) {
        // From here on writes wait for the reader, as on any pipe.
        const int now = ::fcntl(fd.Get(), F_GETFL);
        if (now < 0 || ::fcntl(fd.Get(), F_SETFL, now & ~O_NONBLOCK) != 0) FailErrno(path, errno);
    }
    int error = 0;
    {
        PipeSignalHeld held;
        error = WriteAll(fd.Get(), bytes, write);
    }
    if (error != 0) FailErrno(path, error);
    if (keep != nullptr) return keep->Reset(fd.Release());
    // Character devices and pipes have nothing to sync (fsync says EINVAL).
    if ((S_ISREG(opened.st_mode) || S_ISBLK(opened.st_mode)) && ::fsync(fd.Get()) != 0) FailErrno(path, errno);
    if (const int closeError = fd.Close(); closeError != 0) FailErrno(path, closeError);
}

// ------------------------------------------------------ several hard links

// A new file renamed over one of the names would part it from the others,
// so the bytes go into the file itself.
void WriteInPlace(const std::string& path, const Target& target, std::string_view bytes, const WriteFunction& write,
                  Descriptor* keep)
{
    // O_NONBLOCK: should a pipe have taken the name meanwhile, the open must
    // not wait for a reader; it changes nothing for a regular file.
    Descriptor fd(::open(target.Path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) FailErrno(path, errno);
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0) FailErrno(path, errno);
    if (!S_ISREG(opened.st_mode)) Fail(path, "was replaced by something else while being written");
    // With the space reserved first, a full disk is found before a byte of
    // the old content is overwritten (file systems that cannot reserve skip
    // this).
    if (!bytes.empty() && ::fallocate(fd.Get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0
        && errno != EOPNOTSUPP && errno != ENOSYS && errno != EINVAL)
        FailErrno(path, errno);
    std::size_t written = 0;
    if (const int error = WriteAll(fd.Get(), bytes, write, &written); error != 0) {
        if (written == 0) FailErrno(path, error);
        Fail(path, std::string(std::strerror(error)) + "; the file has " + std::to_string(opened.st_nlink)
                       + " hard links, so it was written in place and is now incomplete");
    }
    if (::ftruncate(fd.Get(), static_cast<off_t>(bytes.size())) != 0) FailErrno(path, errno);
    if (keep != nullptr) return keep->Reset(fd.Release());
    if (::fsync(fd.Get()) != 0) FailErrno(path, errno);
    if (const int closeError = fd.Close(); closeError != 0) FailErrno(path, closeError);
}

// ----------------------------------------------------- replacing a file

// A hidden name holds a new file only where the file system has no unnamed
// files, and otherwise for the moment between linking the finished file in
// and renaming it over the old one. Either way a killed writer leaves it
// behind, so the name carries the writer's pid and the next write of the
// same output removes the names whose writer is gone.
constexpr std::size_t StemLimit = 200;   // keeps hidden names within NAME_MAX
constexpr std::time_t StaleAfter = 3600; // seconds; see RemoveStaleHiddenNames

std::string HiddenPrefix(const std::string& base) { return "." + base.substr(0, StemLimit) + "."; }

std::string RandomSuffix()
{
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 engine{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof Alphabet - 2);
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += Alphabet[pick(engine)];
    return suffix;
}

std::string HiddenName(const std::string& base)
{
    return HiddenPrefix(base) + std::to_string(::getpid()) + "-" + RandomSuffix() + ".tmp";
}

bool Alphanumeric(std::string_view s, std::size_t size)
{
    return s.size() == size && std::all_of(s.begin(), s.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
           });
}

// The writer's pid in a hidden name of this output; 0 for the older form
// without a pid (".name.XXXXXXXX.tmp"); nothing for any other name.
std::optional<long> HiddenNamePid(std::string_view name, std::string_view prefix)
{
    const std::string_view end = ".tmp";
    if (name.size() <= prefix.size() + end.size() || name.substr(0, prefix.size()) != prefix
        || name.substr(name.size() - end.size()) != end)
        return std::nullopt;
    const std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - end.size());
    if (Alphanumeric(middle, 8)) return 0;
    const auto dash = middle.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 9 || !Alphanumeric(middle.substr(dash + 1), 6))
        return std::nullopt;
    long pid = 0;
    for (char c : middle.substr(0, dash)) {
        if (c < '0' || c > '9') return std::nullopt;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

// Removes the hidden names of this output whose writer is no longer running
// on this machine, and any an hour old: by then the pid may belong to
// another process, or the name came from another machine sharing the
// folder. A writer stalled that long finds its name gone and reports it;
// nothing of the target is lost.
void RemoveStaleHiddenNames(int dir, const std::string& base)
{
    const int fd = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return; // a folder that cannot be listed is not swept
    DIR* listing = ::fdopendir(fd);
    if (listing == nullptr) {
        ::close(fd);
        return;
    }
    const std::string prefix = HiddenPrefix(base);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(listing)) {
        const std::optional<long> pid = HiddenNamePid(entry->d_name, prefix);
        if (!pid) continue;
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) continue;
        const bool writerGone =
            *pid > 0 && *pid != ::getpid() && ::kill(static_cast<pid_t>(*pid), 0) != 0 && errno == ESRCH;
        if (writerGone || now - info.st_mtime > StaleAfter) ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(listing);
}

// The new content on its way to the target's name; unless published, it
// leaves nothing behind.
//
// Where a kill can strike: an unnamed (O_TMPFILE) file is freed with the
// process; a new target is linked in whole in one step; an existing one is
// replaced by a link to a hidden name and a rename, and a kill between those
// two calls leaves the hidden name, complete, for the next write of the same
// output to remove. Where the file system has no unnamed files, the hidden
// name exists from the start.
class StagedFile {
public:
    StagedFile(int dir, std::string base) : dir_(dir), base_(std::move(base)) {}
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    ~StagedFile()
    {
        if (!name_.empty()) ::unlinkat(dir_, name_.c_str(), 0);
    }

    int Fd() const { return fd_.Get(); }

    // 0 or the errno. A new file gets 0644 less the umask.
    int Open(Staging staging)
    {
        // Linking an unnamed file in goes through /proc/self/fd (linkat's
        // AT_EMPTY_PATH needs privileges), so without /proc it is no use.
        if (staging == Staging::Unnamed && ::access("/proc/self/fd", X_OK) == 0) {
            fd_.Reset(::openat(dir_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644));
            if (fd_) {
                unnamed_ = true;
                return 0;
            }
            // Older kernels see O_TMPFILE as a folder opened for writing.
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = HiddenName(base_);
            fd_.Reset(::openat(dir_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
            if (fd_) {
                name_ = std::move(name);
                return 0;
            }
            if (errno != EEXIST) return errno;
        }
        return EEXIST;
    }

    // Puts the synced file at the target's name; 0 or the errno. With keep,
    // the file stays open there for more bytes.
    int Publish(bool targetExists, Descriptor* keep)
    {
        auto close = [&] {
            if (keep == nullptr) return fd_.Close();
            keep->Reset(fd_.Release());
            return 0;
        };
        if (unnamed_) {
            const std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
            auto link = [&](const std::string& name) {
                return ::linkat(AT_FDCWD, self.c_str(), dir_, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
            };
            if (!targetExists) {
                const int error = link(base_);
                if (error == 0) return close();
                if (error != EEXIST) return error;
                // Made by someone else meanwhile: replaced like an old file.
            }
            int error = EEXIST;
            for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
                std::string name = HiddenName(base_);
                error = link(name);
                if (error == 0) name_ = std::move(name);
            }
            if (error != 0) return error;
        }
        if (const int error = close(); error != 0) return error;
        if (::renameat(dir_, name_.c_str(), dir_, base_.c_str()) != 0) {
            if (keep != nullptr) keep->Reset(-1);
            return errno;
        }
        name_.clear(); // it is the target now
        return 0;
    }

private:
    int dir_;
    std::string base_;
    Descriptor fd_;
    bool unnamed_ = false;
    std::string name_; // the hidden name, while there is one
};

// The replacement takes the old file's owner and group where the process may
// give them (root may; others may give a group they belong to), and its
// permission bits. 0 or the errno of fchmod.
int KeepOwnerAndMode(int fd, const struct stat& old)
{
    struct stat now {};
    if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    return ::fchmod(fd, old.st_mode & 0777) == 0 ? 0 : errno;
}

void SyncFolder(int dir)
{
    // The new name is in place; a failure here cannot be undone and only
    // weakens durability, so it is not reported.
    const int fd = ::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void Replace(const std::string& path, const Target& target, std::string_view bytes, const WriteFunction& write,
             Staging staging, Descriptor* keep)
{
    const PathParts parts = Split(target.Path);
    if (parts.Base.empty()) Fail(path, "names a folder, not a file");
    // Everything below is relative to the folder opened once, so a folder
    // renamed meanwhile cannot split the file from its target.
    Descriptor dir(::open(parts.Folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir) FailErrno(path, errno);
    RemoveStaleHiddenNames(dir.Get(), parts.Base);

    StagedFile staged(dir.Get(), parts.Base);
    if (const int error = staged.Open(staging); error != 0) FailErrno(path, error);
    if (target.Exists) {
        if (const int error = KeepOwnerAndMode(staged.Fd(), target.Info); error != 0) FailErrno(path, error);
    }
    if (const int error = WriteAll(staged.Fd(), bytes, write); error != 0) FailErrno(path, error);
    // Without the sync a crash right after the rename could leave an empty
    // file where the old one was.
    if (::fsync(staged.Fd()) != 0) FailErrno(path, errno);
    if (const int error = staged.Publish(target.Exists, keep); error != 0) FailErrno(path, error);
    SyncFolder(dir.Get());
}

// The whole write; with keep, the file is left open there, at its end.
void Write(const std::string& path, std::string_view bytes, const WriteFunction& write, Staging staging,
           Descriptor* keep)
{
    if (path.empty()) throw OutputError("cannot write a file without a name");
    const Target target = Resolve(path);
    if (target.Exists) {
        if (S_ISDIR(target.Info.st_mode)) Fail(path, "is a folder, not a file");
        // A rename in a folder the user may write would replace a file the
        // user may not: the file's own permission decides, as for cp.
        if (S_ISREG(target.Info.st_mode))
            if (const auto why = ReadOnlyReason(path)) Fail(path, *why);
        if (!S_ISREG(target.Info.st_mode) || target.OpenFile) return WriteDirectly(path, target, bytes, write, keep);
        if (target.Info.st_nlink > 1) return WriteInPlace(path, target, bytes, write, keep);
    }
    Replace(path, target, bytes, write, staging, keep);
}

ssize_t SystemWrite(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    WriteFileAtomically(path, bytes, SystemWrite);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteFunction& write, Staging staging)
{
    Write(path, bytes, write, staging, nullptr);
}

struct GrowingFile::Open {
    Descriptor Fd;
    bool Regular = false;
    off_t Size = 0; // of a regular file, all of it whole
};

GrowingFile::GrowingFile(const std::string& path, std::string_view first) : GrowingFile(path, first, SystemWrite) {}

GrowingFile::GrowingFile(const std::string& path, std::string_view first, WriteFunction write, Staging staging)
    : path_(path), write_(std::move(write)), open_(std::make_unique<Open>())
{
    Write(path_, first, write_, staging, &open_->Fd);
    struct stat info {};
    if (::fstat(open_->Fd.Get(), &info) != 0) FailErrno(path_, errno);
    open_->Regular = S_ISREG(info.st_mode);
    open_->Size = static_cast<off_t>(first.size());
}

GrowingFile::~GrowingFile() = default;

void GrowingFile::Append(std::string_view bytes)
{
    if (!open_->Fd) Fail(path_, "is closed");
    if (!open_->Regular) {
        PipeSignalHeld held;
        if (const int error = WriteAll(open_->Fd.Get(), bytes, write_); error != 0) FailErrno(path_, error);
        return;
    }
    if (const int error = WriteAll(open_->Fd.Get(), bytes, write_); error != 0) {
        // Cut back to the whole pieces before, and on from there next time.
        if (::ftruncate(open_->Fd.Get(), open_->Size) != 0 || ::lseek(open_->Fd.Get(), open_->Size, SEEK_SET) < 0)
            Fail(path_, std::string(std::strerror(error)) + "; its last piece may be incomplete");
        Fail(path_, std::string(std::strerror(error)) + "; it holds what was written before");
    }
    open_->Size += static_cast<off_t>(bytes.size());
}

void GrowingFile::Close()
{
    if (!open_->Fd) return;
    struct stat info {};
    const bool sync = ::fstat(open_->Fd.Get(), &info) == 0 && (S_ISREG(info.st_mode) || S_ISBLK(info.st_mode));
    if (sync && ::fsync(open_->Fd.Get()) != 0) {
        const int error = errno;
        open_->Fd.Close();
        FailErrno(path_, error);
    }
    if (const int error = open_->Fd.Close(); error != 0) FailErrno(path_, error);
}

} // namespace tavik
