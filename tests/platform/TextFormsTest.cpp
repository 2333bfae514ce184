#include "platform/TextForms.h"
#include "TestSupport.h"
#include "platform/RegionalFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <limits>
#include <locale.h>

namespace tavik {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return DateTime::FromCalendar(y, mo, d, h, mi, s).value();
}

// Adding 0.5 before flooring would round 0.49999999999999994 up and 2^52 + 1 to 2^52 + 2.
TEST(FormatNumber, PatternRoundsHalvesAwayFromZeroAndPadsDefaultKeepsFifteenDigits)
{
    const struct { double Value; int Digits; const char* Pattern; const char* Default; } cases[] = {
        {0.5, 2, "01", "0.5"}, {99.5, 2, "100", "99.5"}, {-0.5, 2, "-01", "-0.5"}, {-0.3, 2, "-00", "-0.3"},
        {-0.0, 3, "000", "0"}, {1234.6, 3, "1235", "1234.6"}, {5, 0, "5", "5"},
        {1e20, 3, "100000000000000000000", "1E+20"}, {0.49999999999999994, 2, "00", "0.5"},
        {4503599627370497.0, 2, "4503599627370497", "4.5035996273705E+15"},
        {-0.47091234567890123, 2, "-00", "-0.470912345678901"}, {1e-5, 2, "00", "1E-05"},
        {0.00012345, 2, "00", "0.00012345"}, {1e15, 2, "1000000000000000", "1E+15"},
        {999999999999999.0, 2, "999999999999999", "999999999999999"},
        {999999999999999.9, 2, "1000000000000000", "1E+15"}, // rounding to 15 digits carries into the next power of ten
        {NaN, 2, "??", "NaN"}, {Inf, 2, "??", "Inf"}, {-Inf, 3, "???", "-Inf"},
    };
    for (const auto& c : cases) {
        std::string comma = c.Default;
        std::replace(comma.begin(), comma.end(), '.', ',');
        EXPECT_EQ(FormatNumberPattern(c.Value, c.Digits), c.Pattern) << c.Value;
        EXPECT_EQ(FormatDefaultDouble(c.Value, IsoFormats()), c.Default) << c.Value;
        EXPECT_EQ(FormatDefaultDouble(c.Value, GermanLikeFormats()), comma) << c.Value;
    }
}

