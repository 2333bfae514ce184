// What tavik needs of the user's regional settings: how a short date and a
// long time are laid out and which character separates decimals. Dates and
// numbers written into lists and files follow these forms, so they are read
// once at start-up and passed down as a plain value.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

struct RegionalFormats {
    // Short date. The year is always written with four digits, even where the
    // regional layout asks for two, so that no written date is ambiguous.
    DateOrder Order = DateOrder::YearMonthDay;
    std::string DateSeparator = "-";
    bool DayLeadingZero = true;
    bool MonthLeadingZero = true;

    // Long time: hours, minutes and seconds; minutes and seconds always have
    // two digits.
    bool TwelveHour = false;
    std::string TimeSeparator = ":";
    bool HourLeadingZero = true;
    std::string AmDesignator; // used only with TwelveHour
    std::string PmDesignator;
    bool DesignatorBeforeTime = false; // "AM 5:13:00" rather than "5:13:00 AM"

    std::string DecimalSeparator = ".";

    friend bool operator==(const RegionalFormats&, const RegionalFormats&) = default;
};

// The C/POSIX choice: "2026-12-06", "05:13:00", ".".
RegionalFormats IsoFormats();
// day.month.year with leading zeros, 24 hours, decimal comma:
// "06.12.2026", "05:13:00", ",".
RegionalFormats GermanLikeFormats();
// month/day/year without leading zeros, 12 hours with AM/PM, decimal point:
// "12/6/2026", "5:13:00 AM", ".".
RegionalFormats UsLikeFormats();

// The layouts described by strftime patterns as the C library's locale data
// gives them: dateFormat (D_FMT), timeFormat (T_FMT), ampmTimeFormat
// (T_FMT_AMPM, what %r stands for), the AM and PM strings and the radix
// character, all in UTF-8. Parts that a numeric layout cannot hold are
// simplified: month names count as the month number, weekday and time-zone
// conversions are dropped, a separator that is not ASCII punctuation or blanks
// (such as the "年" of a Japanese date) becomes "/" for dates and ":" for
// times, and a pattern without day, month and year, or without hour and
// minute, falls back to the ISO layout.
RegionalFormats FormatsFromPatterns(std::string_view dateFormat, std::string_view timeFormat,
                                    std::string_view ampmTimeFormat, std::string_view am, std::string_view pm,
                                    std::string_view radix);

// The forms a Windows-1252 file can hold. Where the regional AM and PM
// designators, separators or decimal separator hold characters the code page
// lacks (the designators of Arabic, Hindi, Bengali or Burmese, the Arabic
// decimal separator of Pashto), the file would get "?" in their place and
// lose what they say: it gets 24-hour time, the ISO separators or "."
// instead. The screen keeps the regional forms.
struct FileFormats {
    RegionalFormats Formats;
    std::string Note; // what was changed and why, for the user; empty when nothing was
};
FileFormats Cp1252FileFormats(const RegionalFormats& regional);

// Text of the C library's locale data, which comes in the locale's own code
// set (ISO-8859-7 for el_GR, KOI8-R for ru_RU.KOI8-R), as UTF-8; nothing when
// the code set is unknown or the text is not in it.
std::optional<std::string> LocaleTextToUtf8(const std::string& text, const std::string& codeset);

// The regional formats of the process locale as the environment names it
// (LC_ALL, then LC_TIME or LC_NUMERIC, then LANG, as setlocale(LC_ALL, "")
// would resolve them), read without changing the process's global locale.
// A category that resolves to the C or POSIX locale, or to a locale that is
// not installed, gives the ISO layout for that category. Every call reads the
// environment afresh; callers read it once at start-up.
RegionalFormats FormatsFromProcessLocale();

} // namespace tavik
