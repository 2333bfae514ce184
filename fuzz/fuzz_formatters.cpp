// The line formatters fed with any doubles (NaN, infinities, 1e300, -0,
// subnormals) and any date-time. Every text is short, UTF-8, and shows
// "NaN" or "Inf" only where a formatter promises it for such a value.
#include "FuzzChecks.h"

#include "forecast/EclipseFinder.h"
#include "output/ListLines.h"
#include "platform/DateTime.h"
#include "platform/RegionalFormats.h"
#include "platform/TextForms.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

using namespace tavik;

constexpr double Inf = std::numeric_limits<double>::infinity();

// One byte picks a value worth trying, or says to read the next 8 bytes as
// the bits of a double.
double NextDouble(fuzz::Bytes& in)
{
    static const double Special[] = {
        std::nan(""), -std::nan(""), Inf, -Inf, 1e300, -1e300, -0.0, 0.0, 0.5, -0.5, 1.5, 2.5,
        -2.5, 99.5, 999.5, 0.49999999999999994, 1e15, 1e-5, 1e-4, 999999999999999.9, DBL_MAX, -DBL_MAX,
        DBL_MIN, std::numeric_limits<double>::denorm_min(), 359.99999999, 1e16, 9.999999999999999e14,
        -0.3, 123.456, 4.5e15, 9007199254740993.0, 1e-300};
    constexpr unsigned Count = sizeof Special / sizeof Special[0];
    const unsigned pick = in.Byte();
    if (pick < Count) return Special[pick];
    if (pick < 128) return static_cast<double>(static_cast<std::int8_t>(in.Byte())) / 4; // small values, halves
    return in.RawDouble();
}

RegionalFormats NextFormats(fuzz::Bytes& in)
{
    switch (in.Byte() % 4) {
    case 0: return IsoFormats();
    case 1: return GermanLikeFormats();
    case 2: return UsLikeFormats();
    default: {
        // A separator of more than one byte, and a designator before the time.
        RegionalFormats f = UsLikeFormats();
        f.DecimalSeparator = "\u066B"; // Arabic decimal separator
        f.DesignatorBeforeTime = true;
        f.AmDesignator = "\u5348\u524D";
        f.PmDesignator = "\u5348\u5F8C";
        return f;
    }
    }
}

std::string Reason(double v) { char b[64]; std::snprintf(b, sizeof b, "value %.17g", v); return b; }

void CheckPattern(double v, int minDigits)
{
    const std::string s = FormatNumberPattern(v, minDigits);
    if (!std::isfinite(v)) {
        fuzz::Require(s == std::string(static_cast<std::size_t>(minDigits), '?'), "non-finite gives ???", s);
        return;
    }
    fuzz::Require(s.size() <= 311, "a pattern is at most the digits of a double", s);
    const std::string_view digits = v < 0 ? std::string_view(s).substr(1) : std::string_view(s);
    fuzz::Require((v < 0) == (s[0] == '-'), "the sign comes from the value", Reason(v) + " " + s);
    fuzz::Require(digits.size() >= static_cast<std::size_t>(minDigits), "padded", s);
    for (char c : digits) fuzz::Require(c >= '0' && c <= '9', "only digits", s);
    const double r = std::fabs(std::round(v));
    if (r < 9007199254740992.0) {
        std::string expected = std::to_string(static_cast<long long>(r));
        if (expected.size() < static_cast<std::size_t>(minDigits))
            expected.insert(0, static_cast<std::size_t>(minDigits) - expected.size(), '0');
        fuzz::Require(digits == expected, "the nearest integer, halves away from zero", Reason(v) + " " + s);
    }
}

