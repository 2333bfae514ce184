// The pass and eclipse details in the forms scripts and calendars read: CSV
// (RFC 4180), JSON and iCalendar (RFC 5545), all UTF-8 with UTC times in
// ISO 8601. The design's text lists are made elsewhere and stay as they are.
#pragma once

#include "astro/Locator.h"
#include "forecast/PassDetails.h"
#include "forecast/Upcoming.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

enum class ExportFormat { Text, Csv, Json, Ics };

// "text", "csv", "json" or "ics"; nothing for any other word.
std::optional<ExportFormat> ExportFormatNamed(std::string_view name);
const char* ExportExtension(ExportFormat format); // "txt", "csv", "json", "ics"

// What every export names in its header.
struct ExportContext {
    std::string SatName;
    Station Site;
    OrbitModel Model = OrbitModel::Classic;
    Attitude Axis;    // the sun angles' axis
    DateTime Epoch;   // of the element set
    DateTime Start;   // of the run
    DateTime Written; // when the file is made (iCalendar's DTSTAMP)
    // The frequencies whose Doppler shifts the pass exports add at rise,
    // maximum and set: the downlink as the station hears it, the uplink as
    // the satellite hears it. Hz.
    std::optional<double> DownlinkFrequency, UplinkFrequency;
};

ExportContext MakeExportContext(const ForecastResult& result, const ForecastRequest& request, DateTime written);

// "2026-12-07T06:59:00Z".
std::string IsoUtc(DateTime t);

// "<name>_passes.<ext>" or "<name>_eclipses.<ext>".
std::string ExportFileName(std::string_view satName, bool passes, ExportFormat format);

// CSV: "key,value" records naming satellite, station, model, element-set
// epoch and run, an empty record, then a table with a header row. CR LF.
// Rise and set are the horizon crossings to the second; range, range rate
// and the Doppler shifts (with a frequency) come after the older columns.
std::string PassesCsv(const ExportContext& c, const PlanningDetails& d);
std::string EclipsesCsv(const ExportContext& c, const PlanningDetails& d);
// One JSON document with the header fields and the passes, the eclipses or both.
std::string DetailsJson(const ExportContext& c, const PlanningDetails& d, bool passes, bool eclipses);
// One VEVENT per pass and, when asked, per eclipse. A UID hashes the
// satellite, the station and the rise (entry) time, so a later export of the
// same pass replaces the event in a calendar instead of adding a second one.
std::string DetailsIcs(const ExportContext& c, const PlanningDetails& d, bool passes, bool eclipses);

// The export of the chosen lists in the format (not Text).
std::string ExportBytes(ExportFormat format, const ExportContext& c, const PlanningDetails& d, bool passes,
                        bool eclipses);

// The passes of every satellite in a window (UpcomingPasses), each with the
// same rise, max and set as one satellite's pass export, led by the
// satellite's name and catalogue number. c names the station, the model, the
// window's start (Start) and when the file is made; its SatName is not read.
std::string UpcomingCsv(const ExportContext& c, const UpcomingList& list);
// {"station": ..., "passes": [{"satellite": ..., "catalogue_number": ...,
// "rise": ..., "max": ..., "set": ...}, ...]}
std::string UpcomingJson(const ExportContext& c, const UpcomingList& list);
// One VEVENT per pass, rise to set to the second.
std::string UpcomingIcs(const ExportContext& c, const UpcomingList& list);
std::string UpcomingBytes(ExportFormat format, const ExportContext& c, const UpcomingList& list);

// One satellite at an instant (SkyAt), as a JSON document; with the
// context's frequencies also their Doppler shifts and the shifted
// frequencies (the downlink as heard, the uplink to transmit).
std::string SkyNowJson(const ExportContext& c, DateTime at, const SkyNow& sky);

// A CSV field holding text: quoted where it holds a comma, a quote, CR or
// LF, and, where it begins with "=", "+", "-", "@", a tab or CR, given a
// leading "'" inside the quotes so that no spreadsheet reads it as a formula.
// Every CSV tavik writes puts its text through here; numbers go as written.
std::string CsvField(std::string_view text);
// A JSON string: quotes, backslash and control characters escaped.
std::string JsonString(std::string_view text);
// iCalendar TEXT: backslash, semicolon, comma and newline escaped.
std::string IcsText(std::string_view text);
// Folds a content line at 75 octets, never inside a UTF-8 character; CR LF ends.
std::string IcsFold(std::string_view line);

} // namespace tavik
