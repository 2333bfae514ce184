// Any bytes as the three start-date texts (split at the first two line
// feeds) and as the year text of the year file. An accepted date is a real
// calendar day named by the texts, on the right day of the scale; a refusal
// names the wrong text, briefly. The calendar is judged by rules written out
// here, so that a fault in the engine's own cannot judge itself.
#include "FuzzChecks.h"

#include "platform/DateTime.h"
#include "platform/TextForms.h"

#include <ctime>
#include <optional>

namespace {

using namespace tavik;

// The texts as a person reads them: blanks around a whole number with an
// optional sign. Nothing for anything else; huge numbers saturate.
std::optional<long long> Reference(std::string_view t)
{
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    const bool negative = !t.empty() && t.front() == '-';
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) t.remove_prefix(1);
    if (t.empty()) return std::nullopt;
    long long v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v > 100000000000LL ? v : v * 10 + (c - '0');
    }
    return negative ? -v : v;
}

// The Gregorian month lengths, every fourth year a leap year except the
// centuries not divisible by 400.
long long MonthLength(long long year, long long month)
{
    static const int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0) ? 29 : Days[month - 1];
}

// Days from 1899 December 30, which lies 25569 days before 1970, by the C
// library's calendar arithmetic.
long long LibraryDays(int year, int month, int day)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    return static_cast<long long>(::timegm(&t)) / 86400 + 25569;
}

void CheckRefusal(const std::string& message, std::string_view field)
{
    fuzz::Require(message.find(field) != std::string::npos, "a refusal names the field", message);
    fuzz::Require(message.size() < 300 && !fuzz::HasControl(message), "a refusal is short and plain", message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3], rest = text;
    for (std::string_view& part : parts) {
        const std::size_t end = &part == &parts[2] ? std::string_view::npos : rest.find('\n');
        part = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    }

    const auto day = Reference(parts[0]), month = Reference(parts[1]), year = Reference(parts[2]);
    const bool real = day && month && year && *year >= 1 && *year <= 9999 && *month >= 1 && *month <= 12
                      && *day >= 1 && *day <= MonthLength(*year, *month);
    const ParsedDate parsed = ParseDateTexts(parts[0], parts[1], parts[2]);
    fuzz::Require(static_cast<bool>(parsed) == real, "a date is accepted exactly when it is a real day", text);
    if (parsed) {
        const CalendarFields f = parsed.Date->Fields();
        fuzz::Require(f.Year == *year && f.Month == *month && f.Day == *day, "the day the texts name", text);
        fuzz::Require(f.Hour == 0 && f.Minute == 0 && f.Second == 0, "at 00:00:00", text);
        fuzz::Require(parsed.Date->Days() == static_cast<double>(LibraryDays(f.Year, f.Month, f.Day)),
                      "the day's place on the scale", text);
        fuzz::Require(parsed.Error.empty() && parsed.WrongField == DateTextField::None, "no error with a date");
    } else {
        const char* names[] = {"", "day", "month", "year"};
        fuzz::Require(parsed.WrongField != DateTextField::None, "a refusal points at a box");
        CheckRefusal(parsed.Error, names[static_cast<int>(parsed.WrongField)]);
    }

    for (std::string_view y : {text, parts[2]}) {
        const auto expected = Reference(y);
        const ParsedYear py = ParseYearText(y);
        fuzz::Require(static_cast<bool>(py) == (expected && *expected >= 1 && *expected <= 9999),
                      "a year is accepted exactly when it is 1..9999", y);
        if (py) fuzz::Require(*py.Year == *expected && DateTime::FromCalendar(*py.Year, 1, 1, 12), "the year named", y);
        else CheckRefusal(py.Error, "year");
    }
    return 0;
}
