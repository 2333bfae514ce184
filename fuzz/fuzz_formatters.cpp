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
#include <limits>

namespace {

using namespace tavik;

constexpr double Inf = std::numeric_limits<double>::infinity();

// One byte picks a value worth trying, a small value in quarters, or says to
// read the next 8 bytes as the bits of a double.
double NextDouble(fuzz::Bytes& in)
{
    static const double Special[] = {
        std::nan(""), -std::nan(""), Inf, -Inf, 1e300, -1e300, -0.0, 0.0, 0.5, -0.5, 1.5, 2.5, -2.5, 99.5, 999.5,
        0.49999999999999994, 1e15, 1e-5, 1e-4, 999999999999999.9, DBL_MAX, -DBL_MAX, DBL_MIN,
        std::numeric_limits<double>::denorm_min(), 359.99999999, 1e16, 9.999999999999999e14, -0.3, 123.456, 4.5e15,
        9007199254740993.0, 1e-300};
    const unsigned pick = in.Byte();
    if (pick < std::size(Special)) return Special[pick];
    if (pick < 128) return static_cast<double>(static_cast<std::int8_t>(in.Byte())) / 4;
    return in.RawDouble();
}

RegionalFormats NextFormats(fuzz::Bytes& in)
{
    // The last has a separator of more than one byte and a designator before the time.
    RegionalFormats odd = UsLikeFormats();
    odd.DecimalSeparator = "\u066B";
    odd.DesignatorBeforeTime = true;
    odd.AmDesignator = "\u5348\u524D";
    odd.PmDesignator = "\u5348\u5F8C";
    const RegionalFormats all[] = {IsoFormats(), GermanLikeFormats(), UsLikeFormats(), odd};
    return all[in.Byte() % 4];
}

std::string Shown(double v, const std::string& text)
{
    char b[64];
    std::snprintf(b, sizeof b, "value %.17g: ", v);
    return b + text;
}

void CheckPattern(double v, int minDigits)
{
    const std::string s = FormatNumberPattern(v, minDigits);
    if (!std::isfinite(v)) return fuzz::Require(s == std::string(static_cast<std::size_t>(minDigits), '?'), "non-finite gives ???", s);
    const std::string_view digits = std::string_view(s).substr(v < 0 ? 1 : 0);
    fuzz::Require(s.size() <= 311 && (v < 0) == (s[0] == '-'), "the sign comes from the value", Shown(v, s));
    fuzz::Require(digits.size() >= static_cast<std::size_t>(minDigits)
                      && digits.find_first_not_of("0123456789") == std::string_view::npos,
                  "padded digits", s);
    const double r = std::fabs(std::round(v));
    if (r >= 9007199254740992.0) return;
    std::string expected = std::to_string(static_cast<long long>(r));
    expected.insert(0, static_cast<std::size_t>(std::max(0, minDigits - static_cast<int>(expected.size()))), '0');
    fuzz::Require(digits == expected, "the nearest integer, halves away from zero", Shown(v, s));
}

void CheckDefaultDouble(double v, const RegionalFormats& f)
{
    const std::string s = FormatDefaultDouble(v, f);
    if (std::isnan(v) || std::isinf(v) || v == 0)
        return fuzz::Require(s == (std::isnan(v) ? "NaN" : v == 0 ? "0" : v > 0 ? "Inf" : "-Inf"), "the fixed texts", s);
    fuzz::Require(s.size() <= 40 && fuzz::ValidUtf8(s), "a default double is short UTF-8", s);
    fuzz::Require(!fuzz::ContainsNoCase(s, "nan") && !fuzz::ContainsNoCase(s, "inf"), "no NaN or Inf for a number", s);
    // Read back with "." for the regional separator: exactly the value rounded
    // to 15 significant digits.
    std::string c = s;
    if (const std::size_t at = c.find(f.DecimalSeparator); at != std::string::npos) c.replace(at, f.DecimalSeparator.size(), ".");
    fuzz::Require(c.find_first_not_of("0123456789.-+E") == std::string::npos, "digits, sign, separator and E only", s);
    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.14e", v);
    fuzz::Require(std::strtod(c.c_str(), nullptr) == std::strtod(rounded, nullptr), "the value to 15 significant digits",
                  Shown(v, s));
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
    const std::string summary = PassStepSummary(v);
    fuzz::Require(fuzz::ValidUtf8(summary) && summary.size() <= 5 * 312 + 60, "a pass summary is bounded UTF-8", summary);
    fuzz::Require(!fuzz::ContainsNoCase(summary, "nan") && !fuzz::ContainsNoCase(summary, "inf"),
                  "no NaN or Inf in a pass summary", summary);
    if (v.At.CalcHour >= 0 && v.At.CalcHour <= 24 && v.At.CalcMinute >= 0 && v.At.CalcMinute < 60 && v.SatAzimuth >= 0
        && v.SatAzimuth < 360 && v.Illumination >= 0 && v.Illumination <= 1 && v.SunAngle > -90.5 && v.SunAngle < 90.5) {
        // "hh:mm (Az aaa°)  illum: iii%   sun angle: ss°", the sun angle maybe with a sign.
        fuzz::Require(summary.size() == 47 + (v.SunAngle < 0 ? 1u : 0u) && summary.find('?') == std::string::npos,
                      "the usual line has its layout and digits", summary);
    }

    // An eclipse line between instants from year 1 to 10000.
    constexpr std::int64_t First = -59926435200LL, Last = 255611462400LL; // 0001-01-01, 10000-01-01
    const auto instant = [&in] {
        return DateTime::FromSeconds(First + static_cast<std::int64_t>(in.Word() % static_cast<std::uint64_t>(Last - First)) / 60 * 60);
    };
    EclipseFinder eclipses;
    eclipses.Step(true, instant());
    const std::optional<EclipseEvent> eclipse = eclipses.Step(false, instant());
    fuzz::Require(eclipse.has_value(), "an eclipse ends when the shadow does");
    const std::string line = EclipseLine(*eclipse, formats);
    fuzz::Require(fuzz::ValidUtf8(line) && line.size() <= 160, "one short eclipse line", line);

    // Any instant at all, as a date-time text; within the years the calendar
    // boxes allow, its calendar fields name it again.
    const DateTime dt = DateTime::FromSeconds(static_cast<std::int64_t>(in.Word()));
    const std::string s = FormatGeneralDateTime(dt, formats), d = FormatDatePattern(dt, formats);
    fuzz::Require(s.size() <= 80 && d.size() <= 40 && fuzz::ValidUtf8(s) && fuzz::ValidUtf8(d), "a short UTF-8 date-time", s);
    const CalendarFields c = dt.Fields();
    if (c.Year >= 1 && c.Year <= 9999)
        fuzz::Require(DateTime::FromCalendar(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second) == dt,
                      "calendar fields name the same instant", s);
    return 0;
}
