// What the fuzz targets assert about the engine's answers, and the engine's
// parts they feed. A failed check prints what was wrong and aborts, which
// libFuzzer reports as a finding and saves the input that caused it.
#pragma once

#include "astro/Locator.h"
#include "astro/TimeScales.h"
#include "catalogue/Catalogue.h"
#include "catalogue/Settings.h"
#include "forecast/ComputeState.h"
#include "forecast/EclipseFinder.h"
#include "forecast/Forecast.h"
#include "output/ListFiles.h"
#include "output/ListLines.h"
#include "platform/Error.h"
#include "platform/RegionalFormats.h"
#include "platform/TextForms.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

using namespace tavik; // the targets are small; the engine's names read plainly

namespace fuzz {

inline void Require(bool ok, const char* what, std::string_view detail = "")
{
    if (ok) return;
    const int shown = static_cast<int>(std::min<std::size_t>(detail.size(), 2000));
    std::fprintf(stderr, "\n*** check failed: %s\n*** %.*s\n", what, shown, detail.data());
    std::abort();
}

// Well-formed UTF-8, written out here rather than borrowed from the engine
// so that the engine is not its own judge.
inline bool ValidUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80                 ? 0
                              : b >= 0xC2 && b <= 0xDF ? 1
                              : b >= 0xE0 && b <= 0xEF ? 2
                              : b >= 0xF0 && b <= 0xF4 ? 3
                                                       : 4;
        if (n == 4 || i + n >= s.size()) return false;
        std::uint32_t cp = n == 0 ? b : b & (0x3Fu >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
        }
        if ((n == 2 && cp < 0x800) || (n == 3 && cp < 0x10000) || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += n + 1;
    }
    return true;
}

// C0 control characters, and DEL when asked: what would upset a terminal, a
// message box or a file name.
inline bool HasControl(std::string_view s, bool del = false)
{
    return std::any_of(s.begin(), s.end(),
                       [del](char c) { return static_cast<unsigned char>(c) < 0x20 || (del && c == 0x7F); });
}

// A refusal fit for a message box: it holds `names`, at its very start when
// `first` (a file's "fuzz.tle: "), and is short and plain.
inline void RequireRefusal(std::string_view why, std::string_view names, bool first, std::size_t longest = 400)
{
    const std::size_t at = why.find(names);
    Require(first ? at == 0 : at != std::string_view::npos, "a refusal names what it refuses", why);
    Require(why.size() < longest && !HasControl(why), "a refusal is short and plain", why);
}

// "nan" or "inf" in any case: a number that went wrong on its way to the text.
inline bool ShowsNanOrInf(std::string s)
{
    for (char& c : s) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return s.find("nan") != std::string::npos || s.find("inf") != std::string::npos;
}

// Reads the fuzzer's bytes front to back; past the end everything is 0.
struct Bytes {
    const std::uint8_t* Data;
    std::size_t Size, At = 0;
    std::uint8_t Byte() { return At < Size ? Data[At++] : 0; }
    std::uint64_t Word()
    {
        std::uint64_t w = 0;
        for (int i = 0; i < 8; ++i) w = w << 8 | Byte();
        return w;
    }
    double RawDouble() { return std::bit_cast<double>(Word()); }
};

} // namespace fuzz
