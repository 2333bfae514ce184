#include "platform/Cp1252.h"

#include <gtest/gtest.h>

#include <iconv.h>

namespace tavik {
namespace {

struct Iconv { // the C library's converter as an independent reference; "?" where it has no byte
    iconv_t Cd;
    Iconv(const char* to, const char* from) : Cd(iconv_open(to, from)) {}
    ~Iconv() { if (Ok()) iconv_close(Cd); }
    bool Ok() const { return Cd != reinterpret_cast<iconv_t>(-1); }
    std::string Convert(std::string in)
    {
        std::string out(in.size() * 4 + 4, '\0');
        char *ip = in.data(), *op = out.data();
        std::size_t il = in.size(), ol = out.size();
        iconv(Cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        if (iconv(Cd, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return "?";
        return out.substr(0, out.size() - ol);
    }
};

TEST(Cp1252, EveryBasicPlaneCharacterAndEveryByteConvertLikeTheSystemConverter)
{
    Iconv encode("CP1252", "UTF-8"), decode("UTF-8", "CP1252"), utf8("UTF-8", "UTF-32LE");
    if (!encode.Ok() || !decode.Ok() || !utf8.Ok()) GTEST_SKIP() << "no CP1252 converter installed";
    int mapped = 0;
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const char le[4] = {static_cast<char>(cp & 0xFF), static_cast<char>(cp >> 8), 0, 0};
        const std::string character = utf8.Convert(std::string(le, 4));
        const std::string expected = encode.Convert(character);
        ASSERT_EQ(Utf8ToCp1252(character), expected) << "U+" << std::hex << static_cast<unsigned>(cp);
        mapped += expected != "?" && cp >= 0x80;
    }
    EXPECT_EQ(mapped, 96 + 27); // U+00A0..U+00FF and the 27 characters in 0x80..0x9F
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, char(b));
        EXPECT_EQ(Cp1252ToUtf8(byte), decode.Convert(byte)) << b;
    }
}

TEST(Utf8ToCp1252, EachMalformedSequenceIsOneQuestionMarkUpToTheByteThatBreaksIt)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a\xF0\x9F\x98\x80z", "a?z"},  {"\xF4\x8F\xBF\xBF", "?"}, // U+10000.., U+10FFFF: no byte
        {"a\xB0z", "a?z"},              {"caf\xE9", "caf?"},       // stray continuation, Latin-1 byte
        {"ab\xE2\x82", "ab?"},          {"\xE2\x82" "A", "?A"},    {"\xE2\xC2\xB0", "?\xB0"}, // cut short
        {"\xC1\xBF", "??"},             {"\xE0\x9F\xBF", "???"},   {"\xF0\x8F\xBF\xBF", "????"}, // overlong
        {"\xED\xA0\x80", "???"},        {"\xF4\x90\x80\x80", "????"}, {"\xFF\xFE", "??"}, // surrogate, beyond Unicode
    };
    for (const auto& [utf8, bytes] : cases) EXPECT_EQ(Utf8ToCp1252(utf8), bytes) << utf8;
    EXPECT_EQ(Utf8ToCp1252(std::string_view("a\xC3\xA9", 2)), "a?");
}

// The decoder of the conversion above; the basic plane is the converter test's, the malformed forms the table's.
TEST(IsValidUtf8, TakesTheEdgesBeyondTheBasicPlaneAndRefusesStrayOrCutBytes)
{
    const std::pair<std::string, bool> edges[] = {
        {"\xF0\x90\x80\x80", true}, {"\xF4\x8F\xBF\xBF", true}, // U+10000 and U+10FFFF
        {"NOAA 19", true}, {"\x80", false}, {"\xC2", false}, // a stray continuation, a sequence cut short
    };
    for (const auto& [text, valid] : edges) EXPECT_EQ(IsValidUtf8(text), valid) << text;
    EXPECT_FALSE(IsValidUtf8(std::string_view("\xC2\x80", 1))); // cut short, whatever lies beyond the view
}

// Names show these as "?" or "_": one missed lets a name turn the text around it.
TEST(IsControlCharacter, C0C1AndTheBidiControlsToTheirLastCodePoint)
{
    for (char32_t cp : {0x1F, 0x7F, 0x9F, 0x202A, 0x202E, 0x2066, 0x2069})
        EXPECT_TRUE(IsControlCharacter(cp)) << int(cp);
    for (char32_t cp : {0x20, 0x7E, 0xA0, 0x2029, 0x202F, 0x2065, 0x206A})
        EXPECT_FALSE(IsControlCharacter(cp)) << int(cp);
}

} // namespace
} // namespace tavik
