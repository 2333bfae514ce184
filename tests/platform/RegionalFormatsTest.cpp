#include "platform/RegionalFormats.h"
#include "TestSupport.h"
#include "platform/TextForms.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale.h>

namespace tavik {
namespace {

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return DateTime::FromCalendar(year, month, day, hour, minute, second).value();
}

TEST(FormatsFromPatterns, DatePatternGivesOrderSeparatorAndPadding)
{
    const struct { const char* Pattern; const char* Date; } cases[] = { // 2 January 2026
        {"%d/%m/%y", "02/01/2026"}, {"%m/%d/%Y", "01/02/2026"}, {"%-d/%-m/%y", "2/1/2026"}, {"%e.%m.%Y", "2.01.2026"},
        {"%_d.%0m.%Y", "2.01.2026"}, {"%D", "01/02/2026"}, {"%F", "2026-01-02"}, {"%d. %m. %Y", "02. 01. 2026"},
        {"%d/%m/%Ey", "02/01/2026"}, {"%10d/%19m/%Y", "02/01/2026"}, // field widths are skipped
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "2026/01/02"}, // %Y年%m月%d日
        {"%d %b, %Y", "02/01/2026"}, {"%h %-d %Y", "01/2/2026"}, {"%A, %B %d, %Y", "01/02/2026"},
        {"%d!%m!%Y", "02!01!2026"}, {"%d:%m:%Y", "02:01:2026"}, {"%d@%m@%Y", "02@01@2026"}, // punctuation edges
        {"%d[%m[%Y", "02[01[2026"}, {"%d`%m`%Y", "02`01`2026"}, {"%d{%m{%Y", "02{01{2026"}, {"%d~%m~%Y", "02~01~2026"},
        {"%d0%m0%Y", "02/01/2026"}, {"%dA%mA%Y", "02/01/2026"}, // a digit or letter is no separator
        {"%Y-%m", "2026-01-02"}, // no day: the ISO layout
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatShortDate(At(2026, 1, 2), FormatsFromPatterns(c.Pattern, "%T", "", "", "", ".")), c.Date)
            << c.Pattern;
}

TEST(FormatsFromPatterns, TimePatternGivesClockSeparatorPaddingAndDesignators)
{
    const struct { const char* Pattern; const char* AmPm; const char* Am; const char* Pm; const char* Afternoon; const char* Night; } cases[] = {
        {"%T", "", "", "", "17:05:09", "00:30:00"}, {"%k:%M:%S", "", "", "", "17:05:09", "0:30:00"},
        {"kl. %H.%M %z", "", "", "", "17.05.09", "00.30.00"}, // seconds always shown, the zone dropped
        {"%R", "", "", "", "17:05:09", "00:30:00"}, {"%r", "%I:%M:%S %p", "AM", "PM", "05:05:09 PM", "12:30:00 AM"},
        {"%r", "", "AM", "PM", "05:05:09 PM", "12:30:00 AM"}, {"%l:%M:%S %p", "", "AM", "PM", "5:05:09 PM", "12:30:00 AM"},
        {"%Z %I:%M:%S %p", "", "AM", "PM", "05:05:09 PM", "12:30:00 AM"},
        {"%p %I.%M.%S", "", "vorm.", "nachm.", "nachm. 05.05.09", "vorm. 12.30.00"},
        {"%M:%H", "", "", "", "17:05:09", "00:30:00"}, {"", "", "AM", "PM", "17:05:09", "00:30:00"},
    };
    for (const auto& c : cases) {
        const RegionalFormats f = FormatsFromPatterns("%d.%m.%Y", c.Pattern, c.AmPm, c.Am, c.Pm, ",");
        EXPECT_EQ(FormatLongTime(At(2026, 1, 2, 17, 5, 9), f), c.Afternoon) << c.Pattern;
        EXPECT_EQ(FormatLongTime(At(2026, 1, 2, 0, 30, 0), f), c.Night) << c.Pattern;
        EXPECT_EQ(f.DecimalSeparator, ",");
    }
    EXPECT_EQ(FormatsFromPatterns("%d.%m.%Y", "%T", "", "", "", "").DecimalSeparator, ".");
}

