// The command line of tavik-forecast: options, their values and the usage
// text. Plain C++ so that it can be tested without starting Qt.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik::cli {

inline constexpr const char* ProgramName = "tavik-forecast";

// Exit statuses, documented in the usage text.
inline constexpr int ExitSuccess = 0;
inline constexpr int ExitFailure = 1; // an input that cannot be used, a file that cannot be written
inline constexpr int ExitUsage = 2;   // the command line itself is wrong
// --all stopped by SIGINT (Ctrl-C: 130), SIGTERM (143) or SIGHUP (129).
inline constexpr int ExitStoppedBy(int signal) { return 128 + signal; }

struct Options {
    std::optional<std::string> Settings;
    std::optional<std::string> Tle;
    std::optional<std::string> Locator;
    std::optional<std::string> Satellite;
    std::optional<std::string> Start;
    std::optional<std::string> Year;
    std::optional<std::string> YearDir;
    std::optional<std::string> Strip;
    std::optional<std::string> Out;
    std::optional<std::string> UpdateTle;    // the URL to fetch the TLE file from
    std::optional<std::string> Timeout;      // --update-tle's overall limit in seconds, checked by ParseCommandLine
    std::optional<std::string> Model;        // "design" or "precise", checked by ParseCommandLine
    std::optional<std::string> Attitude;     // the sun angle's axis, checked by ParseCommandLine
    std::optional<std::string> Format;       // "text", "csv", "json" or "ics", checked by ParseCommandLine
    std::optional<std::string> Frequency;    // the downlink in MHz, read by FrequencyMHz
    std::optional<std::string> Uplink;       // the uplink in MHz, read by FrequencyMHz
    std::optional<std::string> Hours;        // --upcoming's window in hours, read by HoursOption
    std::optional<std::string> MinElevation; // --upcoming's least maximum elevation, degrees
    bool Upcoming = false;                   // the passes of every satellite over the coming hours
    bool Now = false;                        // where the chosen satellite stands now
    bool SavePasses = false;
    bool SaveEclipses = false;
    bool All = false;
    bool Help = false;
    bool Version = false;
    bool AddNew = false;     // --update-tle also adds the download's new entries
    bool Replace = false;    // --update-tle makes the file exactly the download
    bool YearReport = false; // the year of light instead of the 59-day lists
};

// The overall limit of a download without --timeout, and the most it takes.
inline constexpr int DefaultTimeoutSeconds = 120;
inline constexpr int MaxTimeoutSeconds = 86400;

struct ParsedCommandLine {
    Options Values;
    std::string UsageError; // empty when the command line is usable
};

// Reads the arguments after the program name. "--option value" and
// "--option=value" are both accepted; a value may not start with "--" unless
// it is given with "=". Each option may appear once.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

// The most --frequency and --uplink take: 300 GHz, where radio ends and the
// far infrared begins.
inline constexpr double MaxFrequencyMHz = 300000;

// A frequency in MHz as --frequency and --uplink take it: a decimal number
// above 0 up to MaxFrequencyMHz ("145.8", "2400"); nothing for any other text.
std::optional<double> FrequencyMHz(std::string_view text);

// The start day split into the day, month and year texts the engine takes:
// "YYYY-MM-DD" or "DD.MM.YYYY". Nothing when the text has neither layout;
// whether the numbers form a date is left to the engine's date check.
struct DateTexts {
    std::string Day, Month, Year;
};
std::optional<DateTexts> SplitStartDate(std::string_view text);

// The satellite chosen by --satellite among the catalogue's names: an exact
// name first, then a number 1..count, then a name that differs only in the
// case of ASCII letters. Returns the 1-based index or 0 when none matches.
int FindSatellite(const std::vector<std::string>& names, std::string_view wanted);

} // namespace tavik::cli
