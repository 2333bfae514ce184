#include "platform/AtomicFile.h"

#include "platform/Error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

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

[[noreturn]] void FailErrno(const std::string& path, int error)
{
    Fail(path, std::strerror(error));
}

// The file a path names, following symbolic links, so that writing through a
// link updates the linked file instead of replacing the link.
std::string ResolvedTarget(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path; // a dangling link is replaced like a missing file
    std::string target(resolved);
    std::free(resolved);
    return target;
}

std::string RandomSuffix()
{
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 engine{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof Alphabet - 2);
    std::string suffix;
    for (int i = 0; i < 8; ++i) suffix += Alphabet[pick(engine)];
    return suffix;
}

// The temporary file and its descriptor; both go away unless committed.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (fd_ >= 0) ::close(fd_);
        if (!name_.empty() && !committed_) ::unlink(name_.c_str());
    }

    // Created with O_EXCL under a random name, like mkstemp, but with the
    // mode given to open so that the umask applies as for any new file.
    bool Create(const std::string& folder, const std::string& base, int& error)
    {
        // Keep the name within NAME_MAX even for a long target name.
        const std::string stem = "." + base.substr(0, 200) + ".";
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string name = folder + "/" + stem + RandomSuffix() + ".tmp";
            int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0) {
                fd_ = fd;
                name_ = std::move(name);
                return true;
            }
            if (errno != EEXIST) {
                error = errno;
                return false;
            }
        }
        error = EEXIST;
        return false;
    }

    int Fd() const { return fd_; }
    const std::string& Name() const { return name_; }
    // Closes the descriptor; close's error, or 0.
    int Close()
    {
        int rc = ::close(fd_);
        fd_ = -1; // closed even when close reports an error
        return rc == 0 ? 0 : errno;
    }
    void Commit() { committed_ = true; }

private:
    int fd_ = -1;
    std::string name_;
    bool committed_ = false;
};

void SyncFolder(const std::string& folder)
{
    // The rename has happened; a failure here cannot be undone and only
    // weakens durability, so it is not reported.
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes)
{
    WriteFileAtomically(path, bytes, [](int fd, const void* data, std::size_t size) {
        return ::write(fd, data, size);
    });
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteFunction& write)
{
    if (path.empty()) throw OutputError("cannot write a file without a name");
    const std::string target = ResolvedTarget(path);

    struct stat existing {};
    bool replacing = false;
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) Fail(path, "is a folder, not a file");
        replacing = S_ISREG(existing.st_mode);
    }

    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty()) Fail(path, "names a folder, not a file");

    TemporaryFile temp;
    int error = 0;
    if (!temp.Create(folder, base, error)) FailErrno(path, error);
    if (replacing && ::fchmod(temp.Fd(), existing.st_mode & 0777) != 0) FailErrno(path, errno);

    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        errno = 0;
        const ssize_t n = write(temp.Fd(), data, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            FailErrno(path, errno != 0 ? errno : EIO);
        }
        if (n == 0) FailErrno(path, ENOSPC); // a regular file that takes no bytes is full
        if (static_cast<std::size_t>(n) > left) FailErrno(path, EIO);
        data += n;
        left -= static_cast<std::size_t>(n);
    }

    // Without the sync a crash right after the rename could leave an empty
    // file where the old one was.
    if (::fsync(temp.Fd()) != 0) FailErrno(path, errno);
    if (int closeError = temp.Close(); closeError != 0) FailErrno(path, closeError);
    if (::rename(temp.Name().c_str(), target.c_str()) != 0) FailErrno(path, errno);
    temp.Commit();
    SyncFolder(folder);
}

} // namespace tavik