// A file got "?" for AM/PM designators and a decimal separator the code page
// lacks: "08/12/2026 11:35:00 ?" no longer told morning from evening.
TEST(Cp1252FileFormats, FormsTheCodePageLacksGiveWayToIsoForms)
{
    RegionalFormats arabic = UsLikeFormats(), latin1 = UsLikeFormats();
    arabic.Order = DateOrder::DayMonthYear;
    arabic.AmDesignator = "\xD8\xB5"; // the Arabic letters of ar_EG
    arabic.PmDesignator = "\xD9\x85";
    latin1.PmDesignator = "p.\xC2\xA0m."; // a no-break space is in the code page
    RegionalFormats all = arabic;
    all.DateSeparator = "\xE2\x80\xA4";
    all.TimeSeparator = "\xEA\x9E\x89";
    all.DecimalSeparator = "\xD9\xAB";
    const std::string cannot = "Windows-1252 cannot hold the locale's ", keeps = "; the screen keeps the locale's forms";
    const struct { RegionalFormats Regional; const char* File; const char* Number; std::string Note; } cases[] = {
        {GermanLikeFormats(), "08.12.2026 23:35:00", "-11,5", ""},
        {latin1, "12/8/2026 11:35:00 p.\xC2\xA0m.", "-11.5", ""},
        {arabic, "8/12/2026 23:35:00", "-11.5",
         cannot + "AM/PM designators \"\xD8\xB5\" and \"\xD9\x85\", so the files use 24-hour time" + keeps},
        {all, "2026-12-08 23:35:00", "-11.5",
         cannot + "date separator \"\xE2\x80\xA4\", AM/PM designators \"\xD8\xB5\" and \"\xD9\x85\", time separator "
                  "\"\xEA\x9E\x89\" and decimal separator \"\xD9\xAB\", so the files use ISO dates, 24-hour time, \":\" "
                  "between hours and minutes and \".\" for decimals" + keeps},
    };
    for (const auto& c : cases) {
        const FileFormats files = Cp1252FileFormats(c.Regional);
        EXPECT_EQ(FormatGeneralDateTime(At(2026, 12, 8, 23, 35, 0), files.Formats), c.File);
        EXPECT_EQ(FormatDefaultDouble(-11.5, files.Formats), c.Number) << c.File;
        EXPECT_EQ(files.Note, c.Note);
        EXPECT_EQ(files.Formats == c.Regional, files.Note.empty()) << c.File;
    }
}

TEST(LocaleTextToUtf8, LegacyCodeSetsAreConvertedAndUtf8OrAsciiKept)
{
    const struct { std::string Text, Codeset; std::optional<std::string> Utf8; } cases[] = {
        {"\xF0\xEC \xEC\xEC", "ISO-8859-7", "\xCF\x80\xCE\xBC \xCE\xBC\xCE\xBC"}, // "πμ μμ" of el_GR
        {"\x80", "KOI8-R", "\xE2\x94\x80"},            // the lowest byte that is not ASCII
        {"AM", "KOI8-R", "AM"},
        {"\xCF\x80", "UTF-8", "\xCF\x80"},
        {"\x80", "NO-SUCH-CODESET", std::nullopt},
        {"\xFF", "UTF-16", std::nullopt}, // half a character
    };
    for (const auto& c : cases) EXPECT_EQ(LocaleTextToUtf8(c.Text, c.Codeset), c.Utf8) << c.Codeset;
}

bool Installed(const char* name)
{
    const locale_t l = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
    if (l != static_cast<locale_t>(0)) freelocale(l);
    return l != static_cast<locale_t>(0);
}

// The locale variables of the test process, cleared for one test.
struct LocaleEnvironment {
    test::EnvScope All{"LC_ALL", nullptr}, Time{"LC_TIME", nullptr}, Numeric{"LC_NUMERIC", nullptr},
        Type{"LC_CTYPE", nullptr}, Lang{"LANG", nullptr};
};

// el_GR is ISO-8859-7: its PM string must come out as the same UTF-8 text as
// under el_GR.UTF-8.
TEST(FormatsFromProcessLocale, CategoriesResolveLikeSetlocaleAndTheGlobalLocaleIsLeftAlone)
{
    const std::string globalBefore = std::setlocale(LC_ALL, nullptr);
    const char *de = "de_DE.UTF-8", *iso = "2026-12-06 17:13:00";
    const struct { std::vector<std::pair<const char*, const char*>> Variables; const char* Evening; const char* Number; } cases[] = {
        {{}, iso, "-12.25"},
        {{{"LC_ALL", "POSIX"}}, iso, "-12.25"}, {{{"LC_ALL", "C.UTF-8"}}, iso, "-12.25"},
        {{{"LC_ALL", "xx_XX.UTF-8"}}, iso, "-12.25"}, // not installed
        {{{"LC_ALL", de}}, "06.12.2026 17:13:00", "-12,25"},
        {{{"LC_ALL", "en_US.UTF-8"}}, "12/06/2026 05:13:00 PM", "-12.25"},
        {{{"LC_ALL", "el_GR"}}, "06/12/2026 05:13:00 \xCE\xBC\xCE\xBC", "-12,25"},
        {{{"LANG", de}}, "06.12.2026 17:13:00", "-12,25"},
        {{{"LC_ALL", ""}, {"LANG", de}}, "06.12.2026 17:13:00", "-12,25"}, // empty is unset
        {{{"LC_TIME", de}, {"LC_NUMERIC", "C"}}, "06.12.2026 17:13:00", "-12.25"},
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
        EXPECT_EQ(FormatDefaultDouble(-12.25, f), c.Number) << c.Evening;
    }
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), globalBefore);
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
}

} // namespace
} // namespace tavik
