#include "platform/RegionalFormats.h"
#include "platform/Cp1252.h"
#include "platform/TextForms.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <locale.h>
#include <map>
#include <optional>
#include <string>

namespace tavik {
namespace {

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return DateTime::FromCalendar(year, month, day, hour, minute, second).value();
}

// ---- layouts from strftime patterns ----

struct DatePatternCase {
    const char* Pattern;
    const char* Expected; // 2 January 2026 in the resulting short date
};

class DateFromPatternTest : public ::testing::TestWithParam<DatePatternCase> {};

TEST_P(DateFromPatternTest, OrderSeparatorAndPadding)
{
    const DatePatternCase& c = GetParam();
    RegionalFormats f = FormatsFromPatterns(c.Pattern, "%H:%M:%S", "", "", "", ".");
    EXPECT_EQ(FormatShortDate(At(2026, 1, 2), f), c.Expected) << "pattern " << c.Pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateFromPatternTest,
    ::testing::Values(
        DatePatternCase{"%d.%m.%Y", "02.01.2026"},
        DatePatternCase{"%d/%m/%y", "02/01/2026"}, // two-digit years are widened
        DatePatternCase{"%m/%d/%Y", "01/02/2026"},
        DatePatternCase{"%-d/%-m/%y", "2/1/2026"},
        DatePatternCase{"%e.%m.%Y", "2.01.2026"},
        DatePatternCase{"%_d.%0m.%Y", "2.01.2026"},
        DatePatternCase{"%Y-%m-%d", "2026-01-02"},
        DatePatternCase{"%D", "01/02/2026"},
        DatePatternCase{"%F", "2026-01-02"},
        DatePatternCase{"%d. %m. %Y", "02. 01. 2026"},
        DatePatternCase{"%Y.%m.%d.", "2026.01.02"},
        DatePatternCase{"%d/%m/%Ey", "02/01/2026"},
        DatePatternCase{"%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "2026/01/02"}, // %Y年%m月%d日
        DatePatternCase{"%d %b, %Y", "02/01/2026"},
        DatePatternCase{"%b %d %Y", "01/02/2026"},
        DatePatternCase{"%A, %B %d, %Y", "01/02/2026"},
        DatePatternCase{"%a, %Y.eko %bren %da", "2026/01/02"},
        DatePatternCase{"%Y-%m", "2026-01-02"}, // no day: the ISO layout
        DatePatternCase{"", "2026-01-02"}));

struct TimePatternCase {
    const char* Pattern;
    const char* AmPmPattern;
    const char* Am;
    const char* Pm;
    const char* Afternoon; // 17:05:09
    const char* Night;     // 00:30:00
};

class TimeFromPatternTest : public ::testing::TestWithParam<TimePatternCase> {};

TEST_P(TimeFromPatternTest, ClockSeparatorPaddingAndDesignators)
{
    const TimePatternCase& c = GetParam();
    RegionalFormats f = FormatsFromPatterns("%d.%m.%Y", c.Pattern, c.AmPmPattern, c.Am, c.Pm, ",");
    EXPECT_EQ(FormatLongTime(At(2026, 1, 2, 17, 5, 9), f), c.Afternoon) << "pattern " << c.Pattern;
    EXPECT_EQ(FormatLongTime(At(2026, 1, 2, 0, 30, 0), f), c.Night) << "pattern " << c.Pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TimeFromPatternTest,
    ::testing::Values(
        TimePatternCase{"%T", "", "", "", "17:05:09", "00:30:00"},
        TimePatternCase{"%H:%M:%S", "", "", "", "17:05:09", "00:30:00"},
        TimePatternCase{"%k:%M:%S", "", "", "", "17:05:09", "0:30:00"},
        TimePatternCase{"%H.%M.%S", "", "", "", "17.05.09", "00.30.00"},
        // seconds are always shown; the zone is dropped
        TimePatternCase{"kl. %H.%M %z", "", "", "", "17.05.09", "00.30.00"},
        TimePatternCase{"%R", "", "", "", "17:05:09", "00:30:00"},
        TimePatternCase{"%H\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92", "", "", "", "17:05:09", "00:30:00"},
        TimePatternCase{"%r", "%I:%M:%S %p", "AM", "PM", "05:05:09 PM", "12:30:00 AM"},
        TimePatternCase{"%l:%M:%S %p", "", "AM", "PM", "5:05:09 PM", "12:30:00 AM"},
        TimePatternCase{"%Z %I:%M:%S %p", "", "AM", "PM", "05:05:09 PM", "12:30:00 AM"},
        // %p %I時%M分%S秒 %Z with Korean designators
        TimePatternCase{"%p %I\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92 %Z", "", "\xEC\x98\xA4\xEC\xA0\x84",
                        "\xEC\x98\xA4\xED\x9B\x84", "\xEC\x98\xA4\xED\x9B\x84 05:05:09",
                        "\xEC\x98\xA4\xEC\xA0\x84 12:30:00"},
        TimePatternCase{"%I:%M:%S", "", "", "", "05:05:09", "12:30:00"},
        TimePatternCase{"", "", "AM", "PM", "17:05:09", "00:30:00"}));

TEST(FormatsFromPatternsTest, RadixBecomesTheDecimalSeparator)
{
    EXPECT_EQ(FormatsFromPatterns("%d.%m.%Y", "%T", "", "", "", ",").DecimalSeparator, ",");
    EXPECT_EQ(FormatsFromPatterns("%d.%m.%Y", "%T", "", "", "", "").DecimalSeparator, ".");
}

TEST(FormatsFromPatternsTest, TheCLocalePatternsGiveUsOrderWithLeadingZeros)
{
    // What glibc's C locale reports, should a caller pass it on unchecked.
    RegionalFormats f = FormatsFromPatterns("%m/%d/%y", "%H:%M:%S", "%I:%M:%S %p", "AM", "PM", ".");
    EXPECT_EQ(FormatGeneralDateTime(At(2026, 12, 6, 5, 13, 0), f), "12/06/2026 05:13:00");
}

TEST(PresetsTest, IsoIsTheDefaultValue)
{
    EXPECT_EQ(IsoFormats(), RegionalFormats{});
    EXPECT_NE(GermanLikeFormats(), IsoFormats());
    EXPECT_NE(UsLikeFormats(), IsoFormats());
}

// ---- forms a Windows-1252 file can hold ----

// A file got "?" for AM/PM designators and a decimal separator the code page
// lacks: "08/12/2026 11:35:00 ?" no longer told morning from evening.
TEST(Cp1252FileFormatsTest, FormsTheCodePageLacksGiveWayToIsoForms)
{
    RegionalFormats arabic = UsLikeFormats();
    arabic.Order = DateOrder::DayMonthYear;
    arabic.AmDesignator = "\xD8\xB5"; // the Arabic letters of ar_EG
    arabic.PmDesignator = "\xD9\x85";
    RegionalFormats pashto = IsoFormats();
    pashto.DecimalSeparator = "\xD9\xAB"; // Arabic decimal separator
    RegionalFormats both = arabic;
    both.DecimalSeparator = pashto.DecimalSeparator;
    RegionalFormats greek = GermanLikeFormats();
    greek.TwelveHour = true;
    greek.AmDesignator = "\xCF\x80\xCE\xBC";
    greek.PmDesignator = "\xCE\xBC\xCE\xBC";
    RegionalFormats latin1 = UsLikeFormats();
    latin1.AmDesignator = "a.m.";
    latin1.PmDesignator = "p.\xC2\xA0m."; // a no-break space is in the code page

    const DateTime evening = At(2026, 12, 8, 23, 35, 0);
    struct Case {
        const char* Label;
        RegionalFormats Regional;
        const char* File;   // the evening in the file's forms
        const char* Number; // -11.5 in the file's forms
        const char* Note;
    } cases[] = {
        {"ISO", IsoFormats(), "2026-12-08 23:35:00", "-11.5", ""},
        {"German", GermanLikeFormats(), "08.12.2026 23:35:00", "-11,5", ""},
        {"US", UsLikeFormats(), "12/8/2026 11:35:00 PM", "-11.5", ""},
        {"Latin-1 designators", latin1, "12/8/2026 11:35:00 p.\xC2\xA0m.", "-11.5", ""},
        {"Arabic designators", arabic, "8/12/2026 23:35:00", "-11.5",
         "Windows-1252 cannot hold the locale's AM/PM designators \"\xD8\xB5\" and \"\xD9\x85\", so the files use "
         "24-hour time; the screen keeps the locale's forms"},
        {"Arabic decimal separator", pashto, "2026-12-08 23:35:00", "-11.5",
         "Windows-1252 cannot hold the locale's decimal separator \"\xD9\xAB\", so the files use \".\" for decimals; "
         "the screen keeps the locale's forms"},
        {"both", both, "8/12/2026 23:35:00", "-11.5",
         "Windows-1252 cannot hold the locale's AM/PM designators \"\xD8\xB5\" and \"\xD9\x85\" and decimal "
         "separator \"\xD9\xAB\", so the files use 24-hour time and \".\" for decimals; the screen keeps the locale's forms"},
        {"Greek designators", greek, "08.12.2026 23:35:00", "-11,5",
         "Windows-1252 cannot hold the locale's AM/PM designators \"\xCF\x80\xCE\xBC\" and \"\xCE\xBC\xCE\xBC\", so the "
         "files use 24-hour time; the screen keeps the locale's forms"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Label);
        const FileFormats files = Cp1252FileFormats(c.Regional);
        EXPECT_EQ(FormatGeneralDateTime(evening, files.Formats), c.File);
        EXPECT_EQ(FormatDefaultDouble(-11.5, files.Formats), c.Number);
        EXPECT_EQ(files.Note, c.Note);
        EXPECT_EQ(files.Formats == c.Regional, files.Note.empty());
    }
}

// ---- the process locale ----

// Sets the locale variables for one test and puts the old values back.
class LocaleEnvironment {
public:
    LocaleEnvironment()
    {
        for (const char* name : Names) {
            const char* value = std::getenv(name);
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
            ::unsetenv(name);
        }
    }
    ~LocaleEnvironment()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

    void Set(const char* name, const char* value) { ::setenv(name, value, 1); }

private:
    static constexpr const char* Names[] = {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_CTYPE", "LANG"};
    std::map<std::string, std::optional<std::string>> saved_;
};

bool Installed(const char* name)
{
    locale_t l = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0)) return false;
    freelocale(l);
    return true;
}

TEST(ProcessLocaleTest, GermanLocale)
{
    if (!Installed("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    LocaleEnvironment env;
    env.Set("LC_ALL", "de_DE.UTF-8");
    RegionalFormats f = FormatsFromProcessLocale();
    EXPECT_EQ(f.Order, DateOrder::DayMonthYear);
    EXPECT_EQ(f.DateSeparator, ".");
    EXPECT_EQ(f.DecimalSeparator, ",");
    EXPECT_FALSE(f.TwelveHour);
    EXPECT_EQ(FormatGeneralDateTime(At(2026, 12, 6, 5, 13, 0), f), "06.12.2026 05:13:00");
    EXPECT_EQ(FormatDefaultDouble(-12.25, f), "-12,25");
}

TEST(ProcessLocaleTest, UsEnglishLocaleUsesTheTwelveHourClock)
{
    if (!Installed("en_US.UTF-8")) GTEST_SKIP() << "en_US.UTF-8 is not installed";
    LocaleEnvironment env;
    env.Set("LC_ALL", "en_US.UTF-8");
    RegionalFormats f = FormatsFromProcessLocale();
    EXPECT_EQ(f.Order, DateOrder::MonthDayYear);
    EXPECT_TRUE(f.TwelveHour);
    EXPECT_EQ(FormatGeneralDateTime(At(2026, 12, 6, 17, 13, 0), f), "12/06/2026 05:13:00 PM");
    EXPECT_EQ(f.DecimalSeparator, ".");
}

TEST(ProcessLocaleTest, LegacyCodeSetTextArrivesAsUtf8)
{
    // el_GR is ISO-8859-7; its AM string must come out as the same UTF-8 text
    // as under el_GR.UTF-8.
    if (!Installed("el_GR") || !Installed("el_GR.UTF-8")) GTEST_SKIP() << "Greek locales are not installed";
    LocaleEnvironment env;
    env.Set("LC_ALL", "el_GR.UTF-8");
    RegionalFormats utf8 = FormatsFromProcessLocale();
    env.Set("LC_ALL", "el_GR");
    RegionalFormats legacy = FormatsFromProcessLocale();
    EXPECT_EQ(legacy, utf8);
    EXPECT_EQ(legacy.AmDesignator, "\xCF\x80\xCE\xBC"); // "πμ"
}

struct EnvironmentCase {
    const char* Name;
    std::map<std::string, std::string> Variables;
    DateOrder Order;
    const char* Decimal;
};

class ProcessLocaleEnvironmentTest : public ::testing::TestWithParam<EnvironmentCase> {};

TEST_P(ProcessLocaleEnvironmentTest, CategoriesResolveLikeSetlocale)
{
    if (!Installed("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    const EnvironmentCase& c = GetParam();
    LocaleEnvironment env;
    for (const auto& [name, value] : c.Variables) env.Set(name.c_str(), value.c_str());
    RegionalFormats f = FormatsFromProcessLocale();
    EXPECT_EQ(f.Order, c.Order);
    EXPECT_EQ(f.DecimalSeparator, c.Decimal);
    if (c.Order == DateOrder::YearMonthDay) {
        RegionalFormats expected = IsoFormats();
        expected.DecimalSeparator = c.Decimal;
        EXPECT_EQ(f, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProcessLocaleEnvironmentTest,
    ::testing::Values(
        EnvironmentCase{"Nothing", {}, DateOrder::YearMonthDay, "."},
        EnvironmentCase{"AllC", {{"LC_ALL", "C"}}, DateOrder::YearMonthDay, "."},
        EnvironmentCase{"AllPosix", {{"LC_ALL", "POSIX"}}, DateOrder::YearMonthDay, "."},
        EnvironmentCase{"AllCUtf8", {{"LC_ALL", "C.UTF-8"}}, DateOrder::YearMonthDay, "."},
        EnvironmentCase{"LangOnly", {{"LANG", "de_DE.UTF-8"}}, DateOrder::DayMonthYear, ","},
        EnvironmentCase{"EmptyAllIsIgnored", {{"LC_ALL", ""}, {"LANG", "de_DE.UTF-8"}}, DateOrder::DayMonthYear, ","},
        EnvironmentCase{"TimeOnly", {{"LC_TIME", "de_DE.UTF-8"}, {"LC_NUMERIC", "C"}}, DateOrder::DayMonthYear, "."},
        EnvironmentCase{"NumericOnly", {{"LANG", "C"}, {"LC_NUMERIC", "de_DE.UTF-8"}}, DateOrder::YearMonthDay, ","},
        EnvironmentCase{"AllOverridesCategories", {{"LC_ALL", "C"}, {"LC_TIME", "de_DE.UTF-8"}, {"LANG", "de_DE.UTF-8"}},
                        DateOrder::YearMonthDay, "."},
        EnvironmentCase{"NotInstalled", {{"LC_ALL", "xx_XX.UTF-8"}}, DateOrder::YearMonthDay, "."}),
    [](const ::testing::TestParamInfo<EnvironmentCase>& info) { return std::string(info.param.Name); });

// The locales whose forms Windows-1252 lacks: what their files get fits it.
TEST(ProcessLocaleTest, FilesOfEveryLocaleGetFormsWindows1252Holds)
{
    const DateTime morning = At(2026, 12, 8, 11, 35, 0), evening = At(2026, 12, 8, 23, 35, 0);
    for (const char* name : {"ar_EG.UTF-8", "ps_AF.UTF-8", "hi_IN.UTF-8", "bn_BD.UTF-8", "my_MM.UTF-8", "de_DE.UTF-8",
                             "en_US.UTF-8", "el_GR.UTF-8"}) {
        if (!Installed(name)) continue;
        SCOPED_TRACE(name);
        LocaleEnvironment env;
        env.Set("LC_ALL", name);
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

TEST(ProcessLocaleTest, CLocaleGivesIsoFormats)
{
    LocaleEnvironment env;
    env.Set("LC_ALL", "C");
    EXPECT_EQ(FormatsFromProcessLocale(), IsoFormats());
}

TEST(ProcessLocaleTest, LeavesTheGlobalLocaleAlone)
{
    if (!Installed("de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    const std::string before = std::setlocale(LC_ALL, nullptr);
    LocaleEnvironment env;
    env.Set("LC_ALL", "de_DE.UTF-8");
    FormatsFromProcessLocale();
    EXPECT_EQ(std::setlocale(LC_ALL, nullptr), before);
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
}

} // namespace
} // namespace tavik
