// Writing whole files so that a reader, or the user after a crash or a full
// disk, sees either the old content or the complete new one, never a torn
// file.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace tavik {

// Each line followed by CR LF, the last one included.
std::string JoinCrLf(const std::vector<std::string>& lines);

// Same contract as POSIX write(2): bytes written, or -1 with errno set.
using WriteFunction = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

// How the new content of a regular file waits until it replaces the old:
// Unnamed (O_TMPFILE) where the file system allows it, else under a hidden
// name. Tests choose HiddenName to play a file system without unnamed files.
enum class Staging { Unnamed, HiddenName };

// Writes the bytes to the path, whatever it names:
// - a regular file, or none: the bytes go to a fresh file in the target's
//   folder, which is synced and renamed over the target. A new file gets
//   mode 0644 less the umask; a replaced file keeps its permission bits and,
//   where the process may set them, its owner and group;
// - a regular file with several hard links: written in place, so that the
//   links stay one file (space is reserved first, so a full disk leaves the
//   old content whole on most file systems);
// - a device, a named pipe or an open file named through /proc (such as
//   /dev/stdout): opened and written directly, never replaced. A named pipe
//   that no program reads is refused at once instead of waiting;
// - a symbolic link: followed only where the kernel's protection against
//   links planted in shared folders would follow it (in a sticky folder that
//   anyone may write to, only a link owned by the folder's owner or by the
//   user), otherwise refused; the file it leads to is written as above.
// On failure OutputError names the path and the system's reason; an existing
// regular file is left as it was (one with several hard links only when the
// failure comes before its first byte is overwritten; the message says when
// it did not), and no temporary file remains.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// The same with the low-level write replaced, so that tests can play a disk
// that fills up.
void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteFunction& write,
                         Staging staging = Staging::Unnamed);

// A file written as its pieces come (rows of a summary while they are
// computed), each piece whole on disk as soon as Append returns, so that a
// run that is killed leaves the pieces done so far. The first bytes are
// written exactly as WriteFileAtomically writes them, with the same links
// refused, a pipe that no program reads refused at once and a regular file
// replaced in one step (a failure leaves the previous file); the file then
// stays open for the pieces that follow. A piece that cannot be written
// whole (a full disk) is cut off again, so a regular file holds the pieces
// before it; OutputError names the path and says so.
class GrowingFile {
public:
    GrowingFile(const std::string& path, std::string_view first);
    GrowingFile(const std::string& path, std::string_view first, WriteFunction write,
                Staging staging = Staging::Unnamed);
    GrowingFile(const GrowingFile&) = delete;
    GrowingFile& operator=(const GrowingFile&) = delete;
    ~GrowingFile(); // closes without a word; call Close to learn of a failure

    void Append(std::string_view bytes);
    // Syncs a regular file and closes it; OutputError on failure.
    void Close();

private:
    struct Open;
    std::string path_;
    WriteFunction write_;
    std::unique_ptr<Open> open_;
};

} // namespace tavik
