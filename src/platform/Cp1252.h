// Windows-1252, the single-byte code page of the files tavik reads and
// writes. Text inside tavik is UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// One character of UTF-8 text. Where the bytes at that place are no
// well-formed sequence (overlong, a surrogate, past U+10FFFF, cut short),
// Valid is false, CodePoint is the first byte's value and Length counts the
// bytes up to the first that cannot continue the sequence (at least 1).
struct Utf8Character {
    char32_t CodePoint = 0;
    std::size_t Length = 1;
    bool Valid = true;
};
// The character that begins at byte `at` (< text.size()): the one UTF-8
// decoder every reader of text in tavik goes through.
Utf8Character DecodeUtf8(std::string_view text, std::size_t at);

// ASCII stays; U+00A0..U+00FF become the byte of the same value; the 27
// characters Windows-1252 places in 0x80..0x9F (the euro sign, curly quotes,
// dashes...) become their bytes. Every other character, and every malformed
// UTF-8 sequence, becomes one "?".
std::string Utf8ToCp1252(std::string_view utf8);

// Whether Utf8ToCp1252 writes every character of the text as itself, with
// no "?" in place of one the code page lacks.
bool FitsCp1252(std::string_view utf8);

// Whether the bytes are well-formed UTF-8 (ASCII included).
bool IsValidUtf8(std::string_view bytes);

// Text read from a file that may be UTF-8 or Windows-1252: kept as it is when
// it is valid UTF-8, converted from Windows-1252 otherwise.
std::string TextToUtf8(std::string_view bytes);

// The reverse; the five bytes Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become "?".
std::string Cp1252ToUtf8(std::string_view bytes);

// The characters of UTF-8 text, one view per code point; a byte that starts
// no well-formed sequence is a character of its own.
std::vector<std::string_view> Utf8Characters(std::string_view utf8);

// The code point of one character as Utf8Characters gives it; a lone byte
// gives its own value.
char32_t Utf8CodePoint(std::string_view character);

// Characters that act on a terminal or on the direction of the text around
// them instead of showing: the C0 and C1 controls, DEL, and the
// bidirectional embeddings, overrides and isolates (U+202A to U+202E,
// U+2066 to U+2069).
bool IsControlCharacter(char32_t cp);

} // namespace tavik
