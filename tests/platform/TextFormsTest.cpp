#include "platform/TextForms.h"
#include "platform/Cp1252.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tavik {
namespace {

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return DateTime::FromCalendar(year, month, day, hour, minute, second).value();
}

// ---- number patterns "00" and "000" ----

struct PatternCase {
    double Value;
    int Digits;
    const char* Expected;
};

class NumberPatternTest : public ::testing::TestWithParam<PatternCase> {};

TEST_P(NumberPatternTest, RoundsHalvesAwayFromZeroAndPads)
{
    const PatternCase& c = GetParam();
    EXPECT_EQ(FormatNumberPattern(c.Value, c.Digits), c.Expected) << "value " << c.Value;
}

INSTANTIATE_TEST_SUITE_P(
    Table, NumberPatternTest,
    ::testing::Values(
        PatternCase{0.5, 2, "01"}, PatternCase{1.5, 2, "02"}, PatternCase{2.5, 2, "03"},
        PatternCase{99.5, 2, "100"}, PatternCase{-0.5, 2, "-01"}, PatternCase{-0.3, 2, "-00"},
        PatternCase{-7, 2, "-07"}, PatternCase{-12.5, 2, "-13"}, PatternCase{86.99999, 3, "087"},
        PatternCase{100, 3, "100"}, PatternCase{7, 3, "007"}, PatternCase{100, 2, "100"},
        PatternCase{0, 2, "00"}, PatternCase{0, 3, "000"}, PatternCase{29.4, 2, "29"},
        PatternCase{1234.6, 3, "1235"}, PatternCase{-123.5, 3, "-124"},
        // the largest double below 0.5: adding 0.5 before flooring would give 1
        PatternCase{0.49999999999999994, 2, "00"},
        // 2^52 + 1: adding 0.5 would round to the even neighbour 2^52 + 2
        PatternCase{4503599627370497.0, 2, "4503599627370497"},
        PatternCase{1e20, 3, "100000000000000000000"}));

TEST(NumberPatternTest, NegativeZeroIsNotNegative)
{
    EXPECT_EQ(FormatPattern00(-0.0), "00");
    EXPECT_EQ(FormatPattern000(-0.0), "000");
}

TEST(NumberPatternTest, NonFiniteValuesGiveQuestionMarksOfTheWidth)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatPattern00(nan), "??");
    EXPECT_EQ(FormatPattern000(nan), "???");
    EXPECT_EQ(FormatPattern00(inf), "??");
    EXPECT_EQ(FormatPattern000(-inf), "???");
}

TEST(NumberPatternTest, NamedPatternsUseTwoAndThreeDigits)
{
    EXPECT_EQ(FormatPattern00(5), "05");
    EXPECT_EQ(FormatPattern000(5), "005");
}

// ---- default text of a double ----

struct DoubleCase {
    double Value;
    const char* Point;   // text with "." as decimal separator
    const char* Comma;   // the same under a decimal comma
};

class DefaultDoubleTest : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(DefaultDoubleTest, FifteenSignificantDigitsAndRegionalSeparator)
{
    const DoubleCase& c = GetParam();
    EXPECT_EQ(FormatDefaultDouble(c.Value, IsoFormats()), c.Point) << "value " << c.Value;
    EXPECT_EQ(FormatDefaultDouble(c.Value, GermanLikeFormats()), c.Comma) << "value " << c.Value;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DefaultDoubleTest,
    ::testing::Values(
        DoubleCase{23.598123456789012, "23.598123456789", "23,598123456789"},
        DoubleCase{-0.47091234567890123, "-0.470912345678901", "-0,470912345678901"},
        DoubleCase{0.1, "0.1", "0,1"},
        DoubleCase{0.1 + 0.2, "0.3", "0,3"},
        DoubleCase{2.0 / 3.0, "0.666666666666667", "0,666666666666667"},
        DoubleCase{1e-5, "1E-05", "1E-05"},
        DoubleCase{-1.5e-5, "-1.5E-05", "-1,5E-05"},
        DoubleCase{0.0001, "0.0001", "0,0001"},
        DoubleCase{0.00012345, "0.00012345", "0,00012345"},
        DoubleCase{123456789012345678.0, "1.23456789012346E+17", "1,23456789012346E+17"},
        DoubleCase{1e15, "1E+15", "1E+15"},
        DoubleCase{1e14, "100000000000000", "100000000000000"},
        DoubleCase{999999999999999.0, "999999999999999", "999999999999999"},
        // rounding to 15 digits carries into the next power of ten
        DoubleCase{999999999999999.9, "1E+15", "1E+15"},
        DoubleCase{1e300, "1E+300", "1E+300"},
        DoubleCase{5e-324, "4.94065645841247E-324", "4,94065645841247E-324"},
        DoubleCase{100, "100", "100"},
        DoubleCase{1234.5, "1234.5", "1234,5"},
        DoubleCase{-90, "-90", "-90"},
        DoubleCase{0, "0", "0"},
        DoubleCase{-0.0, "0", "0"}));

