// Text forms of dates and numbers as they appear in the lists, the chart and
// the output files, and the reading of the date the user types.
#pragma once

#include "platform/DateTime.h"
#include "platform/RegionalFormats.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The regional short date, e.g. "06.12.2026" or "12/6/2026".
std::string FormatShortDate(const DateTime& dt, const RegionalFormats& fmts);
// The regional long time, e.g. "05:13:00" or "5:13:00 AM".
std::string FormatLongTime(const DateTime& dt, const RegionalFormats& fmts);
// Short date, a blank and long time; the bare short date when the time of day
// is exactly 00:00:00.
std::string FormatGeneralDateTime(const DateTime& dt, const RegionalFormats& fmts);
// Four-digit year, two-digit month and two-digit day joined by the regional
// date separator, whatever order and padding the short date uses.
std::string FormatDatePattern(const DateTime& dt, const RegionalFormats& fmts);

// The number patterns "00" and "000": the nearest integer (halves away from
// zero, decided on the exact double), zero-padded to at least minDigits
// digits; more digits are written in full. A negative value keeps its minus
// sign in front of the padded digits even when it rounds to 0 (-0.3 gives
// "-00"); -0.0 is not negative and gives "00". NaN and infinities have no
// digits to show and give minDigits question marks, so that the columns of a
// line keep their width.
std::string FormatNumberPattern(double v, int minDigits);
inline std::string FormatPattern00(double v) { return FormatNumberPattern(v, 2); }
inline std::string FormatPattern000(double v) { return FormatNumberPattern(v, 3); }

// The default text of a double: rounded to 15 significant digits, trailing
// zeros dropped, the regional decimal separator, no digit grouping, and the
// scientific form ("1.5E-05", "1E+15") when the decimal exponent is below -4
// or at least 15. Zero of either sign gives "0"; NaN gives "NaN" and the
// infinities "Inf" and "-Inf".
std::string FormatDefaultDouble(double v, const RegionalFormats& fmts);

enum class DateTextField { None, Day, Month, Year };

struct ParsedDate {
    std::optional<DateTime> Date; // 00:00:00 of the day, when the texts name one
    DateTextField WrongField = DateTextField::None;
    std::string Error; // otherwise: what is wrong, for the user
    explicit operator bool() const { return Date.has_value(); }
};

// The day named by the three start-date texts. Blanks around a number and
// leading zeros are accepted; the first text found wrong is reported (the
// day of a month that does not have it counts as a wrong day).
ParsedDate ParseDateTexts(std::string_view dayText, std::string_view monthText, std::string_view yearText);

struct ParsedYear {
    std::optional<int> Year; // 1 to 9999
    std::string Error;       // otherwise: names the text and what is wrong
    explicit operator bool() const { return Year.has_value(); }
};

ParsedYear ParseYearText(std::string_view text);

// The years a forecast may start in: element sets exist from 1957, and the
// orbit model's drag terms mean nothing two centuries on.
inline constexpr int FirstForecastYear = 1957, LastForecastYear = 2200;

// A typed year as the window takes it: one or two digits are the year of the
// TLE epochs' window (57-99 are 1957-1999, 0-56 are 2000-2056), as in the
// regional date forms "26" is 2026; a year outside FirstForecastYear to
// LastForecastYear is refused with a message.
ParsedYear ParseForecastYear(std::string_view text);
// ParseDateTexts with the year read by ParseForecastYear.
ParsedDate ParseForecastDate(std::string_view dayText, std::string_view monthText, std::string_view yearText);

} // namespace tavik
