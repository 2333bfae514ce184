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

[[noreturn]] inline void Fail(const char* what, std::string_view detail)
{
    std::fprintf(stderr, "\n*** check failed: %s\n*** %.*s\n", what, static_cast<int>(std::min<std::size_t>(detail.size(), 2000)),
                 detail.data());
    std::abort();
}

inline void Require(bool ok, const char* what, std::string_view detail = {})
{
    if (!ok) Fail(what, detail);
}

// Well-formed UTF-8, written out here rather than borrowed from the engine
// so that the engine is not its own judge.
inline bool ValidUtf8(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n;
        std::uint32_t cp;
        if (b < 0x80) { ++i; continue; }
        if (b >= 0xC2 && b <= 0xDF) { n = 1; cp = b & 0x1Fu; }
        else if (b >= 0xE0 && b <= 0xEF) { n = 2; cp = b & 0x0Fu; }
        else if (b >= 0xF0 && b <= 0xF4) { n = 3; cp = b & 0x07u; }
        else return false;
        if (i + n >= s.size()) return false;
        for (std::size_t k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3Fu);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

// C0 control characters: what would upset a terminal or a message box.
inline bool HasC0(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20) return true;
    return false;
}

// The same and DEL: what a file name must not hold.
inline bool HasControl(std::string_view s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

inline bool ContainsNoCase(std::string_view text, std::string_view part)
{
    if (part.size() > text.size()) return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        bool same = true;
        for (std::size_t k = 0; k < part.size() && same; ++k) {
            char a = text[i + k], b = part[k];
            if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
            if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
            same = a == b;
        }
        if (same) return true;
    }
    return false;
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
    std::size_t Left() const { return size_ - pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace fuzz
