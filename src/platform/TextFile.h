// Single-byte text files: read whole, as bytes.
#pragma once

#include <string>

namespace tavik {

// The file's bytes. Throws InputError naming the path and the system's reason
// when it is missing, a folder, unreadable, or larger than maxBytes.
std::string ReadTextFile(const std::string& path, std::size_t maxBytes = 64u << 20);

} // namespace tavik