TEST(ParseDateTexts, AcceptsRealDaysAndNamesTheWrongTextBriefly)
{
    using F = DateTextField;
    const struct {
        std::string Day, Month, Year;
        F Wrong;
        std::string Says; // the ISO date, or the message
    } cases[] = {
        {" 05 ", "01", " 2026\t", F::None, "2026-01-05"}, {"+29", "2", "2024", F::None, "2024-02-29"},
        {"1", "1", "1", F::None, "0001-01-01"}, {"31", "12", "9999", F::None, "9999-12-31"},
        {"31", "2", "2026", F::Day, "The day \"31\" does not exist: February 2026 has 28 days."},
        {"0", "1", "2026", F::Day, "\"0\""},
        {"  ", "12", "2026", F::Day, "The day is empty."},
        {"6", "-", "2026", F::Month, "The month \"-\" is not a whole number."},
        {"6", "1\n2", "2026", F::Month, "\"1?2\""}, // no control character in the message
        {"6", "13", "2026", F::Month, "The month \"13\" is not between 1 and 12."},
        {"6", "0", "2026", F::Month, "\"0\""}, {"6", "12", "", F::Year, "The year is empty."},
        {"6", "12", "0", F::Year, "The year \"0\" is not between 1 and 9999."},
        {"6", "12", "10000", F::Year, "\"10000\""}, {"6", "12", "99999999999999999999", F::Year, "9999"},
        {"6", "12", "2024.5", F::Year, "The year \"2024.5\" is not a whole number."},
        {"31", "13", "2026", F::Month, "\"13\""}, // the day is judged once month and year are sound
        {"6", "12", std::string(1 << 20, '7') + "x", F::Year, "\"" + std::string(40, '7') + "...\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Day + "|" + c.Month + "|" + c.Year.substr(0, 50));
        const ParsedDate parsed = ParseDateTexts(c.Day, c.Month, c.Year);
        const ParsedYear year = ParseYearText(c.Year);
        EXPECT_EQ(parsed.WrongField, c.Wrong);
        if (c.Wrong == F::None) { // the year file's year box reads years as the start date's does
            ASSERT_TRUE(parsed) << parsed.Error;
            EXPECT_EQ(parsed.Error, "");
            EXPECT_EQ(FormatDatePattern(*parsed.Date, IsoFormats()), c.Says);
            EXPECT_TRUE(parsed.Date->IsMidnight());
            EXPECT_EQ(year.Year, parsed.Date->Fields().Year);
            EXPECT_EQ(year.Error, "");
        } else {
            EXPECT_FALSE(parsed);
            EXPECT_TRUE(test::Contains(parsed.Error, c.Says)) << parsed.Error;
            EXPECT_LT(parsed.Error.size(), 200u) << parsed.Error;
            if (c.Wrong == F::Year) {
                EXPECT_FALSE(year.Year);
                EXPECT_EQ(year.Error, parsed.Error);
            }
        }
    }
}

// The year typed for a forecast: two digits in the TLE epochs' window, else 1957 to 2200.
TEST(ParseForecastYear, TwoDigitsInTheTleWindowAndFourWithinItsYears)
{
    const struct { const char* Text; int Year; const char* Says; } cases[] = {
        {" 26", 2026, ""}, {"56", 2056, ""}, {"57", 1957, ""}, {"0", 2000, ""}, {"2200", 2200, ""},
        {"2201", 0, "The year \"2201\" is outside 1957 to 2200"}, {"0026", 0, "\"0026\" is outside"},
        {"1956", 0, "outside"}, {"x", 0, "not a whole"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        const ParsedYear parsed = ParseForecastYear(c.Text);
        EXPECT_EQ(parsed.Year.value_or(0), c.Year);
        EXPECT_TRUE(test::Contains(parsed.Error, c.Says)) << parsed.Error;
        EXPECT_EQ(parsed.Error.empty(), c.Year != 0) << parsed.Error;
    }
}

TEST(FormatsFromPatterns, DatePatternGivesOrderSeparatorAndPadding)
{
    const struct { const char* Pattern; const char* Date; } cases[] = { // 2 January 2026
        {"%d/%m/%y", "02/01/2026"}, {"%m/%d/%Y", "01/02/2026"}, {"%-d/%-m/%y", "2/1/2026"}, {"%e.%m.%Y", "2.01.2026"},
        {"%_d.%0m.%Y", "2.01.2026"}, {"%D", "01/02/2026"}, {"%F", "2026-01-02"}, {"%d. %m. %Y", "02. 01. 2026"},
        {"%d/%m/%Ey", "02/01/2026"}, {"%10d/%19m/%Y", "02/01/2026"}, // field widths are skipped
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "2026/01/02"}, // %Y年%m月%d日
        {"%A, %B %d, %Y", "01/02/2026"},
        {"%d!%m!%Y", "02!01!2026"}, {"%d:%m:%Y", "02:01:2026"}, {"%d@%m@%Y", "02@01@2026"}, // punctuation edges
        {"%d[%m[%Y", "02[01[2026"}, {"%d`%m`%Y", "02`01`2026"}, {"%d{%m{%Y", "02{01{2026"}, {"%d~%m~%Y", "02~01~2026"},
        {"%d0%m0%Y", "02/01/2026"}, {"%dA%mA%Y", "02/01/2026"}, // a digit or letter is no separator
        {"%Y-%m", "2026-01-02"}, // no day: the ISO layout
    };
    for (const auto& c : cases) {
        const RegionalFormats f = FormatsFromPatterns(c.Pattern, "%T", "", "", "", ".");
        EXPECT_EQ(FormatShortDate(At(2026, 1, 2), f), c.Date) << c.Pattern;
    }
}

TEST(FormatsFromPatterns, TimePatternGivesClockSeparatorPaddingAndDesignators)
{
    const struct {
        const char *Pattern, *AmPm, *Am, *Pm, *Afternoon, *Night;
    } cases[] = {
        {"%k:%M:%S", "", "", "", "17:05:09", "0:30:00"},
        {"kl. %H.%M %z", "", "", "", "17.05.09", "00.30.00"}, // seconds always shown, the zone dropped
        {"%r", "", "AM", "PM", "05:05:09 PM", "12:30:00 AM"},
        {"%l:%M:%S %p", "", "AM", "PM", "5:05:09 PM", "12:30:00 AM"},
        {"%p %I.%M.%S", "", "vorm.", "nachm.", "nachm. 05.05.09", "vorm. 12.30.00"},
        {"%M:%H", "", "", "", "17:05:09", "00:30:00"}, {"", "", "AM", "PM", "17:05:09", "00:30:00"},
    };
    for (const auto& c : cases) {
        const RegionalFormats f = FormatsFromPatterns("%d.%m.%Y", c.Pattern, c.AmPm, c.Am, c.Pm, ",");
        SCOPED_TRACE(c.Pattern);
        EXPECT_EQ(FormatLongTime(At(2026, 1, 2, 17, 5, 9), f), c.Afternoon);
        EXPECT_EQ(FormatLongTime(At(2026, 1, 2, 0, 30, 0), f), c.Night);
    }
    EXPECT_EQ(FormatsFromPatterns("%d.%m.%Y", "%T", "", "", "", "").DecimalSeparator, ".");
}

// Files got "?" for AM/PM designators and decimal separators Windows-1252 lacks: "08/12/2026 11:35:00 ?".
TEST(DateTimeForms, RegionalFormsAndInFilesTheFormsWindows1252CanHold)
{
    RegionalFormats before = UsLikeFormats();
    before.DesignatorBeforeTime = true;
    before.PmDesignator = "nachm.";
    RegionalFormats bare = UsLikeFormats();
    bare.PmDesignator.clear();
    RegionalFormats latin1 = UsLikeFormats();
    latin1.PmDesignator = "p.\xC2\xA0m."; // a no-break space is in the code page
    RegionalFormats arabic = UsLikeFormats(); // ar_EG's designators alone: the command line's tests
    arabic.Order = DateOrder::DayMonthYear;
    arabic.AmDesignator = "\xD8\xB5";
    arabic.PmDesignator = "\xD9\x85";
    RegionalFormats all = arabic;
    all.DateSeparator = "\xE2\x80\xA4";
    all.TimeSeparator = "\xEA\x9E\x89";
    all.DecimalSeparator = "\xD9\xAB";
    const std::string cannot = "Windows-1252 cannot hold the locale's ";
    const std::string keeps = "; the screen keeps the locale's forms";
    const struct {
        RegionalFormats Formats;
        DateTime When;
        const char *General, *Pattern;
        std::string Note;
    } cases[] = {
        {GermanLikeFormats(), At(2026, 12, 6), "06.12.2026", "2026.12.06", ""}, // midnight: the date alone
        {GermanLikeFormats(), At(2026, 12, 6, 0, 0, 1), "06.12.2026 00:00:01", "2026.12.06", ""},
        {UsLikeFormats(), At(2026, 1, 2, 0, 30, 5), "1/2/2026 12:30:05 AM", "2026/01/02", ""},
        {UsLikeFormats(), At(2026, 1, 2, 12, 0, 0), "1/2/2026 12:00:00 PM", "2026/01/02", ""},
        {IsoFormats(), At(99, 3, 4, 11), "0099-03-04 11:00:00", "0099-03-04", ""},
        {before, At(2026, 12, 6, 17, 13, 0), "12/6/2026 nachm. 5:13:00", "2026/12/06", ""},
        {bare, At(2026, 12, 6, 17, 13, 0), "12/6/2026 5:13:00", "2026/12/06", ""}, // no blank for no designator
        {latin1, At(2026, 12, 8, 23, 35, 0), "12/8/2026 11:35:00 p.\xC2\xA0m.", "2026/12/08", ""},
        {all, At(2026, 12, 8, 23, 35, 0), "2026-12-08 23:35:00", "2026-12-08",
         cannot + "date separator \"\xE2\x80\xA4\", AM/PM designators \"\xD8\xB5\" and \"\xD9\x85\", time separator "
                  "\"\xEA\x9E\x89\" and decimal separator \"\xD9\xAB\", so the files use ISO dates, 24-hour time, "
                  "\":\" between hours and minutes and \".\" for decimals" + keeps},
    };
    for (const auto& c : cases) {
        const FileFormats files = Cp1252FileFormats(c.Formats);
        EXPECT_EQ(FormatGeneralDateTime(c.When, files.Formats), c.General);
        EXPECT_EQ(FormatDatePattern(c.When, files.Formats), c.Pattern);
        EXPECT_EQ(FormatDefaultDouble(-11.5, files.Formats), c.Formats.DecimalSeparator == "," ? "-11,5" : "-11.5");
        EXPECT_EQ(files.Note, c.Note) << c.General;
        EXPECT_EQ(files.Formats == c.Formats, files.Note.empty()) << c.General;
    }
}

bool Installed(const char* name)
{
    const locale_t l = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0)) return false;
    freelocale(l);
    return true;
}

