#include "output/Exports.h"

#include "astro/TimeScales.h"
#include "orbit/Doppler.h"
#include "output/ListFiles.h"
#include "platform/Cp1252.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

namespace tavik {

namespace {

// Locale-independent: scripts read "." whatever the user's formats are.
std::string Fixed(double value, int decimals)
{
    char buffer[64];
    // -0.0 would print as "-0.0".
    const double v = value == 0 ? 0.0 : value;
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    return std::string(buffer, r.ptr);
}

std::string Percent(double illumination) { return std::to_string(std::lround(100 * illumination)); }

std::string Compact(DateTime t) // 20261207T065900Z
{
    const CalendarFields f = t.Fields();
    char b[32];
    std::snprintf(b, sizeof b, "%04d%02d%02dT%02d%02d%02dZ", f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second);
    return b;
}

std::string StationText(const Station& s)
{
    return s.StationLocator + " (" + Fixed(s.StationLat, 4) + "\u00B0 N, " + Fixed(s.StationLon, 4) + "\u00B0 E)";
}

std::uint64_t Fnv1a(std::string_view text)
{
    std::uint64_t h = 14695981039346656037ull;
    for (char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

std::string Uid(std::string_view kind, const ExportContext& c, std::string_view when)
{
    std::string key(kind);
    key += '\n' + c.SatName + '\n' + c.Site.StationLocator + '\n';
    key += when;
    char b[24];
    std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(Fnv1a(key)));
    return std::string(kind) + '-' + b + "@tavik";
}

std::string SunlitText(bool sunlit) { return sunlit ? "sunlit" : "eclipsed"; }

std::string JsonTime(bool known, DateTime t) { return known ? JsonString(IsoUtc(t)) : "null"; }

// A cell of a CSV row: text the program was given (names, notes) goes
// through CsvField; a number the program wrote goes as it is, so that a
// negative sun angle stays a number.
struct Cell {
    Cell(std::string text) : Encoded(CsvField(text)) {}
    Cell(const char* text) : Encoded(CsvField(text)) {}
    static Cell Number(std::string digits)
    {
        Cell c("");
        c.Encoded = std::move(digits);
        return c;
    }
    std::string Encoded;
};

template <typename Cells>
std::string Row(const Cells& cells)
{
    std::string out;
    bool first = true;
    for (const Cell& c : cells) {
        if (!first) out += ',';
        first = false;
        out += c.Encoded;
    }
    return out + "\r\n";
}

std::string Row(std::initializer_list<Cell> cells) { return Row<std::initializer_list<Cell>>(cells); }

Cell Num(std::string digits) { return Cell::Number(std::move(digits)); }

// Range and range rate, and the Doppler shifts of the context's frequencies,
// at one point of a pass: each as its JSON key and its number.
std::vector<std::pair<std::string, std::string>> Motion(const ExportContext& c, const PassPointDetail& p)
{
    std::vector<std::pair<std::string, std::string>> out = {{"range_km", Fixed(p.Range, 1)},
                                                            {"range_rate_km_s", Fixed(p.RangeRate, 3)}};
    if (c.DownlinkFrequency) out.emplace_back("doppler_hz", Fixed(DopplerShift(*c.DownlinkFrequency, p.RangeRate), 0));
    if (c.UplinkFrequency)
        out.emplace_back("uplink_doppler_hz", Fixed(DopplerShift(*c.UplinkFrequency, p.RangeRate), 0));
    return out;
}

std::string CsvHeader(const ExportContext& c, const PlanningDetails& d)
{
    return Row({"satellite", c.SatName}) + Row({"station", c.Site.StationLocator})
           + Row({"station_latitude_deg", Num(Fixed(c.Site.StationLat, 4))})
           + Row({"station_longitude_deg", Num(Fixed(c.Site.StationLon, 4))}) + Row({"model", ModelName(c.Model)})
           + Row({"attitude", AttitudeName(c.Axis)}) + Row({"element_set_epoch", Num(IsoUtc(c.Epoch))})
           + Row({"run_start", Num(IsoUtc(c.Start))}) + Row({"run_end", Num(IsoUtc(d.End))}) + "\r\n";
}

// A pass that was up at the start or still up at the end has no rise or no
// set inside the run: the field stays empty rather than take the run's edge.
std::string PassNote(const PassDetail& p, const PlanningDetails& d)
{
    if (d.AlwaysUp) return "always above the horizon";
    if (!p.RiseKnown) return "in progress at the start";
    if (!p.SetKnown) return "in progress at the end";
    return {};
}

void PointJson(std::string& out, const ExportContext& c, const char* name, const PassPointDetail& p, bool known,
               bool withElevation)
{
    out += std::string("      \"") + name + "\": ";
    if (!known) {
        out += "null";
        return;
    }
    out += "{\"time\": " + JsonTime(known, p.At);
    if (withElevation) out += ", \"elevation_deg\": " + Fixed(p.Elevation, 2);
    out += ", \"azimuth_deg\": " + Fixed(p.Azimuth, 1) + ", \"sunlit\": " + (p.Sunlit ? "true" : "false")
           + ", \"illumination_pct\": " + Percent(p.Illumination) + ", \"sun_angle_deg\": " + Fixed(p.SunAngle, 1);
    for (const auto& [key, value] : Motion(c, p)) out += ", \"" + key + "\": " + value;
    out += "}";
}

// A pass's fields inside its object: the flags, the duration, then rise,
// max and set.
void PassJson(std::string& out, const ExportContext& c, const PassDetail& p)
{
    out += "      \"in_progress_at_start\": " + std::string(p.RiseKnown ? "false" : "true")
           + ",\n      \"in_progress_at_end\": " + (p.SetKnown ? "false" : "true") + ",\n      \"duration_min\": "
           + (p.RiseKnown && p.SetKnown ? std::to_string(p.DurationMinutes) : "null") + ",\n";
    PointJson(out, c, "rise", p.RiseToTheSecond(), p.RiseKnown, false);
    out += ",\n";
    PointJson(out, c, "max", p.Max, true, true);
    out += ",\n";
    PointJson(out, c, "set", p.SetToTheSecond(), p.SetKnown, false);
}

// The pass table's header cells and one pass's cells, shared by one
// satellite's export and the list of every satellite's passes.
std::vector<Cell> PassHeaderCells(const ExportContext& c)
{
    std::vector<Cell> header = {"rise_utc",
                                "set_utc",
                                "duration_min",
                                "max_elevation_deg",
                                "max_utc",
                                "rise_azimuth_deg",
                                "max_azimuth_deg",
                                "set_azimuth_deg",
                                "rise_sunlit",
                                "rise_illumination_pct",
                                "rise_sun_angle_deg",
                                "max_sunlit",
                                "max_illumination_pct",
                                "max_sun_angle_deg",
                                "set_sunlit",
                                "set_illumination_pct",
                                "set_sun_angle_deg",
                                "note"};
    // Appended, so that the older columns keep their places: each motion
    // figure at rise, maximum and set.
    for (const auto& [key, value] : Motion(c, PassPointDetail{}))
        for (const char* at : {"rise_", "max_", "set_"}) header.emplace_back(at + key);
    return header;
}

std::vector<Cell> PassRowCells(const ExportContext& c, const PassDetail& p, const std::string& note)
{
    auto yes = [](bool b) { return std::string(b ? "yes" : "no"); };
    const bool whole = p.RiseKnown && p.SetKnown;
    const PassPointDetail& up = p.RiseToTheSecond();
    const PassPointDetail& down = p.SetToTheSecond();
    // Empty where the run holds no rise or no set.
    auto rise = [&](std::string v) { return Num(p.RiseKnown ? v : ""); };
    auto set = [&](std::string v) { return Num(p.SetKnown ? v : ""); };
    std::vector<Cell> row = {rise(IsoUtc(up.At)),
                             set(IsoUtc(down.At)),
                             Num(whole ? std::to_string(p.DurationMinutes) : ""),
                             Num(Fixed(p.Max.Elevation, 2)),
                             Num(IsoUtc(p.Max.At)),
                             rise(Fixed(up.Azimuth, 1)),
                             Num(Fixed(p.Max.Azimuth, 1)),
                             set(Fixed(down.Azimuth, 1)),
                             rise(yes(up.Sunlit)),
                             rise(Percent(up.Illumination)),
                             rise(Fixed(up.SunAngle, 1)),
                             Num(yes(p.Max.Sunlit)),
                             Num(Percent(p.Max.Illumination)),
                             Num(Fixed(p.Max.SunAngle, 1)),
                             set(yes(down.Sunlit)),
                             set(Percent(down.Illumination)),
                             set(Fixed(down.SunAngle, 1)),
                             note};
    const auto atRise = Motion(c, up), atMax = Motion(c, p.Max), atSet = Motion(c, down);
    for (std::size_t i = 0; i < atMax.size(); ++i) {
        row.push_back(rise(atRise[i].second));
        row.push_back(Num(atMax[i].second));
        row.push_back(set(atSet[i].second));
    }
    return row;
}

} // namespace

std::string JsonString(std::string_view s)
{
    std::string out = "\"";
    for (char c : s) {
        const auto ch = static_cast<unsigned char>(c);
        switch (ch) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (ch < 0x20) {
                char b[8];
                std::snprintf(b, sizeof b, "\\u%04x", ch);
                out += b;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::optional<ExportFormat> ExportFormatNamed(std::string_view name)
{
    if (name == "text") return ExportFormat::Text;
    if (name == "csv") return ExportFormat::Csv;
    if (name == "json") return ExportFormat::Json;
    if (name == "ics") return ExportFormat::Ics;
    return std::nullopt;
}

const char* ExportExtension(ExportFormat format)
{
    switch (format) {
    case ExportFormat::Csv: return "csv";
    case ExportFormat::Json: return "json";
    case ExportFormat::Ics: return "ics";
    case ExportFormat::Text: break;
    }
    return "txt";
}

ExportContext MakeExportContext(const ForecastResult& result, const ForecastRequest& request, DateTime written)
{
    return {result.SatName,
            request.Site,
            result.Model,
            request.Axis,
            EpochDateTime(request.Elements.Epoch),
            result.Start,
            written,
            {},
            {}};
}

std::string IsoUtc(DateTime t)
{
    const CalendarFields f = t.Fields();
    char b[32];
    std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%02dZ", f.Year, f.Month, f.Day, f.Hour, f.Minute, f.Second);
    return b;
}

std::string ExportFileName(std::string_view satName, bool passes, ExportFormat format)
{
    return SafeFileStem(satName) + (passes ? "_passes." : "_eclipses.") + ExportExtension(format);
}

std::string CsvField(std::string_view text)
{
    // A spreadsheet takes a cell that begins with one of these for a formula
    // ("=HYPERLINK(...)" in a name line would run); a "'" in front, inside
    // quotes, makes it text.
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
    if (!formula && text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = formula ? "\"'" : "\"";
    for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

std::string PassesCsv(const ExportContext& c, const PlanningDetails& d)
{
    std::string out = CsvHeader(c, d);
    out += Row(PassHeaderCells(c));
    for (const PassDetail& p : d.Passes) out += Row(PassRowCells(c, p, PassNote(p, d)));
    return out;
}

std::string EclipsesCsv(const ExportContext& c, const PlanningDetails& d)
{
    std::string out = CsvHeader(c, d);
    out += Row({"entry_utc", "exit_utc", "duration_min", "umbra_entry_utc", "umbra_exit_utc", "penumbra_entry_utc",
                "penumbra_exit_utc", "note", "umbra"});
    for (const EclipseDetail& e : d.Eclipses) {
        const std::string note = !e.Umbra        ? "penumbra only"
                                 : !e.EntryKnown ? "in progress at the start"
                                 : !e.ExitKnown  ? "in progress at the end"
                                                 : "";
        auto time = [](bool known, DateTime t) { return Num(known ? IsoUtc(t) : ""); };
        // The first three columns are the umbra's whole minutes, as the list has them.
        out += Row({time(e.Umbra && e.EntryKnown, e.Entry), time(e.Umbra && e.ExitKnown, e.Exit),
                    Num(e.Umbra && e.EntryKnown && e.ExitKnown ? std::to_string(e.DurationMinutes) : ""),
                    time(e.UmbraEntry.has_value(), e.UmbraEntry.value_or(DateTime{})),
                    time(e.UmbraExit.has_value(), e.UmbraExit.value_or(DateTime{})),
                    time(e.PenumbraEntry.has_value(), e.PenumbraEntry.value_or(DateTime{})),
                    time(e.PenumbraExit.has_value(), e.PenumbraExit.value_or(DateTime{})), note,
                    Num(e.Umbra ? "true" : "false")});
    }
    return out;
}

std::string DetailsJson(const ExportContext& c, const PlanningDetails& d, bool passes, bool eclipses)
{
    std::string out = "{\n  \"satellite\": " + JsonString(c.SatName) + ",\n  \"station\": {\"locator\": "
                      + JsonString(c.Site.StationLocator) + ", \"latitude_deg\": " + Fixed(c.Site.StationLat, 4)
                      + ", \"longitude_deg\": " + Fixed(c.Site.StationLon, 4) + "},\n  \"model\": "
                      + JsonString(ModelName(c.Model)) + ",\n  \"attitude\": " + JsonString(AttitudeName(c.Axis))
                      + ",\n  \"element_set_epoch\": " + JsonString(IsoUtc(c.Epoch)) + ",\n  \"run_start\": "
                      + JsonString(IsoUtc(c.Start)) + ",\n  \"run_end\": " + JsonString(IsoUtc(d.End))
                      + ",\n  \"always_visible\": " + (d.AlwaysUp ? "true" : "false");
    if (passes) {
        out += ",\n  \"passes\": [";
        for (std::size_t i = 0; i < d.Passes.size(); ++i) {
            const PassDetail& p = d.Passes[i];
            out += i ? ",\n    {\n" : "\n    {\n";
            PassJson(out, c, p);
            out += "\n    }";
        }
        out += d.Passes.empty() ? "]" : "\n  ]";
    }
    if (eclipses) {
        out += ",\n  \"has_penumbra\": " + std::string(d.HasPenumbra ? "true" : "false") + ",\n  \"eclipses\": [";
        for (std::size_t i = 0; i < d.Eclipses.size(); ++i) {
            const EclipseDetail& e = d.Eclipses[i];
            out += i ? ",\n    " : "\n    ";
            if (!e.Umbra) {
                out += "{\"umbra\": false, \"penumbra_entry\": " + JsonString(IsoUtc(e.PenumbraEntry.value_or(e.Entry)))
                       + ", \"penumbra_exit\": " + JsonString(IsoUtc(e.PenumbraExit.value_or(e.Exit))) + "}";
                continue;
            }
            out +=
                "{\"entry\": " + JsonTime(e.EntryKnown, e.Entry) + ", \"exit\": " + JsonTime(e.ExitKnown, e.Exit)
                + ", \"duration_min\": " + (e.EntryKnown && e.ExitKnown ? std::to_string(e.DurationMinutes) : "null")
                + ", \"umbra_entry\": " + JsonTime(e.UmbraEntry.has_value(), e.UmbraEntry.value_or(DateTime{}))
                + ", \"umbra_exit\": " + JsonTime(e.UmbraExit.has_value(), e.UmbraExit.value_or(DateTime{}))
                + ", \"penumbra_entry\": " + JsonTime(e.PenumbraEntry.has_value(), e.PenumbraEntry.value_or(DateTime{}))
                + ", \"penumbra_exit\": " + JsonTime(e.PenumbraExit.has_value(), e.PenumbraExit.value_or(DateTime{}))
                + ", \"umbra\": true}";
        }
        out += d.Eclipses.empty() ? "]" : "\n  ]";
    }
    return out + "\n}\n";
}

std::string IcsText(std::string_view text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '\\' || ch == ';' || ch == ',') out += '\\';
        if (ch == '\n') {
            out += "\\n";
            continue;
        }
        if (ch == '\r') continue;
        out += ch;
    }
    return out;
}

std::string IcsFold(std::string_view line)
{
    std::string out;
    std::size_t used = 0; // octets on the current physical line
    for (std::string_view character : Utf8Characters(line)) {
        if (used + character.size() > 75) {
            out += "\r\n ";
            used = 1;
        }
        out += character;
        used += character.size();
    }
    return out + "\r\n";
}

std::string DetailsIcs(const ExportContext& c, const PlanningDetails& d, bool passes, bool eclipses)
{
    std::string out = IcsFold("BEGIN:VCALENDAR") + IcsFold("VERSION:2.0")
                      + IcsFold("PRODID:-//tavik//satellite passes and eclipses//EN") + IcsFold("CALSCALE:GREGORIAN")
                      + IcsFold("X-WR-CALNAME:" + IcsText(c.SatName + " over " + c.Site.StationLocator));
    const std::string stamp = Compact(c.Written);
    const std::string header = "Station " + StationText(c.Site) + ", " + ModelName(c.Model) + " model, attitude "
                               + AttitudeName(c.Axis) + ", element set of " + IsoUtc(c.Epoch) + ".";
    auto event = [&](const std::string& uid, DateTime start, DateTime end, const std::string& summary,
                     const std::string& description) {
        out += IcsFold("BEGIN:VEVENT") + IcsFold("UID:" + uid) + IcsFold("DTSTAMP:" + stamp)
               + IcsFold("DTSTART:" + Compact(start)) + IcsFold("DTEND:" + Compact(end))
               + IcsFold("SUMMARY:" + IcsText(summary)) + IcsFold("DESCRIPTION:" + IcsText(description))
               + IcsFold("TRANSP:TRANSPARENT") + IcsFold("END:VEVENT");
    };
    auto point = [](const char* what, const PassPointDetail& p, bool known) {
        if (!known) return std::string(what) + ": outside the run";
        return std::string(what) + ": " + IsoUtc(p.At) + ", azimuth " + Fixed(p.Azimuth, 1) + "\u00B0, "
               + SunlitText(p.Sunlit) + ", illumination " + Percent(p.Illumination) + " %, sun angle "
               + Fixed(p.SunAngle, 1) + "\u00B0";
    };
    if (passes) {
        for (const PassDetail& p : d.Passes) {
            const PassPointDetail& up = p.RiseToTheSecond();
            const PassPointDetail& down = p.SetToTheSecond();
            std::string description = point("Rise", up, p.RiseKnown) + "\n" + point("Maximum", p.Max, true)
                                      + ", elevation " + Fixed(p.Max.Elevation, 2) + "\u00B0\n"
                                      + point("Set", down, p.SetKnown) + "\n";
            if (const std::string note = PassNote(p, d); !note.empty()) description += "Note: " + note + ".\n";
            description += header;
            // The whole minute, as before the crossings were found: a
            // calendar that holds an older export still replaces its event.
            const std::string key = p.RiseKnown ? IsoUtc(p.Rise.At) : "up at " + IsoUtc(p.Rise.At);
            event(Uid("pass", c, key), up.At, down.At,
                  c.SatName + " pass, max " + std::to_string(std::lround(p.Max.Elevation)) + "\u00B0", description);
        }
    }
    if (eclipses) {
        for (const EclipseDetail& e : d.Eclipses) {
            if (!e.Umbra) {
                const DateTime from = e.PenumbraEntry.value_or(e.Entry), to = e.PenumbraExit.value_or(e.Exit);
                const auto seconds = to.Seconds() + 1 - from.Seconds();
                // A graze between two minutes lasts seconds, which "0 min" would hide.
                const std::string length =
                    seconds < 60 ? std::to_string(seconds) + " s" : std::to_string((seconds + 30) / 60) + " min";
                event(Uid("penumbra", c, IsoUtc(from)), from, to.AddSeconds(1), c.SatName + " penumbra only, " + length,
                      "Penumbra entry: " + IsoUtc(from) + "\nPenumbra exit: " + IsoUtc(to)
                          + "\nPart of the Sun hidden; no umbra.\n" + header);
                continue;
            }
            std::string description = "Umbra: " + IsoUtc(e.Entry) + " to " + IsoUtc(e.Exit);
            if (e.UmbraEntry) description += "\nUmbra entry: " + IsoUtc(*e.UmbraEntry);
            if (e.UmbraExit) description += "\nUmbra exit: " + IsoUtc(*e.UmbraExit);
            if (e.PenumbraEntry) description += "\nPenumbra entry: " + IsoUtc(*e.PenumbraEntry);
            if (e.PenumbraExit) description += "\nPenumbra exit: " + IsoUtc(*e.PenumbraExit);
            if (!e.EntryKnown) description += "\nNote: in shadow at the start of the run.";
            if (!e.ExitKnown) description += "\nNote: still in shadow at the end of the run.";
            description += "\n" + header;
            const std::string key = e.EntryKnown ? IsoUtc(e.Entry) : "in shadow at " + IsoUtc(e.Entry);
            event(Uid("eclipse", c, key), e.Entry, e.Exit,
                  c.SatName + " eclipse, " + std::to_string(e.DurationMinutes) + " min", description);
        }
    }
    return out + IcsFold("END:VCALENDAR");
}

std::string UpcomingCsv(const ExportContext& c, const UpcomingList& list)
{
    std::string out =
        Row({"station", c.Site.StationLocator}) + Row({"station_latitude_deg", Num(Fixed(c.Site.StationLat, 4))})
        + Row({"station_longitude_deg", Num(Fixed(c.Site.StationLon, 4))}) + Row({"model", ModelName(c.Model)})
        + Row({"attitude", AttitudeName(c.Axis)}) + Row({"window_start", Num(IsoUtc(c.Start))})
        + Row({"window_end", Num(IsoUtc(list.End))}) + "\r\n";
    std::vector<Cell> header = {"satellite", "catalogue_number", "visible_to_eye"};
    for (Cell& cell : PassHeaderCells(c)) header.push_back(std::move(cell));
    out += Row(header);
    for (const UpcomingPass& u : list.Passes) {
        const std::string note = !u.Pass.RiseKnown  ? "in progress at the start"
                                 : !u.Pass.SetKnown ? "in progress at the end"
                                                    : "";
        std::vector<Cell> row = {Cell(u.SatName), Cell(u.CatalogueNumber), Num(u.VisibleToEye ? "yes" : "no")};
        for (Cell& cell : PassRowCells(c, u.Pass, note)) row.push_back(std::move(cell));
        out += Row(row);
    }
    return out;
}

std::string UpcomingJson(const ExportContext& c, const UpcomingList& list)
{
    std::string out = "{\n  \"station\": {\"locator\": " + JsonString(c.Site.StationLocator) + ", \"latitude_deg\": "
                      + Fixed(c.Site.StationLat, 4) + ", \"longitude_deg\": " + Fixed(c.Site.StationLon, 4)
                      + "},\n  \"attitude\": " + JsonString(AttitudeName(c.Axis)) + ",\n  \"passes\": [";
    for (std::size_t i = 0; i < list.Passes.size(); ++i) {
        const UpcomingPass& u = list.Passes[i];
        out += i ? ",\n    {\n" : "\n    {\n";
        out += "      \"satellite\": " + JsonString(u.SatName)
               + ",\n      \"catalogue_number\": " + JsonString(u.CatalogueNumber)
               + ",\n      \"visible_to_eye\": " + (u.VisibleToEye ? "true" : "false") + ",\n";
        PassJson(out, c, u.Pass);
        out += "\n    }";
    }
    out += list.Passes.empty() ? "]" : "\n  ]";
    return out + "\n}\n";
}

std::string UpcomingIcs(const ExportContext& c, const UpcomingList& list)
{
    std::string out = IcsFold("BEGIN:VCALENDAR") + IcsFold("VERSION:2.0")
                      + IcsFold("PRODID:-//tavik//satellite passes and eclipses//EN") + IcsFold("CALSCALE:GREGORIAN")
                      + IcsFold("X-WR-CALNAME:" + IcsText("Passes over " + c.Site.StationLocator));
    const std::string stamp = Compact(c.Written);
    for (const UpcomingPass& u : list.Passes) {
        const PassDetail& p = u.Pass;
        const PassPointDetail& up = p.RiseToTheSecond();
        const PassPointDetail& down = p.SetToTheSecond();
        ExportContext one = c;
        one.SatName = u.SatName;
        auto point = [](const char* what, const PassPointDetail& q, bool known) {
            if (!known) return std::string(what) + ": outside the window";
            return std::string(what) + ": " + IsoUtc(q.At) + ", azimuth " + Fixed(q.Azimuth, 1) + "\u00B0, "
                   + SunlitText(q.Sunlit);
        };
        std::string description = point("Rise", up, p.RiseKnown) + "\n" + point("Maximum", p.Max, true) + ", elevation "
                                  + Fixed(p.Max.Elevation, 2) + "\u00B0\n" + point("Set", down, p.SetKnown) + "\n"
                                  + (u.VisibleToEye ? "Visible to the eye.\n" : "") + "Station " + StationText(c.Site)
                                  + ", " + ModelName(c.Model) + " model, attitude " + AttitudeName(c.Axis) + ".";
        // The same key as one satellite's export of the pass, so that either
        // file replaces the other's event.
        const std::string key = p.RiseKnown ? IsoUtc(p.Rise.At) : "up at " + IsoUtc(p.Rise.At);
        out += IcsFold("BEGIN:VEVENT") + IcsFold("UID:" + Uid("pass", one, key)) + IcsFold("DTSTAMP:" + stamp)
               + IcsFold("DTSTART:" + Compact(up.At)) + IcsFold("DTEND:" + Compact(down.At))
               + IcsFold("SUMMARY:"
                         + IcsText(u.SatName + " pass, max " + std::to_string(std::lround(p.Max.Elevation)) + "\u00B0"))
               + IcsFold("DESCRIPTION:" + IcsText(description)) + IcsFold("TRANSP:TRANSPARENT") + IcsFold("END:VEVENT");
    }
    return out + IcsFold("END:VCALENDAR");
}

std::string UpcomingBytes(ExportFormat format, const ExportContext& c, const UpcomingList& list)
{
    switch (format) {
    case ExportFormat::Csv: return UpcomingCsv(c, list);
    case ExportFormat::Json: return UpcomingJson(c, list);
    case ExportFormat::Ics: return UpcomingIcs(c, list);
    case ExportFormat::Text: break;
    }
    return {};
}

std::string SkyNowJson(const ExportContext& c, DateTime at, const SkyNow& sky)
{
    const PassPointDetail& p = sky.Point;
    std::string out =
        "{\n  \"satellite\": " + JsonString(c.SatName) + ",\n  \"station\": {\"locator\": "
        + JsonString(c.Site.StationLocator) + ", \"latitude_deg\": " + Fixed(c.Site.StationLat, 4)
        + ", \"longitude_deg\": " + Fixed(c.Site.StationLon, 4) + "},\n  \"model\": " + JsonString(ModelName(c.Model))
        + ",\n  \"time\": " + JsonString(IsoUtc(at)) + ",\n  \"azimuth_deg\": " + Fixed(p.Azimuth, 1)
        + ",\n  \"elevation_deg\": " + Fixed(p.Elevation, 2) + ",\n  \"range_km\": " + Fixed(p.Range, 1)
        + ",\n  \"range_rate_km_s\": " + Fixed(p.RangeRate, 3) + ",\n  \"latitude_deg\": " + Fixed(sky.SubLatitude, 4)
        + ",\n  \"longitude_deg\": " + Fixed(sky.SubLongitude, 4) + ",\n  \"height_km\": " + Fixed(sky.Height, 1)
        + ",\n  \"light\": " + JsonString(LightName(sky.Light)) + ",\n  \"up\": " + (sky.Up ? "true" : "false");
    if (c.DownlinkFrequency) {
        const double shift = DopplerShift(*c.DownlinkFrequency, p.RangeRate);
        out += ",\n  \"doppler_hz\": " + Fixed(shift, 0)
               + ",\n  \"downlink_received_hz\": " + Fixed(*c.DownlinkFrequency + shift, 0);
    }
    if (c.UplinkFrequency) {
        const double shift = DopplerShift(*c.UplinkFrequency, p.RangeRate);
        out += ",\n  \"uplink_doppler_hz\": " + Fixed(shift, 0)
               + ",\n  \"uplink_transmit_hz\": " + Fixed(*c.UplinkFrequency - shift, 0);
    }
    out += std::string(",\n  \"next\": ");
    if (sky.Next) {
        out += "{\"event\": " + JsonString(sky.Up ? "set" : "rise") + ", \"time\": " + JsonString(IsoUtc(sky.Next->At))
               + ", \"azimuth_deg\": " + Fixed(sky.Next->Azimuth, 1)
               + ", \"seconds_left\": " + std::to_string(sky.Next->At.Seconds() - at.Seconds()) + "}";
    } else {
        out += "null";
    }
    return out + "\n}\n";
}

std::string ExportBytes(ExportFormat format, const ExportContext& c, const PlanningDetails& d, bool passes,
                        bool eclipses)
{
    switch (format) {
    case ExportFormat::Csv: {
        std::string out;
        if (passes) out += PassesCsv(c, d);
        if (passes && eclipses) out += "\r\n";
        if (eclipses) out += EclipsesCsv(c, d);
        return out;
    }
    case ExportFormat::Json: return DetailsJson(c, d, passes, eclipses);
    case ExportFormat::Ics: return DetailsIcs(c, d, passes, eclipses);
    case ExportFormat::Text: break;
    }
    return {};
}

} // namespace tavik
