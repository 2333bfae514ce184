#include "platform/TextFile.h"

#include "platform/Error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavik {

namespace {

struct FileDescriptor {
    int Fd;
    ~FileDescriptor()
    {
        if (Fd >= 0) ::close(Fd);
    }
};

[[noreturn]] void Fail(const std::string& path, const std::string& reason)
{
    // A blank at either end of a name typed into tavik.ini is part of the
    // name, and unquoted it cannot be seen in the message.
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (!path.empty() && (blank(path.front()) || blank(path.back())))
        throw InputError("\"" + path + "\": " + reason + " (the name " + (blank(path.back()) ? "ends" : "begins")
                         + " with a blank)");
    throw InputError(path + ": " + reason);
}

std::string SizeText(std::size_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

// Why a file of this kind is not read, or nothing for a regular file.
const char* NotARegularFile(mode_t mode)
{
    if (S_ISREG(mode)) return nullptr;
    if (S_ISDIR(mode)) return "is a folder, not a file";
    if (S_ISFIFO(mode)) return "is a named pipe, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "is a device, not a regular file";
    if (S_ISSOCK(mode)) return "is a socket, not a regular file";
    return "is not a regular file";
}

std::string ReadToTheEnd(int fd, const std::string& name, std::size_t maxBytes)
{
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(name, std::strerror(errno));
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes)
            Fail(name, "is larger than " + SizeText(maxBytes) + "; not a text file tavik can use");
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

} // namespace

std::string ReadTextFile(const std::string& path, std::size_t maxBytes, FileKinds kinds)
{
    if (path.empty()) throw InputError("no file name given");
    const bool regularOnly = kinds == FileKinds::RegularOnly;
    if (regularOnly) {
        // Looked at before it is opened: opening a device can act on it.
        struct stat before {};
        if (::stat(path.c_str(), &before) != 0) Fail(path, std::strerror(errno));
        if (const char* why = NotARegularFile(before.st_mode)) Fail(path, why);
    }
    // Without O_NONBLOCK, opening a named pipe waits for a writer.
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (regularOnly ? O_NONBLOCK : 0))};
    if (file.Fd < 0) Fail(path, std::strerror(errno));
    struct stat info {};
    if (::fstat(file.Fd, &info) != 0) Fail(path, std::strerror(errno));
    if (S_ISDIR(info.st_mode)) Fail(path, "is a folder, not a file");
    if (regularOnly) {
        // The name may have been given to something else since the look.
        if (const char* why = NotARegularFile(info.st_mode)) Fail(path, why);
        const int flags = ::fcntl(file.Fd, F_GETFL);
        if (flags >= 0) ::fcntl(file.Fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return ReadToTheEnd(file.Fd, path, maxBytes);
}

std::string ReadTextStream(int fd, const std::string& name, std::size_t maxBytes)
{
    return ReadToTheEnd(fd, name, maxBytes);
}

} // namespace tavik
