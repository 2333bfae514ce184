// The line formatters fed with any doubles (NaN, infinities, 1e300, -0,
// subnormals) and any date-time. Every text is short, UTF-8, and shows
// "NaN" or "Inf" only where a formatter promises it for such a value.
#include "FuzzChecks.h"

namespace {

// One byte picks a value worth trying, a small value in quarters, or says to
// read the next 8 bytes as the bits of a double.
double NextDouble(fuzz::Bytes& in)
{
    // A table laid out by hand, in this order: the seeds pick its values by place.
    // clang-format off
    static const double Special[] = {
        NAN, -NAN, INFINITY, -INFINITY, 1e300, -0.0, 0.5, -0.5, 2.5, -2.5, 99.5, 999.5, 0.49999999999999994, 1e15,
        1e-5, 1e-4, 999999999999999.9, DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 359.99999999, 1e16, 9.999999999999999e14, -0.3,
        4.5e15, 9007199254740993.0};
    // clang-format on
    const unsigned pick = in.Byte();
    if (pick < std::size(Special)) return Special[pick];
    return pick < 128 ? static_cast<double>(static_cast<std::int8_t>(in.Byte())) / 4 : in.RawDouble();
}

void CheckNumber(double v, const RegionalFormats& f)
{
    const std::string shown = std::to_string(v);
    for (int minDigits : {2, 3}) {
        const std::string s = FormatNumberPattern(v, minDigits);
        if (!std::isfinite(v)) {
            fuzz::Require(s == std::string(static_cast<std::size_t>(minDigits), '?'), "non-finite gives ???", s);
            continue;
        }
        // The nearest integer, halves away from zero, padded; the sign from the value.
        const double r = std::fabs(std::round(v));
        std::string digits = r < 9007199254740992.0 ? std::to_string(static_cast<long long>(r)) : s.substr(v < 0);
        digits.insert(0, static_cast<std::size_t>(std::max(0, minDigits - static_cast<int>(digits.size()))), '0');
        fuzz::Require(s == (v < 0 ? "-" : "") + digits && s.size() <= 311
                          && digits.find_first_not_of("0123456789") == std::string::npos,
                      "the rounded value, padded", shown + ": " + s);
    }
    const std::string s = FormatDefaultDouble(v, f);
    if (std::isnan(v) || std::isinf(v) || v == 0) {
        const char* fixed = std::isnan(v) ? "NaN" : v == 0 ? "0" : v > 0 ? "Inf" : "-Inf";
        return fuzz::Require(s == fixed, "the fixed texts", s);
    }
    fuzz::Require(s.size() <= 40 && fuzz::ValidUtf8(s) && !fuzz::ShowsNanOrInf(s), "a default double is a short number",
                  s);
    // Read back with "." for the regional separator: exactly the value rounded to 15 significant digits.
    std::string c = s;
    if (const std::size_t at = c.find(f.DecimalSeparator); at != std::string::npos)
        c.replace(at, f.DecimalSeparator.size(), ".");
    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.14e", v);
    fuzz::Require(c.find_first_not_of("0123456789.-+E") == std::string::npos
                      && std::strtod(c.c_str(), nullptr) == std::strtod(rounded, nullptr),
                  "the value to 15 significant digits", shown + ": " + s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Bytes in{data, size};
    // The last has a separator of more than one byte and a designator before the time.
    RegionalFormats odd = UsLikeFormats();
    odd.DecimalSeparator = "\u066B";
    odd.DesignatorBeforeTime = true;
    odd.AmDesignator = "\u5348\u524D";
    const RegionalFormats all[] = {IsoFormats(), GermanLikeFormats(), UsLikeFormats(), odd},
                          &formats = all[in.Byte() % 4];
    for (int i = 0; i < 4; ++i) CheckNumber(NextDouble(in), formats);

    // One pass line's halves, with anything in the fields.
    PassPoint v;
    for (double* field : {&v.At.CalcHour, &v.At.CalcMinute, &v.SatAzimuth, &v.SunAngle, &v.Illumination})
        *field = NextDouble(in);
    const std::string summary = PassStepSummary(v);
    fuzz::Require(fuzz::ValidUtf8(summary) && summary.size() <= 5 * 312 + 60 && !fuzz::ShowsNanOrInf(summary),
                  "a pass summary is bounded UTF-8 without NaN or Inf", summary);
    // "hh:mm (Az aaa°)  illum: iii%   sun angle: ss°", the sun angle maybe with a sign.
    if (v.At.CalcHour >= 0 && v.At.CalcHour <= 24 && v.At.CalcMinute >= 0 && v.At.CalcMinute < 60 && v.SatAzimuth >= 0
        && v.SatAzimuth < 360 && v.Illumination >= 0 && v.Illumination <= 1 && v.SunAngle > -90.5 && v.SunAngle < 90.5)
        fuzz::Require(summary.size() == 47u + (v.SunAngle < 0) && summary.find('?') == std::string::npos,
                      "the usual layout", summary);

    // An eclipse line between instants from year 1 to 10000.
    constexpr std::int64_t First = -59926435200LL, Last = 255611462400LL; // 0001-01-01, 10000-01-01
    const auto instant = [&in] {
        return DateTime::FromSeconds(First + static_cast<std::int64_t>(in.Word() % (Last - First)) / 60 * 60);
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
    fuzz::Require(s.size() <= 80 && d.size() <= 40 && fuzz::ValidUtf8(s) && fuzz::ValidUtf8(d),
                  "a short UTF-8 date-time", s);
    const CalendarFields c = dt.Fields();
    if (c.Year >= 1 && c.Year <= 9999)
        fuzz::Require(DateTime::FromCalendar(c.Year, c.Month, c.Day, c.Hour, c.Minute, c.Second) == dt,
                      "the fields name the instant", s);
    return 0;
}
