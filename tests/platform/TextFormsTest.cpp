// The text forms of numbers and dates, the reading of the typed start date,
// and the small text helpers the readers share.
#include "platform/TextForms.h"
#include "TestSupport.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace tavik {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return DateTime::FromCalendar(year, month, day, hour, minute, second).value();
}

TEST(FormatNumberPattern, RoundsHalvesAwayFromZeroAndPadsKeepingTheSign)
{
    const struct { double Value; int Digits; const char* Text; } cases[] = {
        {0.5, 2, "01"}, {2.5, 2, "03"}, {99.5, 2, "100"}, {-0.5, 2, "-01"}, {-0.3, 2, "-00"}, {-12.5, 2, "-13"},
        {86.99999, 3, "087"}, {-0.0, 3, "000"}, {1234.6, 3, "1235"}, {5, 0, "5"}, {1e20, 3, "100000000000000000000"},
        {0.49999999999999994, 2, "00"},             // adding 0.5 before flooring would give 1
        {4503599627370497.0, 2, "4503599627370497"}, // 2^52 + 1: adding 0.5 rounds to 2^52 + 2
        {NaN, 2, "??"}, {-Inf, 3, "???"},           // no digits to show, the width kept
    };
    for (const auto& c : cases) EXPECT_EQ(FormatNumberPattern(c.Value, c.Digits), c.Text) << c.Value;
}

TEST(FormatDefaultDouble, FifteenSignificantDigitsAndTheRegionalSeparator)
{
    const struct { double Value; const char* Point; } cases[] = {
        {-0.47091234567890123, "-0.470912345678901"}, {0.1 + 0.2, "0.3"}, {1e-5, "1E-05"}, {-1.5e-5, "-1.5E-05"},
        {0.00012345, "0.00012345"}, {123456789012345678.0, "1.23456789012346E+17"}, {1e15, "1E+15"},
        {999999999999999.0, "999999999999999"}, {1e14, "100000000000000"},
        {999999999999999.9, "1E+15"}, // rounding to 15 digits carries into the next power of ten
        {1e300, "1E+300"}, {5e-324, "4.94065645841247E-324"}, {1234.5, "1234.5"}, {-90, "-90"}, {-0.0, "0"},
        {NaN, "NaN"}, {Inf, "Inf"}, {-Inf, "-Inf"},
    };
    for (const auto& c : cases) {
        std::string comma = c.Point;
        std::replace(comma.begin(), comma.end(), '.', ',');
        EXPECT_EQ(FormatDefaultDouble(c.Value, IsoFormats()), c.Point) << c.Value;
        EXPECT_EQ(FormatDefaultDouble(c.Value, GermanLikeFormats()), comma) << c.Value;
    }
}

TEST(DateTimeForms, RegionalShortDateLongTimeGeneralFormAndDatePattern)
{
    RegionalFormats before = UsLikeFormats(), bare = UsLikeFormats();
    before.DesignatorBeforeTime = true;
    before.PmDesignator = "nachm.";
    bare.PmDesignator.clear();
    const struct { RegionalFormats Formats; DateTime When; const char* General; const char* Pattern; } cases[] = {
        {GermanLikeFormats(), At(2026, 12, 6), "06.12.2026", "2026.12.06"}, // midnight: the date alone
        {GermanLikeFormats(), At(2026, 12, 6, 0, 0, 1), "06.12.2026 00:00:01", "2026.12.06"},
        {UsLikeFormats(), At(2026, 1, 2, 0, 30, 5), "1/2/2026 12:30:05 AM", "2026/01/02"},
        {UsLikeFormats(), At(2026, 1, 2, 12, 0, 0), "1/2/2026 12:00:00 PM", "2026/01/02"},
        {IsoFormats(), At(99, 3, 4, 11), "0099-03-04 11:00:00", "0099-03-04"},
        {before, At(2026, 12, 6, 17, 13, 0), "12/6/2026 nachm. 5:13:00", "2026/12/06"},
        {bare, At(2026, 12, 6, 17, 13, 0), "12/6/2026 5:13:00", "2026/12/06"}, // no blank for no designator
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatGeneralDateTime(c.When, c.Formats), c.General);
        EXPECT_EQ(FormatDatePattern(c.When, c.Formats), c.Pattern);
    }
}