struct LocaleEnvironment { // the process's locale variables, cleared for one test
    test::EnvScope All{"LC_ALL", nullptr}, Time{"LC_TIME", nullptr}, Numeric{"LC_NUMERIC", nullptr},
        Type{"LC_CTYPE", nullptr}, Lang{"LANG", nullptr};
};

// el_GR is ISO-8859-7: its PM string must come out as UTF-8.
TEST(FormatsFromProcessLocale, CategoriesResolveLikeSetlocaleAndTheGlobalLocaleIsLeftAlone)
{
    const std::string globalBefore = std::setlocale(LC_ALL, nullptr);
    // xx_XX is not installed; an empty variable counts as unset.
    const char *de = "de_DE.UTF-8", *iso = "2026-12-06 17:13:00", *german = "06.12.2026 17:13:00";
    const struct {
        std::vector<std::pair<const char*, const char*>> Variables;
        const char* Evening;
        const char* Number;
    } cases[] = {
        {{}, iso, "-12.25"}, {{{"LC_ALL", "POSIX"}}, iso, "-12.25"}, {{{"LC_ALL", "C.UTF-8"}}, iso, "-12.25"},
        {{{"LC_ALL", "xx_XX.UTF-8"}}, iso, "-12.25"},
        {{{"LC_ALL", "en_US.UTF-8"}}, "12/06/2026 05:13:00 PM", "-12.25"},
        {{{"LC_ALL", "el_GR"}}, "06/12/2026 05:13:00 \xCE\xBC\xCE\xBC", "-12,25"}, {{{"LANG", de}}, german, "-12,25"},
        {{{"LC_ALL", ""}, {"LANG", de}}, german, "-12,25"},
        {{{"LC_TIME", de}, {"LC_NUMERIC", "C"}}, german, "-12.25"},
        {{{"LANG", "C"}, {"LC_NUMERIC", de}}, iso, "-12,25"},
        {{{"LC_ALL", "C"}, {"LC_TIME", de}, {"LANG", de}}, iso, "-12.25"},
    };
    for (const auto& c : cases) {
        LocaleEnvironment env;
        bool installed = true;
        for (const auto& [name, value] : c.Variables) {
            installed = installed && (!*value || Installed(value) || std::string_view(value) == "xx_XX.UTF-8");
            ::setenv(name, value, 1);
        }
        if (!installed) continue;
        const RegionalFormats f = FormatsFromProcessLocale();
        EXPECT_EQ(FormatGeneralDateTime(At(2026, 12, 6, 17, 13, 0), f), c.Evening);
        EXPECT_EQ(FormatDefaultDouble(-12.25, f), c.Number);
    }
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), globalBefore);
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
}

} // namespace
} // namespace tavik
