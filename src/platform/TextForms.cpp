#include "platform/TextForms.h"

#include "platform/Text.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace tavik {

namespace {

std::string Padded(long long value, int minDigits)
{
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    return digits;
}

} // namespace

std::string FormatShortDate(const DateTime& dt, const RegionalFormats& fmts)
{
    const CalendarFields f = dt.Fields();
    const std::string day = Padded(f.Day, fmts.DayLeadingZero ? 2 : 1);
    const std::string month = Padded(f.Month, fmts.MonthLeadingZero ? 2 : 1);
    const std::string year = Padded(f.Year, 4);
    const std::string& sep = fmts.DateSeparator;
    switch (fmts.Order) {
    case DateOrder::DayMonthYear: return day + sep + month + sep + year;
    case DateOrder::MonthDayYear: return month + sep + day + sep + year;
    case DateOrder::YearMonthDay: break;
    }
    return year + sep + month + sep + day;
}

std::string FormatLongTime(const DateTime& dt, const RegionalFormats& fmts)
{
    const CalendarFields f = dt.Fields();
    int hour = f.Hour;
    if (fmts.TwelveHour) {
        hour %= 12;
        if (hour == 0) hour = 12;
    }
    const std::string& sep = fmts.TimeSeparator;
    std::string time =
        Padded(hour, fmts.HourLeadingZero ? 2 : 1) + sep + Padded(f.Minute, 2) + sep + Padded(f.Second, 2);
    if (!fmts.TwelveHour) return time;
    const std::string& designator = f.Hour < 12 ? fmts.AmDesignator : fmts.PmDesignator;
    if (designator.empty()) return time;
    return fmts.DesignatorBeforeTime ? designator + " " + time : time + " " + designator;
}

std::string FormatGeneralDateTime(const DateTime& dt, const RegionalFormats& fmts)
{
    if (dt.IsMidnight()) return FormatShortDate(dt, fmts);
    return FormatShortDate(dt, fmts) + " " + FormatLongTime(dt, fmts);
}

std::string FormatDatePattern(const DateTime& dt, const RegionalFormats& fmts)
{
    const CalendarFields f = dt.Fields();
    const std::string& sep = fmts.DateSeparator;
    return Padded(f.Year, 4) + sep + Padded(f.Month, 2) + sep + Padded(f.Day, 2);
}

std::string FormatNumberPattern(double v, int minDigits)
{
    if (minDigits < 1) minDigits = 1;
    if (!std::isfinite(v)) return std::string(static_cast<std::size_t>(minDigits), '?');
    // std::round works on the exact binary value and rounds halves away from
    // zero; adding 0.5 and flooring would misround 0.49999999999999994.
    const double magnitude = std::fabs(std::round(v));
    char buffer[400]; // the largest double has 309 integer digits
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 0);
    std::string digits = ec == std::errc() ? std::string(buffer, end) : std::string("?");
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    // The sign comes from the value, not from the rounded result.
    return v < 0 ? "-" + digits : digits;
}

std::string FormatDefaultDouble(double v, const RegionalFormats& fmts)
{
    if (std::isnan(v)) return "NaN";
    if (std::isinf(v)) return v > 0 ? "Inf" : "-Inf";
    if (v == 0) return "0";

    // One digit before the point and 14 after: the value rounded to 15
    // significant digits, exponent adjusted when the rounding carries.
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 14);
    if (ec != std::errc()) return "NaN";
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));

    const bool negative = text.front() == '-';
    if (negative) text.remove_prefix(1);
    const std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.') digits += c;
    int exponent = 0;
    std::string_view exponentText = text.substr(e + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    const std::string& point = fmts.DecimalSeparator;
    if (exponent < -4 || exponent >= 15) {
        out += digits[0];
        if (digits.size() > 1) out += point + digits.substr(1);
        out += exponent < 0 ? "E-" : "E+";
        std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
        if (magnitude.size() < 2) magnitude.insert(0, "0");
        return out + magnitude;
    }
    if (exponent < 0) return out + "0" + point + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    const auto wholeDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= wholeDigits) return out + digits + std::string(wholeDigits - digits.size(), '0');
    return out + digits.substr(0, wholeDigits) + point + digits.substr(wholeDigits);
}