void CheckDefaultDouble(double v, const RegionalFormats& f)
{
    const std::string s = FormatDefaultDouble(v, f);
    if (std::isnan(v)) { fuzz::Require(s == "NaN", "NaN gives NaN", s); return; }
    if (std::isinf(v)) { fuzz::Require(s == (v > 0 ? "Inf" : "-Inf"), "infinity gives Inf", s); return; }
    if (v == 0) { fuzz::Require(s == "0", "zero of either sign gives 0", s); return; }
    fuzz::Require(s.size() <= 40, "a default double is short", s);
    fuzz::Require(fuzz::ValidUtf8(s), "a default double is UTF-8", s);
    fuzz::Require(!fuzz::ContainsNoCase(s, "nan") && !fuzz::ContainsNoCase(s, "inf"), "no NaN or Inf for a number", s);
    // Read back with "." for the regional separator: exactly the value rounded
    // to 15 significant digits.
    std::string c = s;
    if (const std::size_t at = c.find(f.DecimalSeparator); at != std::string::npos)
        c.replace(at, f.DecimalSeparator.size(), ".");
    for (char ch : c)
        fuzz::Require((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == '+' || ch == 'E',
                      "digits, sign, separator and E only", s);
    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.14e", v);
    fuzz::Require(std::strtod(c.c_str(), nullptr) == std::strtod(rounded, nullptr),
                  "the value to 15 significant digits", Reason(v) + " " + s);
}

void CheckDateTime(std::int64_t seconds, const RegionalFormats& f)
{
    const DateTime dt = DateTime::FromSeconds(seconds);
    const std::string s = FormatGeneralDateTime(dt, f);
    const std::string d = FormatDatePattern(dt, f);
    fuzz::Require(s.size() <= 80 && d.size() <= 40, "a date-time is short", s);
    fuzz::Require(fuzz::ValidUtf8(s) && fuzz::ValidUtf8(d), "a date-time is UTF-8", s);
    // Within the years the calendar boxes allow, the fields read back.
    const CalendarFields c = dt.Fields();
    if (c.Year >= 1 && c.Year <= 9999) {
        const auto back = DateTime::FromCalendar(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second);
        fuzz::Require(back && *back == dt, "calendar fields name the same instant", s);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Bytes in(data, size);
    const RegionalFormats formats = NextFormats(in);

    for (int i = 0; i < 4; ++i) {
        const double v = NextDouble(in);
        CheckPattern(v, 2);
        CheckPattern(v, 3);
        CheckDefaultDouble(v, formats);
    }

    // One pass line's halves, with anything in the fields.
    PassPoint v;
    v.At.CalcHour = NextDouble(in);
    v.At.CalcMinute = NextDouble(in);
    v.SatAzimuth = NextDouble(in);
    v.SunAngle = NextDouble(in);
    v.Illumination = NextDouble(in);
    const CalcInstant& at = v.At;
    const std::string summary = PassStepSummary(v);
    fuzz::Require(fuzz::ValidUtf8(summary), "a pass summary is UTF-8", summary);
    fuzz::Require(summary.size() <= 5 * 312 + 60, "a pass summary is bounded", summary);
    fuzz::Require(!fuzz::ContainsNoCase(summary, "nan") && !fuzz::ContainsNoCase(summary, "inf"),
                  "no NaN or Inf in a pass summary", summary);
    const bool usual = at.CalcHour >= 0 && at.CalcHour <= 24 && at.CalcMinute >= 0 && at.CalcMinute < 60
                       && v.SatAzimuth >= 0 && v.SatAzimuth < 360 && v.Illumination >= 0
                       && v.Illumination <= 1 && v.SunAngle > -90.5 && v.SunAngle < 90.5;
    if (usual) {
        // "hh:mm (Az aaa°)  illum: iii%   sun angle: ss°", the sun angle maybe with a sign.
        fuzz::Require(summary.size() == 47 + (v.SunAngle < 0 ? 1 : 0), "the usual line has its layout", summary);
        fuzz::Require(summary.find('?') == std::string::npos, "usual values show digits", summary);
    }

    // Eclipse lines over instants from year 1 to 10000.
    constexpr std::int64_t First = -59926435200LL, Last = 255611462400LL; // 0001-01-01, 10000-01-01
    const auto instant = [&in] {
        const std::uint64_t w = in.Word();
        return First + static_cast<std::int64_t>(w % static_cast<std::uint64_t>(Last - First)) / 60 * 60;
    };
    EclipseFinder eclipses;
    const DateTime enter = DateTime::FromSeconds(instant());
    const DateTime leave = DateTime::FromSeconds(instant());
    eclipses.Step(true, enter);
    const std::optional<EclipseEvent> eclipse = eclipses.Step(false, leave);
    fuzz::Require(eclipse.has_value(), "an eclipse ends when the shadow does");
    const std::string line = EclipseLine(*eclipse, formats);
    fuzz::Require(fuzz::ValidUtf8(line) && line.size() <= 160, "one short eclipse line", line);

    // Any instant at all, as a date-time text.
    CheckDateTime(static_cast<std::int64_t>(in.Word()), formats);
    return 0;
}
