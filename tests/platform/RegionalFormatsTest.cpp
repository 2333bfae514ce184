#include "platform/RegionalFormats.h"
#include "TestSupport.h"
#include "platform/Cp1252.h"
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
        {"%d.%m.%Y", "02.01.2026"},    {"%d/%m/%y", "02/01/2026"}, // two-digit years are widened
        {"%m/%d/%Y", "01/02/2026"},    {"%-d/%-m/%y", "2/1/2026"},   {"%e.%m.%Y", "2.01.2026"},
        {"%_d.%0m.%Y", "2.01.2026"},   {"%Y-%m-%d", "2026-01-02"},   {"%D", "01/02/2026"},
        {"%F", "2026-01-02"},          {"%d. %m. %Y", "02. 01. 2026"}, {"%Y.%m.%d.", "2026.01.02"},
        {"%d/%m/%Ey", "02/01/2026"},   {"%10d/%19m/%Y", "02/01/2026"}, // field widths are skipped
        {"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "2026/01/02"}, // %Y年%m月%d日
        {"%d %b, %Y", "02/01/2026"},   {"%h %-d %Y", "01/2/2026"},   {"%A, %B %d, %Y", "01/02/2026"},
        {"%a, %Y.eko %bren %da", "2026/01/02"},
        {"%Y-%m", "2026-01-02"}, {"", "2026-01-02"}, // no day: the ISO layout
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatShortDate(At(2026, 1, 2), FormatsFromPatterns(c.Pattern, "%T", "", "", "", ".")), c.Date)
            << c.Pattern;
}

