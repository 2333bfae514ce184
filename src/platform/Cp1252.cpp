#include "platform/Cp1252.h"

#include <cstdint>

namespace tavik {

namespace {

// Code points of the bytes 0x80..0x9F; 0 where the code page defines none.
constexpr char32_t HighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98-9F
};

int ByteFor(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (HighControls[i] != 0 && HighControls[i] == cp) return 0x80 + i;
    return '?';
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

Utf8Character DecodeUtf8(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return {lead, 1, true};
    // Length and the allowed range of the second byte, which rules out
    // overlong forms, surrogates and code points beyond U+10FFFF.
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    char32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    // A stray continuation byte or an impossible lead.
    if (length == 0) return {lead, 1, false};
    for (std::size_t k = 1; k < length; ++k) {
        if (at + k >= text.size()) return {lead, k, false};
        const auto c = static_cast<unsigned char>(text[at + k]);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return {lead, k, false};
        cp = (cp << 6) | (c & 0x3F);
    }
    return {cp, length, true};
}

std::string Utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    // A broken sequence counts as one "?" up to the first byte that cannot
    // continue it; that byte starts afresh.
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Character c = DecodeUtf8(utf8, i);
        out += c.Valid ? static_cast<char>(ByteFor(c.CodePoint)) : '?';
        i += c.Length;
    }
    return out;
}

bool FitsCp1252(std::string_view utf8)
{
    if (!IsValidUtf8(utf8)) return false;
    for (std::string_view c : Utf8Characters(utf8)) {
        const char32_t cp = Utf8CodePoint(c);
        if (cp != '?' && ByteFor(cp) == '?') return false;
    }
    return true;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char32_t cp = b >= 0x80 && b <= 0x9F ? HighControls[b - 0x80] : b;
        if (b != 0 && cp == 0)
            out += '?';
        else
            AppendUtf8(out, cp);
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Character c = DecodeUtf8(bytes, i);
        if (!c.Valid) return false;
        i += c.Length;
    }
    return true;
}

std::string TextToUtf8(std::string_view bytes) { return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes); }

std::vector<std::string_view> Utf8Characters(std::string_view utf8)
{
    std::vector<std::string_view> characters;
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Character c = DecodeUtf8(utf8, i);
        const std::size_t length = c.Valid ? c.Length : 1;
        characters.push_back(utf8.substr(i, length));
        i += length;
    }
    return characters;
}

char32_t Utf8CodePoint(std::string_view character)
{
    if (character.empty()) return 0;
    return DecodeUtf8(character, 0).CodePoint;
}

bool IsControlCharacter(char32_t cp)
{
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || (cp >= 0x202A && cp <= 0x202E) || (cp >= 0x2066 && cp <= 0x2069);
}

} // namespace tavik
