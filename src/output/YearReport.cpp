#include "output/YearReport.h"

#include "output/Exports.h"

#include <charconv>
#include <cstdio>

namespace tavik {

namespace {

std::string Fixed(double value, int decimals)
{
    char buffer[64];
    const double v = value == 0 ? 0.0 : value; // never "-0.00"
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return std::string(buffer, r.ptr);
}

std::string IsoDate(DateTime t)
{
    const CalendarFields f = t.Fields();
    char b[16];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d", f.Year, f.Month, f.Day);
    return b;
}

// Minutes to the hundredth (under a second); what is unknown is empty.
std::string Minutes(const std::optional<double>& m, const char* none) { return m ? Fixed(*m, 2) : none; }

struct Column {
    const char* Name;
    std::string (*Value)(const LightDay&, const char* none);
};

// The day's fields in the order JSON and CSV give them.
const Column DayColumns[] = {
    {"date", [](const LightDay& d, const char*) { return IsoDate(d.Date); }},
    {"beta_deg", [](const LightDay& d, const char*) { return Fixed(d.Beta, 3); }},
    {"beta_min_deg", [](const LightDay& d, const char*) { return Fixed(d.BetaMin, 3); }},
    {"beta_max_deg", [](const LightDay& d, const char*) { return Fixed(d.BetaMax, 3); }},
    {"eclipses", [](const LightDay& d, const char*) { return std::to_string(d.Eclipses); }},
    {"longest_eclipse_min", [](const LightDay& d, const char* none) { return Minutes(d.LongestEclipse, none); }},
    {"shortest_eclipse_min", [](const LightDay& d, const char* none) { return Minutes(d.ShortestEclipse, none); }},
    {"longest_penumbra_min", [](const LightDay& d, const char* none) { return Minutes(d.LongestPenumbra, none); }},
    {"shadow_min", [](const LightDay& d, const char*) { return Fixed(d.ShadowMinutes, 2); }},
    {"sunlit_fraction", [](const LightDay& d, const char*) { return Fixed(d.SunlitFraction, 4); }},
    {"sun_angle_deg", [](const LightDay& d, const char*) { return Fixed(d.SunAngle, 3); }},
};

std::string StopNote(const YearOfLight& year)
{
    if (year.End == RunEnd::Completed) return {};
    return "the orbit could not be followed beyond " + IsoUtc(year.StopTime) + "; " + std::to_string(year.Days.size())
           + " of " + std::to_string(YearOfLightDays) + " days computed";
}

} // namespace

std::string YearReportText(const YearOfLight& year)
{
    std::string out = "Year of light: " + year.SatName + "\nModel: " + ModelName(year.Model)
                      + "\nAttitude: " + AttitudeName(year.Axis) + "\n";
    if (const std::string note = StopNote(year); !note.empty()) out += "Note: " + note + "\n";
    out += "\ndate        beta    min     max     ecl  longest shortest penumbra shadow  sunlit  sun angle\n";
    for (const LightDay& d : year.Days) {
        char line[160];
        std::snprintf(line, sizeof line, "%s %7s %7s %7s %3d %8s %8s %8s %7s %7s %8s\n", IsoDate(d.Date).c_str(),
                      Fixed(d.Beta, 2).c_str(), Fixed(d.BetaMin, 2).c_str(), Fixed(d.BetaMax, 2).c_str(), d.Eclipses,
                      Minutes(d.LongestEclipse, "-").c_str(), Minutes(d.ShortestEclipse, "-").c_str(),
                      Minutes(d.LongestPenumbra, "-").c_str(), Fixed(d.ShadowMinutes, 2).c_str(),
                      Fixed(d.SunlitFraction, 4).c_str(), Fixed(d.SunAngle, 2).c_str());
        out += line;
    }
    out += "\nEclipse seasons: " + std::to_string(year.Seasons.size()) + "\n";
    for (const EclipseSeason& s : year.Seasons) {
        const std::int64_t days = DateTime::MinutesBetween(s.First, s.Last) / 1440 + 1;
        out += IsoDate(s.First) + " to " + IsoDate(s.Last) + ", " + std::to_string(days)
               + (days == 1 ? " day" : " days") + ", longest eclipse " + Fixed(s.LongestEclipse, 2) + " min\n";
    }
    return out;
}

std::string YearReportCsv(const YearOfLight& year)
{
    std::string out;
    const std::pair<const char*, std::string> header[] = {
        {"satellite", year.SatName}, {"model", ModelName(year.Model)}, {"attitude", AttitudeName(year.Axis)}};
    for (const auto& [key, value] : header) out += std::string(key) + "," + CsvField(value) + "\r\n";
    if (const std::string note = StopNote(year); !note.empty()) out += "note," + CsvField(note) + "\r\n";
    out += "\r\n";
    std::string names;
    for (const Column& c : DayColumns) names += (names.empty() ? "" : ",") + std::string(c.Name);
    out += names + "\r\n";
    for (const LightDay& d : year.Days) {
        std::string row;
        for (const Column& c : DayColumns) row += (row.empty() ? "" : ",") + c.Value(d, "");
        out += row + "\r\n";
    }
    return out;
}

std::string YearReportJson(const YearOfLight& year)
{
    std::string out = "{\n  \"satellite\": " + JsonString(year.SatName)
                      + ",\n  \"model\": " + JsonString(ModelName(year.Model))
                      + ",\n  \"attitude\": " + JsonString(AttitudeName(year.Axis)) + ",\n  \"days\": [";
    bool firstDay = true;
    for (const LightDay& d : year.Days) {
        out += firstDay ? "\n    {" : ",\n    {";
        firstDay = false;
        bool firstField = true;
        for (const Column& c : DayColumns) {
            std::string value = c.Value(d, "null");
            if (std::string_view(c.Name) == "date") value = JsonString(value);
            out += (firstField ? "\"" : ", \"") + std::string(c.Name) + "\": " + value;
            firstField = false;
        }
        out += "}";
    }
    out += year.Days.empty() ? "],\n  \"seasons\": [" : "\n  ],\n  \"seasons\": [";
    bool firstSeason = true;
    for (const EclipseSeason& s : year.Seasons) {
        out += (firstSeason ? "\n    " : ",\n    ") + std::string("{\"first\": ") + JsonString(IsoDate(s.First))
               + ", \"last\": " + JsonString(IsoDate(s.Last))
               + ", \"longest_eclipse_min\": " + Fixed(s.LongestEclipse, 2) + "}";
        firstSeason = false;
    }
    out += year.Seasons.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return out;
}

} // namespace tavik