TEST(FormatsFromPatterns, TimePatternGivesClockSeparatorPaddingAndDesignators)
{
    const struct { const char* Pattern; const char* AmPm; const char* Am; const char* Pm; const char* Afternoon; const char* Night; } cases[] = {
        {"%T", "", "", "", "17:05:09", "00:30:00"},
        {"%k:%M:%S", "", "", "", "17:05:09", "0:30:00"},
        {"%H.%M.%S", "", "", "", "17.05.09", "00.30.00"},
        {"kl. %H.%M %z", "", "", "", "17.05.09", "00.30.00"}, // seconds always shown, the zone dropped
        {"%R", "", "", "", "17:05:09", "00:30:00"},
        {"%H\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92", "", "", "", "17:05:09", "00:30:00"},
        {"%r", "%I:%M:%S %p", "AM", "PM", "05:05:09 PM", "12:30:00 AM"},
        {"%r", "", "AM", "PM", "05:05:09 PM", "12:30:00 AM"},
        {"%l:%M:%S %p", "", "AM", "PM", "5:05:09 PM", "12:30:00 AM"},
        {"%Z %I:%M:%S %p", "", "AM", "PM", "05:05:09 PM", "12:30:00 AM"},
        // %p %I時%M分%S秒 with Korean designators
        {"%p %I\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92", "", "\xEC\x98\xA4\xEC\xA0\x84", "\xEC\x98\xA4\xED\x9B\x84",
         "\xEC\x98\xA4\xED\x9B\x84 05:05:09", "\xEC\x98\xA4\xEC\xA0\x84 12:30:00"},
        {"%I:%M:%S", "", "", "", "05:05:09", "12:30:00"},
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
    RegionalFormats arabic = UsLikeFormats();
    arabic.Order = DateOrder::DayMonthYear;
    arabic.AmDesignator = "\xD8\xB5"; // the Arabic letters of ar_EG
    arabic.PmDesignator = "\xD9\x85";
    RegionalFormats pashto = IsoFormats();
    pashto.DecimalSeparator = "\xD9\xAB"; // Arabic decimal separator
    RegionalFormats both = arabic;
    both.DecimalSeparator = pashto.DecimalSeparator;
    RegionalFormats separators = GermanLikeFormats();
    separators.DateSeparator = "\xE2\x80\xA4";
    separators.TimeSeparator = "\xEA\x9E\x89";
    RegionalFormats latin1 = UsLikeFormats();
    latin1.AmDesignator = "a.m.";
    latin1.PmDesignator = "p.\xC2\xA0m."; // a no-break space is in the code page
    const std::string keeps = "; the screen keeps the locale's forms";
    const struct { const char* Label; RegionalFormats Regional; const char* File; const char* Number; std::string Note; } cases[] = {
        {"German", GermanLikeFormats(), "08.12.2026 23:35:00", "-11,5", ""},
        {"US", UsLikeFormats(), "12/8/2026 11:35:00 PM", "-11.5", ""},
        {"Latin-1 designators", latin1, "12/8/2026 11:35:00 p.\xC2\xA0m.", "-11.5", ""},
        {"Arabic designators", arabic, "8/12/2026 23:35:00", "-11.5",
         "Windows-1252 cannot hold the locale's AM/PM designators \"\xD8\xB5\" and \"\xD9\x85\", so the files use "
         "24-hour time" + keeps},
        {"Arabic decimal separator", pashto, "2026-12-08 23:35:00", "-11.5",
         "Windows-1252 cannot hold the locale's decimal separator \"\xD9\xAB\", so the files use \".\" for decimals"
         + keeps},
        {"both", both, "8/12/2026 23:35:00", "-11.5",
         "Windows-1252 cannot hold the locale's AM/PM designators \"\xD8\xB5\" and \"\xD9\x85\" and decimal "
         "separator \"\xD9\xAB\", so the files use 24-hour time and \".\" for decimals" + keeps},
        {"separators", separators, "2026-12-08 23:35:00", "-11,5",
         "Windows-1252 cannot hold the locale's date separator \"\xE2\x80\xA4\" and time separator \"\xEA\x9E\x89\", "
         "so the files use ISO dates and \":\" between hours and minutes" + keeps},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const FileFormats files = Cp1252FileFormats(c.Regional);
        EXPECT_EQ(FormatGeneralDateTime(At(2026, 12, 8, 23, 35, 0), files.Formats), c.File);
        EXPECT_EQ(FormatDefaultDouble(-11.5, files.Formats), c.Number);
        EXPECT_EQ(files.Note, c.Note);
        EXPECT_EQ(files.Formats == c.Regional, files.Note.empty());
    }
}

TEST(LocaleTextToUtf8, LegacyCodeSetsAreConvertedAndUtf8OrAsciiKept)
{
    const struct { std::string Text, Codeset; std::optional<std::string> Utf8; } cases[] = {
        {"\xF0\xEC", "ISO-8859-7", "\xCF\x80\xCE\xBC"}, // "πμ" of el_GR
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

TEST(FormatsFromProcessLocale, CategoriesResolveLikeSetlocaleAndTheGlobalLocaleIsLeftAlone)
{
    if (!Installed("de_DE.UTF-8") || !Installed("en_US.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 or en_US.UTF-8 is missing";
    const std::string globalBefore = std::setlocale(LC_ALL, nullptr);
    const struct { std::vector<std::pair<const char*, const char*>> Variables; const char* Evening; const char* Number; } cases[] = {
        {{}, "2026-12-06 17:13:00", "-12.25"},
        {{{"LC_ALL", "C"}}, "2026-12-06 17:13:00", "-12.25"},
        {{{"LC_ALL", "POSIX"}}, "2026-12-06 17:13:00", "-12.25"},
        {{{"LC_ALL", "C.UTF-8"}}, "2026-12-06 17:13:00", "-12.25"},
        {{{"LC_ALL", "xx_XX.UTF-8"}}, "2026-12-06 17:13:00", "-12.25"}, // not installed
        {{{"LC_ALL", "de_DE.UTF-8"}}, "06.12.2026 17:13:00", "-12,25"},
        {{{"LC_ALL", "en_US.UTF-8"}}, "12/06/2026 05:13:00 PM", "-12.25"},
        {{{"LANG", "de_DE.UTF-8"}}, "06.12.2026 17:13:00", "-12,25"},
        {{{"LC_ALL", ""}, {"LANG", "de_DE.UTF-8"}}, "06.12.2026 17:13:00", "-12,25"}, // empty is unset
        {{{"LC_TIME", "de_DE.UTF-8"}, {"LC_NUMERIC", "C"}}, "06.12.2026 17:13:00", "-12.25"},
        {{{"LANG", "C"}, {"LC_NUMERIC", "de_DE.UTF-8"}}, "2026-12-06 17:13:00", "-12,25"},
        {{{"LC_ALL", "C"}, {"LC_TIME", "de_DE.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, "2026-12-06 17:13:00", "-12.25"},
    };
    for (const auto& c : cases) {
        LocaleEnvironment env;
        for (const auto& [name, value] : c.Variables) ::setenv(name, value, 1);
        const RegionalFormats f = FormatsFromProcessLocale();
        EXPECT_EQ(FormatGeneralDateTime(At(2026, 12, 6, 17, 13, 0), f), c.Evening) << c.Evening;
        EXPECT_EQ(FormatDefaultDouble(-12.25, f), c.Number) << c.Evening;
    }
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), globalBefore);
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
}

// el_GR is ISO-8859-7: its AM string must come out as the same UTF-8 text as
// under el_GR.UTF-8.
TEST(FormatsFromProcessLocale, LegacyCodeSetTextArrivesAsUtf8)
{
    if (!Installed("el_GR") || !Installed("el_GR.UTF-8")) GTEST_SKIP() << "Greek locales are not installed";
    LocaleEnvironment env;
    ::setenv("LC_ALL", "el_GR.UTF-8", 1);
    const RegionalFormats utf8 = FormatsFromProcessLocale();
    ::setenv("LC_ALL", "el_GR", 1);
    const RegionalFormats legacy = FormatsFromProcessLocale();
    EXPECT_EQ(legacy, utf8);
    EXPECT_EQ(legacy.AmDesignator, "\xCF\x80\xCE\xBC"); // "πμ"
}

// The locales whose forms Windows-1252 lacks: what their files get fits it.
TEST(FormatsFromProcessLocale, FilesOfEveryLocaleGetFormsWindows1252Holds)
{
    const DateTime morning = At(2026, 12, 8, 11, 35, 0), evening = At(2026, 12, 8, 23, 35, 0);
    for (const char* name : {"ar_EG.UTF-8", "ps_AF.UTF-8", "hi_IN.UTF-8", "bn_BD.UTF-8", "my_MM.UTF-8", "de_DE.UTF-8",
                             "en_US.UTF-8", "el_GR.UTF-8"}) {
        if (!Installed(name)) continue;
        SCOPED_TRACE(name);
        LocaleEnvironment env;
        ::setenv("LC_ALL", name, 1);
        const RegionalFormats regional = FormatsFromProcessLocale();
        const FileFormats files = Cp1252FileFormats(regional);
        const std::string texts[] = {FormatGeneralDateTime(morning, files.Formats),
                                     FormatGeneralDateTime(evening, files.Formats),
                                     FormatDefaultDouble(11.9885781509708, files.Formats)};
        for (const std::string& text : texts) EXPECT_TRUE(FitsCp1252(text)) << text;
        EXPECT_NE(texts[0], texts[1]) << "morning and evening stay apart";
        const bool regionalFits = FitsCp1252(FormatGeneralDateTime(evening, regional))
                                  && FitsCp1252(FormatDefaultDouble(11.9885781509708, regional));
        EXPECT_EQ(files.Note.empty(), regionalFits) << files.Note;
    }
}

} // namespace
} // namespace tavik