namespace {

enum class NumberProblem { None, Empty, NotANumber };

// A whole number with an optional sign; very long digit strings saturate so
// that the range check, not an overflow, reports them.
NumberProblem ReadWholeNumber(std::string_view text, std::int64_t& value)
{
    text = TrimBlanks(text);
    if (text.empty()) return NumberProblem::Empty;
    bool negative = false;
    if (text.front() == '+' || text.front() == '-') {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return NumberProblem::NotANumber;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return NumberProblem::NotANumber;
        if (value < 1000000000) value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    return NumberProblem::None;
}

const char* MonthName(int month)
{
    static const char* const Names[] = {"January", "February", "March",     "April",   "May",      "June",
                                        "July",    "August",   "September", "October", "November", "December"};
    return Names[month - 1];
}

} // namespace

ParsedDate ParseDateTexts(std::string_view dayText, std::string_view monthText, std::string_view yearText)
{
    struct Part {
        std::string_view Text;
        DateTextField Field;
        const char* Name;
        std::int64_t Value = 0;
    };
    Part parts[] = {{dayText, DateTextField::Day, "day"},
                    {monthText, DateTextField::Month, "month"},
                    {yearText, DateTextField::Year, "year"}};
    auto fail = [](DateTextField field, std::string message) {
        ParsedDate result;
        result.WrongField = field;
        result.Error = std::move(message);
        return result;
    };

    for (Part& p : parts) {
        switch (ReadWholeNumber(p.Text, p.Value)) {
        case NumberProblem::None: break;
        case NumberProblem::Empty: return fail(p.Field, std::string("The ") + p.Name + " is empty.");
        case NumberProblem::NotANumber:
            return fail(p.Field, std::string("The ") + p.Name + " " + Quoted(p.Text) + " is not a whole number.");
        }
    }
    const auto day = parts[0].Value, month = parts[1].Value, year = parts[2].Value;
    if (month < 1 || month > 12)
        return fail(DateTextField::Month, "The month " + Quoted(monthText) + " is not between 1 and 12.");
    if (year < 1 || year > 9999)
        return fail(DateTextField::Year, "The year " + Quoted(yearText) + " is not between 1 and 9999.");
    const int days = DaysInMonth(static_cast<int>(year), static_cast<int>(month));
    if (day < 1 || day > days)
        return fail(DateTextField::Day, "The day " + Quoted(dayText)
                                            + " does not exist: " + MonthName(static_cast<int>(month)) + " "
                                            + std::to_string(year) + " has " + std::to_string(days) + " days.");

    ParsedDate result;
    result.Date = DateTime::FromCalendar(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    return result;
}

ParsedYear ParseYearText(std::string_view text)
{
    std::int64_t value = 0;
    ParsedYear result;
    switch (ReadWholeNumber(text, value)) {
    case NumberProblem::Empty: result.Error = "The year is empty."; return result;
    case NumberProblem::NotANumber:
        result.Error = "The year " + Quoted(text) + " is not a whole number.";
        return result;
    case NumberProblem::None: break;
    }
    if (value < 1 || value > 9999) {
        result.Error = "The year " + Quoted(text) + " is not between 1 and 9999.";
        return result;
    }
    result.Year = static_cast<int>(value);
    return result;
}

ParsedYear ParseForecastYear(std::string_view text)
{
    const std::string_view digits = TrimBlanks(text);
    ParsedYear result;
    if (!digits.empty() && digits.size() <= 2 && digits.find_first_not_of("0123456789") == std::string_view::npos) {
        const int twoDigits = digits.size() == 1 ? digits[0] - '0' : (digits[0] - '0') * 10 + (digits[1] - '0');
        result.Year = twoDigits < 57 ? 2000 + twoDigits : 1900 + twoDigits;
    } else {
        result = ParseYearText(text);
        if (!result) return result;
    }
    if (*result.Year < FirstForecastYear || *result.Year > LastForecastYear) {
        result.Error = "The year " + Quoted(text) + " is outside " + std::to_string(FirstForecastYear) + " to "
                       + std::to_string(LastForecastYear) + ", the years a forecast can start in.";
        result.Year.reset();
    }
    return result;
}

ParsedDate ParseForecastDate(std::string_view dayText, std::string_view monthText, std::string_view yearText)
{
    const ParsedYear year = ParseForecastYear(yearText);
    if (!year) {
        // The day and the month are judged first, as ParseDateTexts does.
        ParsedDate early = ParseDateTexts(dayText, monthText, "2000");
        if (!early && early.WrongField != DateTextField::Day) return early;
        ParsedDate result;
        result.WrongField = DateTextField::Year;
        result.Error = year.Error;
        return result;
    }
    return ParseDateTexts(dayText, monthText, std::to_string(*year.Year));
}

} // namespace tavik
