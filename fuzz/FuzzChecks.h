// What the fuzz targets assert about the engine's answers. A failed check
// prints what was wrong and aborts, which libFuzzer reports as a finding and
// saves the input that caused it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace fuzz {

inline void Require(bool ok, const char* what, std::string_view detail = "")
{
    if (ok) return;
    std::fprintf(stderr, "\n*** check failed: %s\n*** %.*s\n", what, static_cast<int>(std::min<std::size_t>(detail.size(), 2000)),
                 detail.data());
    std::abort();
}

// Well-formed UTF-8, written out here rather than borrowed from the engine
// so that the engine is not its own judge.
inline bool ValidUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const std::size_t n = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
        if (n == 0 || i + n >= s.size()) return false;
        std::uint32_t cp = b & (0x3Fu >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

// C0 control characters, and DEL when asked: what would upset a terminal or
// a message box, or a file name.
inline bool HasControl(std::string_view s, bool del = false)
{
    return std::any_of(s.begin(), s.end(), [del](char c) { return static_cast<unsigned char>(c) < 0x20 || (del && c == 0x7F); });
}

inline bool ContainsNoCase(std::string_view text, std::string_view part)
{
    return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
               const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
               return lower(a) == lower(b);
           }) != text.end();
}

// Reads the fuzzer's bytes front to back; past the end everything is 0.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint64_t Word()
    {
        std::uint64_t w = 0;
        for (int i = 0; i < 8; ++i) w = (w << 8) | Byte();
        return w;
    }
    double RawDouble()
    {
        const std::uint64_t w = Word();
        double d;
        std::memcpy(&d, &w, sizeof d);
        return d;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace fuzz
