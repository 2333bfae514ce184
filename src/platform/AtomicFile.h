// Writing whole files so that a reader, or the user after a crash or a full
// disk, sees either the old content or the complete new one, never a torn
// file.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace tavik {

// Each line followed by CR LF, the last one included.
std::string JoinCrLf(const std::vector<std::string>& lines);

// Same contract as POSIX write(2): bytes written, or -1 with errno set.
using WriteFunction = std::function<ssize_t(int fd, const void* data, std::size_t size)>;

// Writes the bytes to a fresh file in the target's folder, syncs it and
// renames it over the target. A new file gets mode 0644 less the umask; a
// replaced file keeps its permission bits; a symbolic link is followed and
// its target replaced. On any failure the temporary file is removed, an
// existing target is left as it was, and OutputError names the path and the
// system's reason.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// The same with the low-level write replaced, so that tests can play a disk
// that fills up.
void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteFunction& write);

} // namespace tavik
