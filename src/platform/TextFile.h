// Single-byte text files: read whole, as bytes.
#pragma once

#include <cstddef>
#include <string>

namespace tavik {

inline constexpr std::size_t TextFileMaxBytes = 64u << 20;

// What a reader takes besides regular files. The window takes regular files
// only: a named pipe or a device named in tavik.ini would otherwise block it
// in open() or read() before it could say anything. A command line reads
// pipes, devices and process substitutions (/dev/fd/N) to their end, as a
// Unix tool does.
enum class FileKinds { RegularOnly, StreamsToo };

// The file's bytes. Throws InputError naming the path and the system's reason
// when it is missing, a folder, unreadable, larger than maxBytes, or, with
// RegularOnly, not a regular file (which is then never read, nor opened
// without O_NONBLOCK).
std::string ReadTextFile(const std::string& path, std::size_t maxBytes = TextFileMaxBytes,
                         FileKinds kinds = FileKinds::RegularOnly);

// Everything an open descriptor gives up to its end (standard input, for
// one), with the same limit; name stands for it in messages.
std::string ReadTextStream(int fd, const std::string& name, std::size_t maxBytes = TextFileMaxBytes);

} // namespace tavik