TEST(DefaultDoubleTest, NonFiniteValuesHaveFixedTexts)
{
    EXPECT_EQ(FormatDefaultDouble(std::numeric_limits<double>::quiet_NaN(), IsoFormats()), "NaN");
    EXPECT_EQ(FormatDefaultDouble(std::numeric_limits<double>::infinity(), IsoFormats()), "Inf");
    EXPECT_EQ(FormatDefaultDouble(-std::numeric_limits<double>::infinity(), IsoFormats()), "-Inf");
}

TEST(DefaultDoubleTest, MultiByteDecimalSeparatorIsUsedAsGiven)
{
    RegionalFormats f = IsoFormats();
    f.DecimalSeparator = "\xD9\xAB"; // U+066B ARABIC DECIMAL SEPARATOR
    EXPECT_EQ(FormatDefaultDouble(2.5, f), "2\xD9\xAB" "5");
}

// ---- dates and times ----

struct DateTimeCase {
    const char* Name;
    RegionalFormats Formats;
    DateTime When;
    const char* ShortDate;
    const char* LongTime;
    const char* General;
};

class DateTimeFormTest : public ::testing::TestWithParam<DateTimeCase> {};

TEST_P(DateTimeFormTest, ShortDateLongTimeAndGeneralForm)
{
    const DateTimeCase& c = GetParam();
    EXPECT_EQ(FormatShortDate(c.When, c.Formats), c.ShortDate);
    EXPECT_EQ(FormatLongTime(c.When, c.Formats), c.LongTime);
    EXPECT_EQ(FormatGeneralDateTime(c.When, c.Formats), c.General);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateTimeFormTest,
    ::testing::Values(
        DateTimeCase{"German", GermanLikeFormats(), At(2026, 12, 6, 5, 13, 0), "06.12.2026", "05:13:00",
                     "06.12.2026 05:13:00"},
        DateTimeCase{"GermanMidnight", GermanLikeFormats(), At(2026, 12, 6), "06.12.2026", "00:00:00",
                     "06.12.2026"},
        DateTimeCase{"GermanOneSecondPastMidnight", GermanLikeFormats(), At(2026, 12, 6, 0, 0, 1),
                     "06.12.2026", "00:00:01", "06.12.2026 00:00:01"},
        DateTimeCase{"Us", UsLikeFormats(), At(2026, 12, 6, 5, 13, 0), "12/6/2026", "5:13:00 AM",
                     "12/6/2026 5:13:00 AM"},
        DateTimeCase{"UsAfterMidnight", UsLikeFormats(), At(2026, 1, 2, 0, 30, 5), "1/2/2026", "12:30:05 AM",
                     "1/2/2026 12:30:05 AM"},
        DateTimeCase{"UsNoon", UsLikeFormats(), At(2026, 1, 2, 12, 0, 0), "1/2/2026", "12:00:00 PM",
                     "1/2/2026 12:00:00 PM"},
        DateTimeCase{"UsEvening", UsLikeFormats(), At(2026, 11, 22, 23, 59, 59), "11/22/2026", "11:59:59 PM",
                     "11/22/2026 11:59:59 PM"},
        DateTimeCase{"UsMidnight", UsLikeFormats(), At(2026, 12, 6), "12/6/2026", "12:00:00 AM", "12/6/2026"},
        DateTimeCase{"Iso", IsoFormats(), At(2026, 12, 6, 5, 13, 0), "2026-12-06", "05:13:00",
                     "2026-12-06 05:13:00"},
        DateTimeCase{"IsoAfternoon", IsoFormats(), At(2026, 12, 6, 17, 5, 9), "2026-12-06", "17:05:09",
                     "2026-12-06 17:05:09"},
        DateTimeCase{"IsoEarlyYearPadsToFourDigits", IsoFormats(), At(99, 3, 4), "0099-03-04", "00:00:00",
                     "0099-03-04"}),
    [](const ::testing::TestParamInfo<DateTimeCase>& info) { return std::string(info.param.Name); });

