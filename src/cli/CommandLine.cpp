#include "cli/CommandLine.h"

#include "forecast/Forecast.h"
#include "output/Exports.h"
#include "platform/Error.h"
#include "platform/Text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace tavik::cli {

namespace {

struct KnownOption {
    std::string_view Name;
    std::optional<std::string> Options::*Value = nullptr; // options that take a value
    bool Options::*Flag = nullptr;                        // options that do not
};

const KnownOption KnownOptions[] = {
    {"--settings", &Options::Settings, nullptr},
    {"--tle", &Options::Tle, nullptr},
    {"--locator", &Options::Locator, nullptr},
    {"--satellite", &Options::Satellite, nullptr},
    {"--start", &Options::Start, nullptr},
    {"--year", &Options::Year, nullptr},
    {"--year-dir", &Options::YearDir, nullptr},
    {"--strip", &Options::Strip, nullptr},
    {"--out", &Options::Out, nullptr},
    {"--update-tle", &Options::UpdateTle, nullptr},
    {"--timeout", &Options::Timeout, nullptr},
    {"--add-new", nullptr, &Options::AddNew},
    {"--replace", nullptr, &Options::Replace},
    {"--model", &Options::Model, nullptr},
    {"--attitude", &Options::Attitude, nullptr},
    {"--format", &Options::Format, nullptr},
    {"--frequency", &Options::Frequency, nullptr},
    {"--uplink", &Options::Uplink, nullptr},
    {"--all", nullptr, &Options::All},
    {"--upcoming", nullptr, &Options::Upcoming},
    {"--hours", &Options::Hours, nullptr},
    {"--min-elevation", &Options::MinElevation, nullptr},
    {"--now", nullptr, &Options::Now},
    {"--save-passes", nullptr, &Options::SavePasses},
    {"--save-eclipses", nullptr, &Options::SaveEclipses},
    {"--year-report", nullptr, &Options::YearReport},
    {"--help", nullptr, &Options::Help},
    {"-h", nullptr, &Options::Help},
    {"--version", nullptr, &Options::Version},
};

bool AllDigits(std::string_view s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::vector<std::string_view> SplitAt(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = text.find(separator, pos);
        parts.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        if (end == std::string_view::npos) return parts;
        pos = end + 1;
    }
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    ParsedCommandLine out;
    Options& o = out.Values;
    std::vector<const KnownOption*> seen;
    auto fail = [&out](std::string message) {
        out.UsageError = std::move(message);
        return out;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg.size() < 2 || arg[0] != '-')
            return fail("unexpected argument " + Quoted(arg) + "; every input is given by an option");

        std::string_view name = arg;
        std::optional<std::string> inlineValue;
        if (std::size_t eq = arg.find('='); eq != std::string_view::npos && arg.substr(0, 2) == "--") {
            name = arg.substr(0, eq);
            inlineValue = std::string(arg.substr(eq + 1));
        }
        const KnownOption* known = nullptr;
        for (const KnownOption& s : KnownOptions)
            if (s.Name == name) known = &s;
        if (!known) return fail("unknown option " + Quoted(name));
        // -h and --help are one option.
        auto same = [known](const KnownOption* s) { return s->Value == known->Value && s->Flag == known->Flag; };
        if (std::any_of(seen.begin(), seen.end(), same))
            return fail("option " + std::string(name) + " is given more than once");
        seen.push_back(known);

        if (known->Flag) {
            if (inlineValue) return fail("option " + std::string(name) + " takes no value");
            o.*(known->Flag) = true;
            continue;
        }
        if (inlineValue) {
            o.*(known->Value) = *inlineValue;
            continue;
        }
        // A following option is far more likely a forgotten value than a
        // file or satellite whose name begins with two hyphens.
        if (i + 1 >= args.size() || std::string_view(args[i + 1]).substr(0, 2) == "--")
            return fail("option " + std::string(name) + " needs a value");
        o.*(known->Value) = args[++i];
    }
    if (o.Model && !OrbitModelNamed(*o.Model))
        return fail("option --model takes classic or sgp4, not " + Quoted(*o.Model));
    if (o.Attitude) {
        try {
            ParseAttitude(*o.Attitude);
        } catch (const InputError& e) {
            return fail(std::string("option --attitude: ") + e.what());
        }
    }
    if (o.YearReport) {
        // The report goes to standard output alone; the 59-day outputs are
        // another run.
        const char* other = o.All            ? "--all"
                            : o.UpdateTle    ? "--update-tle"
                            : o.SavePasses   ? "--save-passes"
                            : o.SaveEclipses ? "--save-eclipses"
                            : o.Year         ? "--year"
                            : o.Strip        ? "--strip"
                            : o.Frequency    ? "--frequency"
                            : o.Uplink       ? "--uplink"
                                             : nullptr;
        if (other) return fail(std::string("option ") + other + " does not go with --year-report");
        if (o.Format && *o.Format != "text" && *o.Format != "csv" && *o.Format != "json")
            return fail("option --format takes text, csv or json with --year-report, not " + Quoted(*o.Format));
    }
    if (o.Format && !ExportFormatNamed(*o.Format))
        return fail("option --format takes text, csv, json or ics, not " + Quoted(*o.Format));
    // --all writes the lists each satellite's way; the other forms are for
    // planning one satellite's passes.
    if (o.All && o.Format && *o.Format != "text")
        return fail("option --format " + *o.Format + " is for one satellite, not with --all");
    if (o.YearDir && !o.Year) return fail("option --year-dir needs --year");
    if (o.Out && !o.All) return fail("option --out needs --all");
    if (o.All) {
        const char* single = o.Satellite      ? "--satellite"
                             : o.SavePasses   ? "--save-passes"
                             : o.SaveEclipses ? "--save-eclipses"
                             : o.Year         ? "--year"
                             : o.Strip        ? "--strip"
                             : o.Frequency    ? "--frequency"
                             : o.Uplink       ? "--uplink"
                                              : nullptr;
        if (single) return fail(std::string("option ") + single + " is for one satellite, not with --all");
    }
    if (o.Upcoming || o.Now) {
        const char* mode = o.Upcoming ? "--upcoming" : "--now";
        const char* other = o.Upcoming && o.Now         ? "--now"
                            : o.All                     ? "--all"
                            : o.SavePasses              ? "--save-passes"
                            : o.SaveEclipses            ? "--save-eclipses"
                            : o.Year                    ? "--year"
                            : o.Strip                   ? "--strip"
                            : o.UpdateTle               ? "--update-tle"
                            : o.Upcoming && o.Satellite ? "--satellite"
                            : o.Upcoming && o.Frequency ? "--frequency"
                            : o.Upcoming && o.Uplink    ? "--uplink"
                            : o.Now && o.Start          ? "--start"
                            : o.Now && o.Attitude       ? "--attitude"
                                                        : nullptr;
        if (other) return fail(std::string("option ") + other + " does not go with " + mode);
        if (o.Now && o.Format && *o.Format != "text" && *o.Format != "json")
            return fail("option --now prints text or json, not " + Quoted(*o.Format));
    }
    const std::pair<bool, const char*> needUpcoming[] = {{o.Hours.has_value(), "--hours"},
                                                         {o.MinElevation.has_value(), "--min-elevation"}};
    for (const auto& [given, name] : needUpcoming)
        if (given && !o.Upcoming) return fail(std::string("option ") + name + " needs --upcoming");
    // The Doppler shifts go into the pass details (or the sky now); the
    // design's lists have no place for them.
    const bool details = (o.Format && *o.Format != "text") || o.Now;
    const std::pair<bool, const char*> needDetails[] = {{o.Frequency.has_value(), "--frequency"},
                                                        {o.Uplink.has_value(), "--uplink"}};
    for (const auto& [given, name] : needDetails)
        if (given && !details && !o.UpdateTle)
            return fail(std::string("option ") + name + " needs --format csv, json or ics, or --now");
    if (o.UpdateTle) {
        const char* other = o.All            ? "--all"
                            : o.Satellite    ? "--satellite"
                            : o.Start        ? "--start"
                            : o.Locator      ? "--locator"
                            : o.SavePasses   ? "--save-passes"
                            : o.SaveEclipses ? "--save-eclipses"
                            : o.Year         ? "--year"
                            : o.Strip        ? "--strip"
                            : o.Frequency    ? "--frequency"
                            : o.Uplink       ? "--uplink"
                            : o.Attitude     ? "--attitude"
                                             : nullptr;
        if (other) return fail(std::string("option ") + other + " does not go with --update-tle, which only fetches");
        if (o.Tle && *o.Tle == "-") return fail("option --update-tle needs a TLE file to replace, not standard input");
        if (o.AddNew && o.Replace) return fail("options --add-new and --replace exclude each other");
    }
    const std::pair<bool, const char*> needUpdate[] = {
        {o.AddNew, "--add-new"}, {o.Replace, "--replace"}, {o.Timeout.has_value(), "--timeout"}};
    for (const auto& [given, name] : needUpdate)
        if (given && !o.UpdateTle) return fail(std::string("option ") + name + " needs --update-tle");
    if (o.Timeout) {
        std::string_view digits = *o.Timeout;
        while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
        if (!AllDigits(digits) || digits.size() > 5 || std::stoi(std::string(digits)) < 1
            || std::stoi(std::string(digits)) > MaxTimeoutSeconds)
            return fail("option --timeout takes whole seconds from 1 to " + std::to_string(MaxTimeoutSeconds) + ", not "
                        + Quoted(*o.Timeout));
    }
    return out;
}

