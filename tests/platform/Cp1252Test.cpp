#include "platform/Cp1252.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <optional>
#include <string>

namespace tavik {
namespace {

std::string Utf8(char32_t cp)
{
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

// The C library's own converter, as an independent reference; nothing when
// it has no byte for the text.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() { if (ok()) iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> Convert(std::string in)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out(in.size() * 4 + 4, '\0');
        char* ip = in.data();
        char* op = out.data();
        std::size_t il = in.size(), ol = out.size();
        if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1)) return std::nullopt;
        out.resize(out.size() - ol);
        return out;
    }

private:
    iconv_t cd_;
};

TEST(Cp1252Test, EveryBasicPlaneCharacterMatchesTheSystemConverter)
{
    Iconv reference("CP1252", "UTF-8");
    if (!reference.ok()) GTEST_SKIP() << "no CP1252 converter installed";
    int mapped = 0;
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const std::string text = Utf8(cp);
        const std::string expected = reference.Convert(text).value_or("?");
        ASSERT_EQ(Utf8ToCp1252(text), expected) << "U+" << std::hex << static_cast<unsigned>(cp);
        if (expected != "?" && cp >= 0x80) ++mapped;
    }
    EXPECT_EQ(mapped, 96 + 27); // U+00A0..U+00FF and the 27 characters in 0x80..0x9F
}

TEST(Cp1252Test, EveryByteReadsLikeTheSystemConverter)
{
    Iconv reference("UTF-8", "CP1252");
    if (!reference.ok()) GTEST_SKIP() << "no CP1252 converter installed";
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Cp1252ToUtf8(byte), reference.Convert(byte).value_or("?")) << "byte " << b;
    }
}

struct EncodeCase {
    const char* Name;
    std::string Utf8;
    std::string Expected;
};

class Utf8ToCp1252Test : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(Utf8ToCp1252Test, Converts)
{
    EXPECT_EQ(Utf8ToCp1252(GetParam().Utf8), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8ToCp1252Test,
    ::testing::Values(
        EncodeCase{"Ascii", "NOAA 19 (Az 123)", "NOAA 19 (Az 123)"},
        EncodeCase{"NulStays", std::string("a\0b", 3), std::string("a\0b", 3)},
        EncodeCase{"Degree", "29\xC2\xB0", "29\xB0"},
        EncodeCase{"Latin1", "\xC3\xA9t\xC3\xA9 \xC3\xBF", "\xE9t\xE9 \xFF"},
        EncodeCase{"NoBreakSpace", "\xC2\xA0", "\xA0"},
        EncodeCase{"Euro", "\xE2\x82\xAC", "\x80"},
        EncodeCase{"CurlyQuotes", "\xE2\x80\x9Cx\xE2\x80\x9D", "\x93x\x94"},
        EncodeCase{"YDiaeresis", "\xC5\xB8", "\x9F"},
        EncodeCase{"C1ControlHasNoByte", "\xC2\x81", "?"},
        EncodeCase{"Cjk", "\xE4\xB8\xAD", "?"},
        EncodeCase{"AstralIsOneQuestionMark", "a\xF0\x9F\x98\x80z", "a?z"},
        EncodeCase{"StrayContinuation", "a\xB0z", "a?z"},
        EncodeCase{"Latin1ByteNotUtf8", "caf\xE9", "caf?"},
        EncodeCase{"TruncatedAtEnd", "ab\xE2\x82", "ab?"},
        EncodeCase{"TruncatedBeforeAscii", "\xE2\x82" "A", "?A"},
        EncodeCase{"TruncatedBeforeLead", "\xE2\xC2\xB0", "?\xB0"},
        EncodeCase{"Overlong", "\xC0\xAF", "??"},
        EncodeCase{"OverlongThreeBytes", "\xE0\x80\xAF", "???"},
        EncodeCase{"Surrogate", "\xED\xA0\x80", "???"},
        EncodeCase{"BeyondUnicode", "\xF4\x90\x80\x80", "????"},
        EncodeCase{"ImpossibleLead", "\xFF\xFE", "??"}),
    [](const ::testing::TestParamInfo<EncodeCase>& info) { return std::string(info.param.Name); });

TEST(Cp1252Test, UndefinedBytesReadAsQuestionMarks)
{
    EXPECT_EQ(Cp1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "?????");
    EXPECT_EQ(Cp1252ToUtf8("\x80 \xB0 \x9F"), "\xE2\x82\xAC \xC2\xB0 \xC5\xB8");
}

TEST(Cp1252Test, DefinedBytesSurviveTheRoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

TEST(TextToUtf8, KeepsUtf8AndConvertsTheCodePage)
{
    struct Case {
        std::string In, Out;
        bool Valid;
    };
    const Case cases[] = {
        {"NOAA 19", "NOAA 19", true},
        {"CAF\xC3\x89 SAT", "CAF\xC3\x89 SAT", true},      // already UTF-8
        {"CAF\xC9 SAT", "CAF\xC3\x89 SAT", false},         // Windows-1252 E acute
        {"\x80 SAT", "\xE2\x82\xAC SAT", false},           // euro sign
        {"\xC0\x80", "\xC3\x80\xE2\x82\xAC", false},       // overlong NUL is not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC", false}, // a surrogate is not UTF-8
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A", false},        // cut short
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(IsValidUtf8(c.In), c.Valid);
        EXPECT_EQ(TextToUtf8(c.In), c.Out);
    }
}

} // namespace
} // namespace tavik