TEST(DateTimeFormTest, DesignatorBeforeTheTime)
{
    RegionalFormats f = UsLikeFormats();
    f.DesignatorBeforeTime = true;
    f.AmDesignator = "vorm.";
    f.PmDesignator = "nachm.";
    EXPECT_EQ(FormatLongTime(At(2026, 12, 6, 5, 13, 0), f), "vorm. 5:13:00");
    EXPECT_EQ(FormatLongTime(At(2026, 12, 6, 17, 13, 0), f), "nachm. 5:13:00");
}

TEST(DateTimeFormTest, TwelveHourWithoutDesignatorsAddsNoBlank)
{
    RegionalFormats f = UsLikeFormats();
    f.AmDesignator.clear();
    f.PmDesignator.clear();
    EXPECT_EQ(FormatLongTime(At(2026, 12, 6, 17, 13, 0), f), "5:13:00");
}

struct DatePatternCase {
    RegionalFormats Formats;
    const char* Expected;
};

class DatePatternTest : public ::testing::TestWithParam<DatePatternCase> {};

TEST_P(DatePatternTest, YearMonthDayWithRegionalSeparatorAndFullPadding)
{
    EXPECT_EQ(FormatDatePattern(At(2026, 2, 3, 14, 0, 0), GetParam().Formats), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, DatePatternTest,
                         ::testing::Values(DatePatternCase{GermanLikeFormats(), "2026.02.03"},
                                           DatePatternCase{UsLikeFormats(), "2026/02/03"},
                                           DatePatternCase{IsoFormats(), "2026-02-03"}));

// ---- reading the start date ----

struct DateTextCase {
    const char* Day;
    const char* Month;
    const char* Year;
    DateTextField Wrong;   // None: valid
    const char* Mentions;  // text the error message must contain
    int Y, M, D;           // the expected day when valid
};

class ParseDateTextsTest : public ::testing::TestWithParam<DateTextCase> {};

TEST_P(ParseDateTextsTest, AcceptsRealDaysAndNamesTheWrongText)
{
    const DateTextCase& c = GetParam();
    ParsedDate parsed = ParseDateTexts(c.Day, c.Month, c.Year);
    if (c.Wrong == DateTextField::None) {
        ASSERT_TRUE(parsed) << parsed.Error;
        EXPECT_EQ(*parsed.Date, At(c.Y, c.M, c.D));
        EXPECT_TRUE(parsed.Date->IsMidnight());
        EXPECT_TRUE(parsed.Error.empty());
    } else {
        EXPECT_FALSE(parsed);
        EXPECT_EQ(parsed.WrongField, c.Wrong);
        EXPECT_NE(parsed.Error.find(c.Mentions), std::string::npos) << parsed.Error;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseDateTextsTest,
    ::testing::Values(
        DateTextCase{"6", "12", "2026", DateTextField::None, "", 2026, 12, 6},
        DateTextCase{" 05 ", "01", " 2026\t", DateTextField::None, "", 2026, 1, 5},
        DateTextCase{"29", "2", "2024", DateTextField::None, "", 2024, 2, 29},
        DateTextCase{"1", "1", "1", DateTextField::None, "", 1, 1, 1},
        DateTextCase{"31", "12", "9999", DateTextField::None, "", 9999, 12, 31},
        DateTextCase{"31", "2", "2026", DateTextField::Day, "31", 0, 0, 0},
        DateTextCase{"29", "2", "2023", DateTextField::Day, "28 days", 0, 0, 0},
        DateTextCase{"31", "4", "2026", DateTextField::Day, "April", 0, 0, 0},
        DateTextCase{"0", "1", "2026", DateTextField::Day, "\"0\"", 0, 0, 0},
        DateTextCase{"-1", "1", "2026", DateTextField::Day, "\"-1\"", 0, 0, 0},
        DateTextCase{"", "12", "2026", DateTextField::Day, "empty", 0, 0, 0},
        DateTextCase{"  ", "12", "2026", DateTextField::Day, "empty", 0, 0, 0},
        DateTextCase{"ab", "12", "2026", DateTextField::Day, "\"ab\"", 0, 0, 0},
        DateTextCase{"6 6", "12", "2026", DateTextField::Day, "\"6 6\"", 0, 0, 0},
        DateTextCase{"6", "", "2026", DateTextField::Month, "empty", 0, 0, 0},
        DateTextCase{"6", "1x", "2026", DateTextField::Month, "\"1x\"", 0, 0, 0},
        DateTextCase{"6", "13", "2026", DateTextField::Month, "\"13\"", 0, 0, 0},
        DateTextCase{"6", "0", "2026", DateTextField::Month, "\"0\"", 0, 0, 0},
        DateTextCase{"6", "12", "", DateTextField::Year, "empty", 0, 0, 0},
        DateTextCase{"6", "12", "0", DateTextField::Year, "\"0\"", 0, 0, 0},
        DateTextCase{"6", "12", "10000", DateTextField::Year, "\"10000\"", 0, 0, 0},
        DateTextCase{"6", "12", "99999999999999999999", DateTextField::Year, "9999", 0, 0, 0},
        DateTextCase{"6", "12", "2O26", DateTextField::Year, "\"2O26\"", 0, 0, 0},
        // the day is only judged once month and year are known to be sound
        DateTextCase{"31", "13", "2026", DateTextField::Month, "\"13\"", 0, 0, 0}));

struct YearTextCase {
    const char* Text;
    int Expected; // 0: an error naming the text
};

class ParseYearTextTest : public ::testing::TestWithParam<YearTextCase> {};

TEST_P(ParseYearTextTest, YearsOneToNineThousandNineHundredNinetyNine)
{
    const YearTextCase& c = GetParam();
    ParsedYear parsed = ParseYearText(c.Text);
    if (c.Expected != 0) {
        ASSERT_TRUE(parsed) << parsed.Error;
        EXPECT_EQ(*parsed.Year, c.Expected);
    } else {
        EXPECT_FALSE(parsed);
        EXPECT_FALSE(parsed.Error.empty());
        if (std::string(c.Text).find_first_not_of(" ") != std::string::npos) {
            EXPECT_NE(parsed.Error.find(std::string("\"") + c.Text + "\""), std::string::npos) << parsed.Error;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ParseYearTextTest,
                         ::testing::Values(YearTextCase{"2024", 2024}, YearTextCase{" 0099 ", 99},
                                           YearTextCase{"1", 1}, YearTextCase{"9999", 9999},
                                           YearTextCase{"0", 0}, YearTextCase{"10000", 0},
                                           YearTextCase{"-2024", 0}, YearTextCase{"20x4", 0},
                                           YearTextCase{"2024.5", 0}, YearTextCase{"", 0},
                                           YearTextCase{"   ", 0}));

// A typed text is quoted in the message that refuses it; a pasted megabyte
// made a megabyte of message, and a control character went into it as is.
TEST(ParseDateTextsTest, MessageQuotesAtMostFortyBytesWithoutControlCharacters)
{
    const std::string huge(1 << 20, '7');
    ParsedYear year = ParseYearText(huge + "x");
    ASSERT_FALSE(year);
    EXPECT_LT(year.Error.size(), 120u) << year.Error;
    EXPECT_NE(year.Error.find("\"" + std::string(40, '7') + "...\""), std::string::npos) << year.Error;

    ParsedDate date = ParseDateTexts("6", "1\n2", "2026");
    ASSERT_FALSE(date);
    EXPECT_EQ(date.WrongField, DateTextField::Month);
    EXPECT_NE(date.Error.find("\"1?2\""), std::string::npos) << date.Error;

    std::string omegas;
    for (int i = 0; i < 30; ++i) omegas += "\u03A9";
    date = ParseDateTexts("x" + omegas, "1", "2026");
    ASSERT_FALSE(date);
    EXPECT_TRUE(IsValidUtf8(date.Error)) << date.Error;
}

} // namespace
} // namespace tavik