std::string UsageText()
{
    return R"(Usage: tavik-forecast [OPTION]...
Lists the passes of one satellite over a station and the satellite's eclipses
for 59 days, minute by minute from 00:00 UTC of the start day, and writes them
to files on request.

Inputs. By default they come from the settings file tavik.ini (line 1 the
station's Maidenhead locator, line 2 the TLE file; a relative TLE path is
taken from the settings file's folder), looked for in the program's folder,
then as $XDG_CONFIG_HOME/tavik/tavik.ini (~/.config/tavik/tavik.ini). With
both --tle and --locator no settings file is needed. Pipes and process
substitutions are read to their end; no input may exceed 64 MiB.
  --settings FILE     read this settings file instead (whenever given)
  --tle FILE          the TLE file (instead of the settings file's line 2);
                      - reads it from standard input
  --locator LOC       the station's locator, e.g. JO40hc (instead of line 1)
  --satellite SAT     the satellite by its name in the TLE file (exact, else
                      ignoring case) or by its position 1, 2, ...; default 1
  --start DATE        the first day, YYYY-MM-DD or DD.MM.YYYY, in UTC;
                      default: today's UTC date
  --model MODEL       classic (default): a Kepler ellipse with the J2 drift
                      of node and perigee and linear drag, and the shadow
                      cylinder the lists have always had; sgp4: SGP4/SDP4,
                      the propagation element sets are fitted for, and the
                      Earth's umbra and penumbra as cones (eclipse is the
                      umbra; in the penumbra the illumination is scaled by
                      the visible share of the Sun's disc). design and
                      precise are older names of the two. The year file
                      keeps the classic model
  --attitude AXIS     the spacecraft axis the sun angle and the illumination
                      are measured against: LON,LAT (default 0,0) in the
                      orbit plane, degrees (longitude -360 to 360 from
                      perigee, latitude -90 to 90 towards the orbit normal;
                      0,0 points away from perigee), or an axis that turns:
                      sun (towards the Sun), nadir (towards the Earth's
                      centre), orbit-normal (along r x v), velocity (along
                      the inertial velocity) or inertial:RA,DEC (fixed in
                      the sky: right ascension 0 to 360, declination -90 to
                      90, degrees). Named in the headers of the csv, json
                      and ics exports and of --year-report; the year file
                      and the lists keep their form. Not with --now, which
                      shows no sun angle
  --format FORMAT     text (default): the passes and eclipses lists as they
                      have always been; csv, json or ics: the pass details
                      (rise, set, duration, the maximum elevation and its
                      time found to the second, rise and set azimuths, the
                      light at rise, maximum and set; a pass already up at
                      the start or still up at the end is marked, not given
                      a time) and the eclipses (entry, exit, duration, and
                      the penumbra in the SGP4 model), with UTC times in
                      ISO 8601 and a header naming the satellite, station,
                      model and element-set epoch. Printed on standard
                      output: both lists in one document. --save-passes and
                      --save-eclipses then write "<satellite>_passes.csv"
                      (.json, .ics) and "<satellite>_eclipses.csv" instead
                      of the .txt lists; ics is an iCalendar file with one
                      event per pass (or eclipse) whose UID stays the same
                      for the same satellite, station and rise time. CSV is
                      RFC 4180 with CR LF; all three are UTF-8. Not with
                      --all, whose files are always text. Rise and set are
                      the horizon crossings to the second (the text lists
                      keep whole minutes); rise, maximum and set each carry
                      the range (range_km) and range rate (range_rate_km_s,
                      positive while the satellite moves away)
  --frequency MHz     with --format csv, json or ics, or with --now: the downlink
                      frequency, e.g. 145.8; rise, maximum and set then
                      carry its Doppler shift (doppler_hz: the received
                      minus the transmitted frequency, positive while the
                      satellite comes closer); --now also prints the
                      frequency heard
  --uplink MHz        with --format csv, json or ics, or with --now: the
                      uplink frequency;
                      uplink_doppler_hz is the shift the satellite hears,
                      so transmit the uplink minus it

Outputs. The passes list and the eclipses list go to standard output; dates
and numbers follow the locale (LC_TIME, LC_NUMERIC).
  --save-passes       write "<satellite>_passes.txt" into the current folder
  --save-eclipses     write "<satellite>_eclipses.txt" into the current folder
  --year YEAR         write "<satellite>_sowi_<YEAR>.csv": the sun angle and
                      the sub-solar point at 12:00 UTC of 366 days from
                      January 1 of YEAR, into the program's folder
  --year-dir DIR      write the year file into DIR instead
  --strip FILE        draw the day-by-minute strip chart, with its date column
                      and hour scale, as a PNG image into FILE
  --year-report       instead of the lists, a year of light on standard
                      output: for 365 days from the start day, the beta
                      angle (between the orbit plane and the Sun, positive
                      on the side of r x v) at 00:00 UTC and its least and
                      greatest over the day, the eclipses entered that day
                      with the longest and shortest (umbra; the longest
                      penumbra passage in the SGP4 model), the minutes in
                      the umbra, the sunlit fraction and the sun angle at
                      12:00 UTC; then the eclipse seasons (runs of days with
                      an eclipse). The SGP4 model unless --model says
                      otherwise; eclipse edges to the second in it.
                      --format text (default), csv or json; not with the
                      other outputs
Files are written in Windows-1252 with CR LF line ends. Where the locale's
AM/PM designators or decimal separator hold characters Windows-1252 lacks,
the files use 24-hour time or "." instead (standard error says so once); the
terminal keeps the locale's forms. summary.csv (--all) is UTF-8 with LF line
ends; a name or reason in it that begins with "=", "+", "-" or "@" gets a
"'" in front, inside quotes, so that spreadsheets read it as text. Each file
written is announced on standard output as "<file> has been written".

The whole catalogue at once:
  --all               forecast every satellite of the TLE file (all of its
                      entries, not only the first 500) from the same start
                      day, on all cores; write each one's passes and eclipses
                      files as it finishes, and its row of the summary, in
                      file order, to summary.csv and standard output:
                      passes, eclipses, longest and total eclipse minutes,
                      minutes sunlit in percent, the model, why a
                      satellite has no full forecast, and a warning when the
                      start lies over 30 days after the element set's epoch
                      or over 1 day before it; standard error shows how many
                      are done
  --out DIR           the folder for --all (created if missing); default the
                      current folder. One --all writes into a folder at a
                      time; a second one is refused

Every satellite, and the sky now:
  --upcoming          list the passes of every satellite of the TLE file over
                      the station in the coming hours, from now (or from
                      00:00 UTC of --start), sorted by rise: rise and set to
                      the second with their azimuths, duration, maximum
                      elevation and its time, sunlit at the maximum, and
                      whether the pass is visible to the eye (the satellite
                      sunlit while the Sun is at least 6 degrees below the
                      horizon). --format csv, json or ics give the same
                      fields as one satellite's pass export, each pass led by
                      the satellite's name and catalogue number
  --hours N           with --upcoming: the window, 1 to 168 hours (default 24)
  --min-elevation DEG with --upcoming: leave out passes whose maximum
                      elevation stays below DEG (0 to 90, default 0)
  --now               print where the satellite (--satellite) stands now:
                      azimuth, elevation, range, range rate, the point under
                      it and its height, sunlit or in shadow (umbra or
                      penumbra in the SGP4 model), and the next rise or set
                      with the time left; --format json for scripts

Keeping the element sets fresh:
  --update-tle URL    download a TLE file over HTTP or HTTPS (at most 16 MiB,
                      also unpacked) and, when every entry in it reads as an
                      element set, update the TLE file (--tle, or the
                      settings file's line 2) from it: each entry the file
                      holds takes the element lines of the download's entry
                      of the same catalogue number when that one is newer;
                      entries the download lacks stay; entries only in the
                      download are listed, not added. The previous file is
                      kept as FILE.bak (one copy, replaced each time). Prints
                      what changed and the oldest epoch now in the file. A
                      file the user may not write is left alone (it is
                      read-only). Anything wrong leaves the file as it was
                      (exit status 1)
  --add-new           with --update-tle: also add the entries only in the
                      download, at the end of the file
  --replace           with --update-tle: make the file exactly the download
                      (entries it lacks are removed)
  --timeout SECONDS   with --update-tle: end the transfer after this many
                      seconds in all (default 120); 30 s without a byte
                      ends it too, on every hop of a redirect

  -h, --help          show this text and exit
  --version           show the version and exit

Exit status:
  0  success; also when the satellite sinks below 150 km (or, in the
     SGP4 model, below the surface) and the forecast stops early (the
     partial lists are printed and written, and the reason goes to standard
     error)
  1  an input that cannot be used (settings file, TLE file, locator,
     satellite, a --start or --year text that is not a date or year, an
     --hours or --min-elevation out of its range, a
     --frequency or --uplink that is not MHz above 0 up to 300000), an
     element set that cannot be computed or that the SGP4 model cannot
     follow to the end, or a file that cannot be written;
     the other requested files are still written. Also when standard output
     cannot be written (a full disk); a reader that stops reading, as
     "| head" does, only ends the listing
  2  a wrong command line: unknown option, option without its value, option
     given twice, stray argument, a --model other than classic or sgp4,
     an --attitude in none of its forms or out of its ranges,
     a --timeout that is not a whole number of seconds, --year-report with
     another output or a --format other than text, csv or json
  129, 130, 143  --all was stopped by SIGHUP (a closed terminal), SIGINT
     (Ctrl-C) or SIGTERM: 128 + the signal's number; every file written is
     whole and summary.csv marks the satellites not computed
)";
}

std::optional<double> FrequencyMHz(std::string_view text)
{
    double mhz = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), mhz);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(mhz) || mhz <= 0 || mhz > MaxFrequencyMHz) return std::nullopt;
    return mhz;
}

std::optional<DateTexts> SplitStartDate(std::string_view text)
{
    if (auto parts = SplitAt(text, '-');
        parts.size() == 3 && AllDigits(parts[0]) && AllDigits(parts[1]) && AllDigits(parts[2]))
        return DateTexts{std::string(parts[2]), std::string(parts[1]), std::string(parts[0])};
    if (auto parts = SplitAt(text, '.');
        parts.size() == 3 && AllDigits(parts[0]) && AllDigits(parts[1]) && AllDigits(parts[2]))
        return DateTexts{std::string(parts[0]), std::string(parts[1]), std::string(parts[2])};
    return std::nullopt;
}

int FindSatellite(const std::vector<std::string>& names, std::string_view wanted)
{
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == wanted) return static_cast<int>(i) + 1;
    if (AllDigits(wanted)) {
        std::string_view digits = wanted;
        while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
        if (digits.size() <= 4) {
            int index = std::stoi(std::string(digits));
            if (index >= 1 && index <= static_cast<int>(names.size())) return index;
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i)
        if (EqualIgnoringAsciiCase(names[i], wanted)) return static_cast<int>(i) + 1;
    return 0;
}

} // namespace tavik::cli
