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
    ~FileDescriptor() { if (Fd >= 0) ::close(Fd); }
};

[[noreturn]] void Fail(const std::string& path, const std::string& reason)
{
    throw InputError(path + ": " + reason);
}

std::string SizeText(std::size_t bytes)
{
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

} // namespace

std::string ReadTextFile(const std::string& path, std::size_t maxBytes)
{
    if (path.empty()) throw InputError("no file name given");
    FileDescriptor file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.Fd < 0) Fail(path, std::strerror(errno));
    struct stat info {};
    if (::fstat(file.Fd, &info) != 0) Fail(path, std::strerror(errno));
    if (S_ISDIR(info.st_mode)) Fail(path, "is a folder, not a file");

    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(file.Fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(path, std::strerror(errno));
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxBytes)
            Fail(path, "is larger than " + SizeText(maxBytes) + "; not a text file tavik can use");
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

} // namespace tavik