TEST(ParseDateTexts, AcceptsRealDaysAndNamesTheWrongTextBriefly)
{
    using F = DateTextField;
    const struct { std::string Day, Month, Year; F Wrong; std::string Says; int Y, M, D; } cases[] = {
        {" 05 ", "01", " 2026\t", F::None, "", 2026, 1, 5}, {"+29", "2", "2024", F::None, "", 2024, 2, 29},
        {"1", "1", "1", F::None, "", 1, 1, 1}, {"31", "12", "9999", F::None, "", 9999, 12, 31},
        {"31", "2", "2026", F::Day, "The day \"31\" does not exist: February 2026 has 28 days.", 0, 0, 0},
        {"31", "4", "2026", F::Day, "April 2026 has 30 days", 0, 0, 0},
        {"0", "1", "2026", F::Day, "\"0\"", 0, 0, 0}, {"  ", "12", "2026", F::Day, "The day is empty.", 0, 0, 0},
        {"6 6", "12", "2026", F::Day, "The day \"6 6\" is not a whole number.", 0, 0, 0},
        {"6", "-", "2026", F::Month, "The month \"-\" is not a whole number.", 0, 0, 0},
        {"6", "1\n2", "2026", F::Month, "\"1?2\"", 0, 0, 0}, // no control character in the message
        {"6", "13", "2026", F::Month, "The month \"13\" is not between 1 and 12.", 0, 0, 0},
        {"6", "0", "2026", F::Month, "\"0\"", 0, 0, 0}, {"6", "12", "", F::Year, "The year is empty.", 0, 0, 0},
        {"6", "12", "0", F::Year, "The year \"0\" is not between 1 and 9999.", 0, 0, 0},
        {"6", "12", "10000", F::Year, "\"10000\"", 0, 0, 0}, {"6", "12", "99999999999999999999", F::Year, "9999", 0, 0, 0},
        {"31", "13", "2026", F::Month, "\"13\"", 0, 0, 0}, // the day is judged once month and year are sound
        {"6", "12", std::string(1 << 20, '7') + "x", F::Year, "\"" + std::string(40, '7') + "...\"", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Day + "|" + c.Month + "|" + c.Year.substr(0, 50));
        const ParsedDate parsed = ParseDateTexts(c.Day, c.Month, c.Year);
        EXPECT_EQ(parsed.WrongField, c.Wrong);
        if (c.Wrong == F::None) {
            EXPECT_EQ(parsed.Date, At(c.Y, c.M, c.D));
            EXPECT_EQ(parsed.Error, "");
        } else {
            EXPECT_FALSE(parsed);
            EXPECT_TRUE(test::Contains(parsed.Error, c.Says) && parsed.Error.size() < 200) << parsed.Error;
        }
    }
}

TEST(ParseYearText, YearsOneTo9999)
{
    const struct { const char* Text; int Year; const char* Says; } cases[] = {
        {"2024", 2024, ""}, {" 0099 ", 99, ""}, {"1", 1, ""}, {"9999", 9999, ""},
        {"0", 0, "The year \"0\" is not between 1 and 9999."}, {"10000", 0, "\"10000\" is not between"},
        {"-2024", 0, "\"-2024\""}, {"2024.5", 0, "The year \"2024.5\" is not a whole number."},
        {"", 0, "The year is empty."}, {"   ", 0, "The year is empty."},
    };
    for (const auto& c : cases) {
        const ParsedYear parsed = ParseYearText(c.Text);
        EXPECT_EQ(parsed.Year.value_or(0), c.Year) << c.Text;
        EXPECT_TRUE(test::Contains(parsed.Error, c.Says) && parsed.Error.empty() == (c.Year != 0)) << parsed.Error;
    }
}

std::string AllLines(std::string_view text)
{
    std::string out;
    LineReader lines(text);
    while (const auto line = lines.Next()) out += "[" + std::string(*line) + "]";
    return out;
}

std::string NoMark(std::string_view text) { return std::string(WithoutByteOrderMark(text, "a.txt")); }
std::string Trimmed(std::string_view text) { return std::string(TrimBlanks(text)); }
std::string Prefix5(std::string_view text) { return std::string(Utf8Prefix(text, 5)); }
std::string QuotedText(std::string_view text) { return Quoted(text); }

TEST(TextToolkit, LinesTrimmingQuotingAndCutsBetweenCharacters)
{
    const std::string omega = "\u03A9", seven40(40, '7');
    const struct { std::string (*Apply)(std::string_view); std::string In, Out; } cases[] = {
        {AllLines, "", ""},
        {AllLines, "a", "[a]"},
        {AllLines, "a\r\nb\rc\nd", "[a][b][c][d]"},
        {AllLines, "a\r\r\nb\n\n", "[a][][b][]"},
        {AllLines, "\r\n", "[]"},
        {AllLines, "a\r", "[a]"},
        {NoMark, "\xEF\xBB\xBFJO40", "JO40"},
        {NoMark, "J\xEF\xBB\xBF", "J\xEF\xBB\xBF"},
        {Trimmed, " \t a b\t ", "a b"},
        {Trimmed, " \t ", ""},
        {Prefix5, "abcdef", "abcde"},
        {Prefix5, "abcd" + omega, "abcd"},  // not half of the omega
        {Prefix5, "abc" + omega, "abc" + omega},
        {Prefix5, omega + omega + omega, omega + omega},
        {Prefix5, "\x80\x80\x80\x80\x80\x80", ""},
        {QuotedText, "a b", "\"a b\""},
        {QuotedText, "1\n2\t\x7F", "\"1?2?\x7F\""},
        {QuotedText, seven40, "\"" + seven40 + "\""},
        {QuotedText, seven40 + "7", "\"" + seven40 + "...\""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Apply(c.In), c.Out) << c.In;
    for (const char* utf16 : {"\xFF\xFE" "J", "\xFE\xFF" "J"})
        EXPECT_EQ(test::InputErrorMessage([&] { NoMark(utf16); }),
                  "a.txt: the file is in UTF-16 (it begins with a UTF-16 byte order mark); save it as UTF-8 or "
                  "Windows-1252 text");
}

} // namespace
} // namespace tavik
