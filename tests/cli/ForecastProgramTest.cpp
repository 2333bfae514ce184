// tavik-forecast run as a user runs it: a separate process in a scratch
// working folder, judged by its exit status, its output and the files it
// leaves behind.
#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <locale.h>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string Program = TAVIK_FORECAST_EXE;
const fs::path Examples = TAVIK_EXAMPLES;
const std::string Rule(121, '-');

struct Outcome {
    int Status = -1; // the exit status, or 128 + the signal that ended it
    std::string Out, Err;
};

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::vector<std::string> SplitLines(const std::string& text, const std::string& end)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t next = text.find(end, pos);
        if (next == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, next - pos));
        pos = next + end.size();
    }
    return lines;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ForecastProgram : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tavik-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        work_ = dir_ / "work";
        fs::create_directories(work_);
        fs::create_directories(dir_ / "home");
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // Runs the program with the given arguments in the working folder. The
    // environment is pinned: C locale, a home and a configuration folder of
    // the test's own, plus the given changes (a value of nothing removes the
    // variable).
    Outcome Run(const std::vector<std::string>& args,
                const std::vector<std::pair<std::string, std::optional<std::string>>>& env = {},
                const std::string& program = Program)
    {
        const fs::path out = dir_ / "stdout", err = dir_ / "stderr";
        int pipeEnds[2] = {-1, -1};
        if (stdout_ == Output::Pipe || stdout_ == Output::ClosedPipe) {
            EXPECT_EQ(pipe(pipeEnds), 0);
        }
        pid_t pid = fork();
        if (pid == 0) {
            setenv("LC_ALL", "C", 1);
            setenv("HOME", (dir_ / "home").c_str(), 1);
            setenv("XDG_CONFIG_HOME", (dir_ / "home" / ".config").c_str(), 1);
            for (const auto& [name, value] : env) {
                if (value) setenv(name.c_str(), value->c_str(), 1);
                else unsetenv(name.c_str());
            }
            int o = stdout_ == Output::FullDevice ? open("/dev/full", O_WRONLY)
                    : pipeEnds[1] >= 0            ? pipeEnds[1]
                                                  : open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (pipeEnds[0] >= 0) close(pipeEnds[0]); // for a closed pipe, no reader is left at all
            int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (o < 0 || e < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0 || chdir(work_.c_str()) != 0) _exit(127);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        Outcome r;
        if (pipeEnds[1] >= 0) close(pipeEnds[1]);
        if (stdout_ == Output::Pipe) {
            char buffer[4096];
            for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) r.Out.append(buffer, static_cast<std::size_t>(n));
        }
        if (pipeEnds[0] >= 0) close(pipeEnds[0]);
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid)
            r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        if (stdout_ == Output::File) r.Out = ReadBytes(out);
        r.Err = ReadBytes(err);
        return r;
    }

    // The bundled examples with the start day every expectation below is for.
    static std::vector<std::string> ExampleArgs(std::vector<std::string> more = {})
    {
        std::vector<std::string> args = {"--tle", (Examples / "example.tle").string(), "--locator", "JO40hc",
                                         "--start", "2026-12-06"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }

    // A copy of the program in a folder of its own, so that its folder holds
    // no settings file and may be written to.
    std::string ProgramCopy()
    {
        const fs::path folder = dir_ / "program";
        fs::create_directories(folder);
        const fs::path copy = folder / "tavik-forecast";
        fs::copy_file(Program, copy, fs::copy_options::overwrite_existing);
        return copy.string();
    }

    fs::path dir_, work_;
    // Where Run sends standard output: a file read into Out, /dev/full, a
    // pipe read into Out, or a pipe whose reader has gone (as after "| head").
    enum class Output { File, FullDevice, Pipe, ClosedPipe } stdout_ = Output::File;
};

// What every failure must look like: one line on standard error, nothing
// announced as written.
void ExpectOneErrorLine(const Outcome& r)
{
    ASSERT_FALSE(r.Err.empty());
    EXPECT_EQ(r.Err.rfind("tavik-forecast: ", 0), 0u) << r.Err;
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_FALSE(Contains(r.Out, "has been written")) << r.Out;
}

TEST_F(ForecastProgram, HelpAndVersion)
{
    Outcome help = Run({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(Contains(help.Out, "Usage: tavik-forecast")) << help.Out;
    EXPECT_TRUE(Contains(help.Out, "Exit status"));
    EXPECT_EQ(help.Err, "");

    Outcome version = Run({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_TRUE(std::regex_match(version.Out, std::regex("tavik-forecast [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.Out;
}

TEST_F(ForecastProgram, PrintsBothListsForTheExample)
{
    Outcome r = Run(ExampleArgs());
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_FALSE(Contains(r.Out, "\r")) << "terminal output has LF line ends";

    std::vector<std::string> lines = SplitLines(r.Out, "\n");
    ASSERT_GT(lines.size(), 4u);
    EXPECT_EQ(lines[0], "visible passes forecast for TAVIK-LEO");
    EXPECT_EQ(lines[1], Rule);
    auto eclipses = std::find(lines.begin(), lines.end(), "eclipses forecast for TAVIK-LEO");
    ASSERT_NE(eclipses, lines.end());
    ASSERT_NE(eclipses + 1, lines.end());
    EXPECT_EQ(*(eclipses + 1), Rule);
    EXPECT_EQ(*(eclipses - 1), "") << "a blank line parts the two lists";

    // Every line between the headers is a pass line, every line after them
    // an eclipse line, in the layouts of the two lists (C locale: ISO dates).
    const std::regex passLine(
        "[0-9]{2}/[0-9]{2}/[0-9]{4}  [0-9]{2}:[0-9]{2} \\(Az [0-9]{3}°\\)  illum: [0-9]{3}%   sun angle: -?[0-9]{2,}° -> "
        "[0-9]{2}:[0-9]{2} \\(Az [0-9]{3}°\\)  illum: [0-9]{3}%   sun angle: -?[0-9]{2,}°  maxEl: [0-9]{2}°");
    const std::regex eclipseLine("[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9]{2}:[0-9]{2}:[0-9]{2})?   ->   "
                                 "[0-9]{4}-[0-9]{2}-[0-9]{2}( [0-9]{2}:[0-9]{2}:[0-9]{2})?    duration: [0-9]+ min");
    const std::vector<std::string> passes(lines.begin() + 2, eclipses - 1);
    const std::vector<std::string> eclipseLines(eclipses + 2, lines.end());
    ASSERT_GT(passes.size(), 100u) << "a low orbit passes over the station several times a day";
    ASSERT_GT(eclipseLines.size(), 500u) << "and is in shadow on most of its orbits";
    for (const std::string& l : passes) EXPECT_TRUE(std::regex_match(l, passLine)) << l;
    for (const std::string& l : eclipseLines) EXPECT_TRUE(std::regex_match(l, eclipseLine)) << l;

    EXPECT_EQ(passes.front(), "12/06/2026  06:59 (Az 171°)  illum: 098%   sun angle: 11° -> 07:07 (Az 081°)  "
                              "illum: 098%   sun angle: 11°  maxEl: 06°");
    EXPECT_EQ(passes.back().substr(0, 10), "02/02/2027") << "59 days from December 6";
    EXPECT_EQ(eclipseLines.back().substr(0, 10), "2027-02-02");
}

TEST_F(ForecastProgram, ChoosesTheSatelliteByNameOrNumber)
{
    struct Case {
        std::string Wanted, Name;
    };
    for (const Case& c : {Case{"TAVIK-SSO", "TAVIK-SSO"}, Case{"tavik-molniya", "TAVIK-MOLNIYA"},
                          Case{"4", "TAVIK-GEO"}, Case{"1", "TAVIK-LEO"}}) {
        Outcome r = Run(ExampleArgs({"--satellite", c.Wanted}));
        EXPECT_EQ(r.Status, 0) << c.Wanted << ": " << r.Err;
        EXPECT_EQ(r.Out.rfind("visible passes forecast for " + c.Name + "\n", 0), 0u) << c.Wanted;
        EXPECT_TRUE(Contains(r.Out, "\neclipses forecast for " + c.Name + "\n")) << c.Wanted;
    }
}

TEST_F(ForecastProgram, RefusesAnUnknownSatellite)
{
    for (const std::string wanted : {"FOO", "0", "6", "TAVIK"}) {
        Outcome r = Run(ExampleArgs({"--satellite", wanted}));
        EXPECT_EQ(r.Status, 1) << wanted;
        ExpectOneErrorLine(r);
        EXPECT_TRUE(Contains(r.Err, "\"" + wanted + "\"")) << r.Err;
        EXPECT_TRUE(Contains(r.Err, "example.tle")) << r.Err;
        EXPECT_TRUE(Contains(r.Err, "holds 5 satellites")) << r.Err;
        EXPECT_EQ(r.Out, "");
    }
}

// A changed digit under its old check digit was taken without a word.
TEST_F(ForecastProgram, CheckDigitThatDoesNotMatchIsWarnedAndTheForecastRuns)
{
    std::string tle = ReadBytes(Examples / "example.tle");
    const std::string line2 = "2 99101  51.6393 187.4219 0004712 112.9034 247.2511 15.49823110 51030";
    ASSERT_NE(tle.find(line2), std::string::npos);
    tle.replace(tle.find(line2), line2.size(), "2 99101  51.6393 187.4219 0004712 112.9034 247.2511 15.49823111 51030");
    WriteBytes(dir_ / "changed.tle", tle);
    std::vector<std::string> args = ExampleArgs();
    args[1] = (dir_ / "changed.tle").string();
    Outcome r = Run(args);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "tavik-forecast: warning: \"TAVIK-LEO\": element line 2: its check digit is 0, but its "
                     "columns 1-68 give 1; the line may be damaged\n");
    EXPECT_EQ(r.Out.rfind("visible passes forecast for TAVIK-LEO\n", 0), 0u);
}

// "--tle -" named a file called "-"; a pipe is read to its end, under the
// same size limit as a file.
TEST_F(ForecastProgram, ReadsStandardInputPipesAndProcessSubstitutions)
{
    const std::string tle = (Examples / "example.tle").string();
    const Outcome reference = Run(ExampleArgs());
    ASSERT_EQ(reference.Status, 0);
    const std::string rest = " --locator JO40hc --start 2026-12-06";
    struct Case {
        const char* Shell;
        std::string Script; // $0 is the program
    } cases[] = {
        {"/bin/sh", "cat '" + tle + "' | \"$0\" --tle -" + rest},
        {"/bin/bash", "exec \"$0\" --tle <(cat '" + tle + "')" + rest},
        {"/bin/sh", "mkfifo '" + (dir_ / "fifo").string() + "' && { cat '" + tle + "' > '" + (dir_ / "fifo").string()
                        + "' & } && exec \"$0\" --tle '" + (dir_ / "fifo").string() + "'" + rest},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Script);
        const Outcome r = Run({"-c", c.Script, Program}, {}, c.Shell);
        EXPECT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(r.Err, "");
        EXPECT_TRUE(r.Out == reference.Out);
    }

    const Outcome empty = Run({"-c", "exec \"$0\" --tle -" + rest + " < /dev/null", Program}, {}, "/bin/sh");
    EXPECT_EQ(empty.Status, 1);
    ExpectOneErrorLine(empty);
    EXPECT_TRUE(Contains(empty.Err, "TLE text on standard input: no satellite found")) << empty.Err;

    const Outcome endless = Run({"--tle", "/dev/zero", "--locator", "JO40hc", "--start", "2026-12-06"});
    EXPECT_EQ(endless.Status, 1);
    ExpectOneErrorLine(endless);
    EXPECT_TRUE(Contains(endless.Err, "/dev/zero: is larger than 64 MiB")) << endless.Err;
}

TEST_F(ForecastProgram, ReadsTheSettingsFileBesideTheProgram)
{
    // The build puts the example settings beside the program; its relative
    // TLE path is taken from there, not from the working folder.
    Outcome fromSettings = Run({"--start", "2026-12-06"});
    ASSERT_EQ(fromSettings.Status, 0) << fromSettings.Err;
    Outcome explicitInputs = Run(ExampleArgs());
    EXPECT_EQ(fromSettings.Out, explicitInputs.Out);
}

TEST_F(ForecastProgram, FallsBackToTheUserSettingsFile)
{
    const std::string program = ProgramCopy();
    const std::string settings = "JO40hc\n" + (Examples / "example.tle").string() + "\n";
    struct Case {
        fs::path Folder;
        std::vector<std::pair<std::string, std::optional<std::string>>> Env;
    };
    const Case cases[] = {
        {dir_ / "xdg" / "tavik", {{"XDG_CONFIG_HOME", (dir_ / "xdg").string()}}},
        {dir_ / "home" / ".config" / "tavik", {{"XDG_CONFIG_HOME", std::nullopt}}},
        {dir_ / "home" / ".config" / "tavik", {{"XDG_CONFIG_HOME", ""}}},
    };
    Outcome reference = Run(ExampleArgs());
    for (const Case& c : cases) {
        fs::create_directories(c.Folder);
        WriteBytes(c.Folder / "tavik.ini", settings);
        Outcome r = Run({"--start", "2026-12-06"}, c.Env, program);
        EXPECT_EQ(r.Status, 0) << c.Folder << ": " << r.Err;
        EXPECT_EQ(r.Out, reference.Out) << c.Folder;
        fs::remove(c.Folder / "tavik.ini");
    }
}

TEST_F(ForecastProgram, WithoutAnySettingsFileNamesWhereItLooked)
{
    const std::string program = ProgramCopy();
    Outcome r = Run({"--start", "2026-12-06"}, {}, program);
    EXPECT_EQ(r.Status, 1);
    ExpectOneErrorLine(r);
    EXPECT_TRUE(Contains(r.Err, (dir_ / "program" / "tavik.ini").string())) << r.Err;
    EXPECT_TRUE(Contains(r.Err, (dir_ / "home" / ".config" / "tavik" / "tavik.ini").string())) << r.Err;
    EXPECT_EQ(r.Out, "");

    // --tle and --locator together need no settings file.
    Outcome without = Run(ExampleArgs(), {}, program);
    EXPECT_EQ(without.Status, 0) << without.Err;
}

TEST_F(ForecastProgram, MissingOrBrokenInputFilesAreNamed)
{
    const fs::path missingSettings = dir_ / "none" / "tavik.ini";
    const fs::path missingTle = dir_ / "none.tle";
    const fs::path settingsWithoutTle = dir_ / "short.ini";
    WriteBytes(settingsWithoutTle, "JO40hc\n");
    const fs::path settingsToMissingTle = dir_ / "missing-tle.ini";
    WriteBytes(settingsToMissingTle, "JO40hc\nnone.tle\n");
    const fs::path emptyTle = dir_ / "empty.tle";
    WriteBytes(emptyTle, "\n");

    struct Case {
        std::vector<std::string> Args;
        std::string Named; // the file the message must name
    };
    const Case cases[] = {
        {{"--settings", missingSettings.string()}, missingSettings.string()},
        {{"--settings", missingSettings.string(), "--tle", (Examples / "example.tle").string()}, missingSettings.string()},
        {{"--settings", settingsWithoutTle.string()}, settingsWithoutTle.string()},
        // A relative TLE path in a settings file is taken from the settings file's folder.
        {{"--settings", settingsToMissingTle.string()}, missingTle.string()},
        {{"--tle", missingTle.string(), "--locator", "JO40hc"}, missingTle.string()},
        {{"--tle", emptyTle.string(), "--locator", "JO40hc"}, emptyTle.string()},
        {{"--tle", dir_.string(), "--locator", "JO40hc"}, dir_.string()},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.Args;
        args.insert(args.end(), {"--start", "2026-12-06"});
        Outcome r = Run(args);
        EXPECT_EQ(r.Status, 1) << c.Named;
        ExpectOneErrorLine(r);
        EXPECT_TRUE(Contains(r.Err, c.Named)) << r.Err;
        EXPECT_EQ(r.Out, "");
    }
}

TEST_F(ForecastProgram, RefusesALocatorThatIsNotOne)
{
    for (const std::string locator : {"ZZ99", "JO4", "JO40h", ""}) {
        Outcome r = Run({"--tle", (Examples / "example.tle").string(), "--locator", locator, "--start", "2026-12-06"});
        EXPECT_EQ(r.Status, 1) << locator;
        ExpectOneErrorLine(r);
        EXPECT_TRUE(Contains(r.Err, "--locator \"" + locator + "\"")) << r.Err;
    }
}

TEST_F(ForecastProgram, BadStartDateIsBadInput)
{
    struct Case {
        std::string Text, Reason;
    };
    for (const Case& c : {Case{"2026-02-31", "February 2026 has 28 days"}, Case{"31.02.2026", "February 2026 has 28 days"},
                          Case{"abc", "YYYY-MM-DD or DD.MM.YYYY"}, Case{"", "YYYY-MM-DD or DD.MM.YYYY"},
                          Case{"2026-13-01", "month \"13\""}, Case{"0000-01-01", "year \"0000\""},
                          Case{"2026/12/06", "YYYY-MM-DD"}}) {
        Outcome r = Run({"--tle", (Examples / "example.tle").string(), "--locator", "JO40hc", "--start", c.Text,
                         "--save-passes"});
        EXPECT_EQ(r.Status, 1) << c.Text;
        ExpectOneErrorLine(r);
        EXPECT_TRUE(Contains(r.Err, "--start \"" + c.Text + "\"")) << r.Err;
        EXPECT_TRUE(Contains(r.Err, c.Reason)) << r.Err;
        EXPECT_EQ(r.Out, "") << "no run starts";
        EXPECT_FALSE(fs::exists(work_ / "TAVIK-LEO_passes.txt"));
    }
    // Both layouts name the same day.
    Outcome iso = Run(ExampleArgs());
    std::vector<std::string> args = ExampleArgs();
    args[5] = "06.12.2026";
    EXPECT_EQ(Run(args).Out, iso.Out);
}

TEST_F(ForecastProgram, BadYearIsBadInput)
{
    for (const std::string year : {"abc", "0", "10000", ""}) {
        Outcome r = Run(ExampleArgs({"--year", year, "--year-dir", dir_.string()}));
        EXPECT_EQ(r.Status, 1) << year;
        ExpectOneErrorLine(r);
        EXPECT_TRUE(Contains(r.Err, "--year \"" + year + "\"")) << r.Err;
        EXPECT_EQ(r.Out, "");
    }
}

TEST_F(ForecastProgram, UsageErrorsExitWithTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--frob"}, {"--tle"}, {"--tle", "--locator", "JO40hc"}, {"--start"}, {"stray"},
        {"--save-passes=yes"}, {"--year-dir", "out"}, {"--locator", "JO40hc", "--locator", "JO40hc"},
    };
    for (const auto& args : cases) {
        Outcome r = Run(args);
        EXPECT_EQ(r.Status, 2) << args.front();
        ExpectOneErrorLine(r);
        EXPECT_TRUE(Contains(r.Err, "--help")) << r.Err;
        EXPECT_EQ(r.Out, "");
    }
}

TEST_F(ForecastProgram, SavesTheListsInWindows1252WithCrLf)
{
    Outcome r = Run(ExampleArgs({"--save-passes", "--save-eclipses"}));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(Contains(r.Out, "\nTAVIK-LEO_passes.txt has been written\n")) << r.Out;
    EXPECT_TRUE(Contains(r.Out, "\nTAVIK-LEO_eclipses.txt has been written\n")) << r.Out;

    // Each file is its list exactly as printed, with CR LF after every line
    // and the degree sign as the single byte 0xB0.
    const std::string printed = r.Out.substr(0, r.Out.find("\nTAVIK-LEO_passes.txt has been written") + 1);
    const std::size_t split = printed.find("\n\neclipses forecast for ");
    ASSERT_NE(split, std::string::npos);
    auto asFile = [](std::string text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text.compare(i, 2, "\xC2\xB0") == 0) {
                out += '\xB0';
                ++i;
            } else if (text[i] == '\n') {
                out += "\r\n";
            } else {
                out += text[i];
            }
        }
        return out;
    };
    const std::string passes = ReadBytes(work_ / "TAVIK-LEO_passes.txt");
    const std::string eclipses = ReadBytes(work_ / "TAVIK-LEO_eclipses.txt");
    EXPECT_EQ(passes, asFile(printed.substr(0, split + 1)));
    EXPECT_EQ(eclipses, asFile(printed.substr(split + 2)));

    EXPECT_EQ(passes.rfind("visible passes forecast for TAVIK-LEO\r\n" + Rule + "\r\n", 0), 0u);
    EXPECT_NE(passes.find('\xB0'), std::string::npos);
    EXPECT_EQ(passes.find("\xC2\xB0"), std::string::npos);
    EXPECT_EQ(passes.substr(passes.size() - 2), "\r\n");
    EXPECT_EQ(eclipses.substr(eclipses.size() - 2), "\r\n");
    EXPECT_EQ(std::count(passes.begin(), passes.end(), '\n'), std::count(passes.begin(), passes.end(), '\r'));
}

TEST_F(ForecastProgram, WritesTheYearFile)
{
    struct Case {
        std::string Year, FirstDay, LastDay;
    };
    for (const Case& c : {Case{"2026", "2026-01-01", "2027-01-01"}, Case{"2024", "2024-01-01", "2024-12-31"}}) {
        const fs::path folder = dir_ / ("year" + c.Year);
        fs::create_directories(folder);
        Outcome r = Run(ExampleArgs({"--year", c.Year, "--year-dir", folder.string()}));
        ASSERT_EQ(r.Status, 0) << r.Err;
        const fs::path file = folder / ("TAVIK-LEO_sowi_" + c.Year + ".csv");
        EXPECT_TRUE(Contains(r.Out, "\n" + file.string() + " has been written\n")) << r.Out;
        const std::string bytes = ReadBytes(file);
        ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        std::vector<std::string> rows = SplitLines(bytes, "\r\n");
        ASSERT_EQ(rows.size(), 367u);
        EXPECT_EQ(rows[0], "date;sun angle;sun_lat; sun_long");
        EXPECT_EQ(rows[1].rfind(c.FirstDay + " ; ", 0), 0u) << rows[1];
        EXPECT_EQ(rows[366].rfind(c.LastDay + " ; ", 0), 0u) << rows[366];
        const std::regex row("[0-9]{4}-[0-9]{2}-[0-9]{2} ; [-0-9.E+]+;[-0-9.E+]+;[-0-9.E+]+");
        for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_TRUE(std::regex_match(rows[i], row)) << rows[i];
    }
}

TEST_F(ForecastProgram, YearFileGoesToTheProgramsFolderByDefault)
{
    const std::string program = ProgramCopy();
    Outcome r = Run(ExampleArgs({"--year", "2027"}), {}, program);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(fs::exists(dir_ / "program" / "TAVIK-LEO_sowi_2027.csv"));
    EXPECT_FALSE(fs::exists(work_ / "TAVIK-LEO_sowi_2027.csv"));
}

TEST_F(ForecastProgram, DrawsTheStripChartAsPng)
{
    const fs::path png = work_ / "strip.png";
    Outcome r = Run(ExampleArgs({"--strip", "strip.png"}), {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt},
                                                            {"QT_QPA_PLATFORM", std::nullopt}});
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_TRUE(Contains(r.Out, "\nstrip.png has been written\n"));

    const std::string bytes = ReadBytes(png);
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1A\n");
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    auto be32 = [&bytes](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16)
               | (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    EXPECT_EQ(be32(16), 985u);
    EXPECT_EQ(be32(20), 713u);

    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png.string()), "PNG"));
    ASSERT_EQ(image.width(), 985);
    ASSERT_EQ(image.height(), 713);
    // The strip starts at (88, 8). Hour line 0 on its left edge, grey over
    // the full height; on December 6 the example is sunlit all day, a full
    // yellow tick at 02:00 (minute 120) away from any hour line and from the
    // pass band at the top of the row.
    EXPECT_EQ(image.pixelColor(88, 8 + 5), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(88, 8 + 600), QColor(128, 128, 128));
    const QColor sunlit = image.pixelColor(88 + 74, 8 + 11 + 8);
    EXPECT_EQ(sunlit.red(), sunlit.green());
    EXPECT_GT(sunlit.red(), 200);
    EXPECT_EQ(sunlit.blue(), 0);

    // Labels are drawn: dark pixels in the date column beside row 1 and in
    // the hour scale and the "UTC" label beneath the strip.
    auto darkPixels = [&image](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (image.pixelColor(x, y).lightness() < 100) ++n;
        return n;
    };
    EXPECT_GT(darkPixels(8 + 10, 8 + 11, 8 + 81, 8 + 22), 20) << "label of row 1";
    EXPECT_GT(darkPixels(8 + 10, 8 + 11 * 59, 8 + 81, 8 + 11 * 60), 20) << "label of row 59";
    EXPECT_EQ(darkPixels(8, 8, 8 + 81, 8 + 11), 0) << "nothing above row 1";
    EXPECT_GT(darkPixels(80, 689, 80 + 881, 705), 100) << "hour numbers";
    EXPECT_GT(darkPixels(32, 689, 73, 705), 20) << "UTC";

    // Into standard output read through a pipe, as with "| display": the
    // image alone, since the lists would spoil it.
    stdout_ = Output::Pipe;
    const Outcome piped = Run(ExampleArgs({"--strip", "/dev/stdout"}),
                              {{"DISPLAY", std::nullopt}, {"WAYLAND_DISPLAY", std::nullopt}, {"QT_QPA_PLATFORM", std::nullopt}});
    EXPECT_EQ(piped.Status, 0) << piped.Err;
    EXPECT_EQ(piped.Err, "");
    EXPECT_TRUE(piped.Out == bytes) << piped.Out.substr(0, 100);
}

TEST_F(ForecastProgram, FailedWritesAreReportedAndTheRestIsWritten)
{
    const fs::path plainFile = dir_ / "plain";
    WriteBytes(plainFile, "not a folder\n");
    // A folder where the passes file should go: it cannot be replaced.
    fs::create_directories(work_ / "TAVIK-LEO_passes.txt" / "inside");

    struct Case {
        std::vector<std::string> Args;
        std::string Failing; // the path the message names
    };
    const Case cases[] = {
        {{"--save-passes"}, "TAVIK-LEO_passes.txt"},
        {{"--strip", (dir_ / "no" / "such" / "folder" / "s.png").string()}, (dir_ / "no" / "such" / "folder" / "s.png").string()},
        {{"--strip", (plainFile / "s.png").string()}, (plainFile / "s.png").string()},
        {{"--year", "2026", "--year-dir", plainFile.string()}, (plainFile / "TAVIK-LEO_sowi_2026.csv").string()},
        {{"--year", "2026", "--year-dir", (dir_ / "missing").string()}, (dir_ / "missing" / "TAVIK-LEO_sowi_2026.csv").string()},
    };
    for (const Case& c : cases) {
        std::vector<std::string> more = c.Args;
        more.push_back("--save-eclipses");
        Outcome r = Run(ExampleArgs(more));
        EXPECT_EQ(r.Status, 1) << c.Failing;
        EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
        EXPECT_EQ(r.Err.rfind("tavik-forecast: ", 0), 0u) << r.Err;
        EXPECT_TRUE(Contains(r.Err, c.Failing)) << r.Err;
        EXPECT_FALSE(Contains(r.Out, c.Failing + " has been written")) << r.Out;
        // The lists are printed and the other file is still written.
        EXPECT_EQ(r.Out.rfind("visible passes forecast for TAVIK-LEO\n", 0), 0u);
        EXPECT_TRUE(Contains(r.Out, "\nTAVIK-LEO_eclipses.txt has been written\n")) << r.Out;
        EXPECT_TRUE(fs::is_regular_file(work_ / "TAVIK-LEO_eclipses.txt"));
        fs::remove(work_ / "TAVIK-LEO_eclipses.txt");
    }
    EXPECT_TRUE(fs::is_directory(work_ / "TAVIK-LEO_passes.txt" / "inside"));
    EXPECT_FALSE(fs::exists(dir_ / "no"));
}

TEST_F(ForecastProgram, FullStandardOutputFailsTheRunAndAReaderThatLeftOnlyEndsTheListing)
{
    const std::string full = "tavik-forecast: cannot write standard output: No space left on device\n";
    struct Case {
        Output To;
        std::vector<std::string> Args;
        int Status;
        std::string Err;
        const char* Written; // a file the run must still write whole, and its last satellite
        const char* LastName;
    };
    const Case cases[] = {
        {Output::FullDevice, {"--help"}, 1, full, nullptr, nullptr},
        {Output::FullDevice, {"--version"}, 1, full, nullptr, nullptr},
        {Output::FullDevice, ExampleArgs({"--save-passes"}), 1, full, "TAVIK-LEO_passes.txt", nullptr},
        {Output::FullDevice, ExampleArgs({"--all", "--out", "full"}), 1, full, "full/summary.csv", "TAVIK-REENTRY"},
        {Output::ClosedPipe, ExampleArgs({"--save-passes"}), 0, "", "TAVIK-LEO_passes.txt", nullptr},
        {Output::ClosedPipe, ExampleArgs({"--all", "--out", "head"}), 0, "", "head/summary.csv", "TAVIK-REENTRY"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args.back());
        stdout_ = c.To;
        Outcome r = Run(c.Args);
        EXPECT_EQ(r.Status, c.Status);
        EXPECT_EQ(r.Err, c.Err);
        if (c.Written) {
            const std::string bytes = ReadBytes(work_ / c.Written);
            ASSERT_FALSE(bytes.empty()) << c.Written;
            EXPECT_EQ(bytes.back(), '\n');
            if (c.LastName) {
                EXPECT_TRUE(Contains(bytes.substr(bytes.rfind('\n', bytes.size() - 2)), c.LastName)) << bytes;
            }
            fs::remove(work_ / c.Written);
        }
    }
}

TEST_F(ForecastProgram, DecayingSatelliteStopsEarlyAndThatIsAResult)
{
    Outcome r = Run(ExampleArgs({"--satellite", "TAVIK-REENTRY", "--save-passes", "--save-eclipses"}));
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "tavik-forecast: \"TAVIK-REENTRY\" sank below 150 km at 2026-12-21 16:03:00 UTC; "
                     "the forecast stops there\n");
    // The partial lists are printed and written; nothing after the stop.
    std::vector<std::string> lines = SplitLines(r.Out, "\n");
    auto eclipses = std::find(lines.begin(), lines.end(), "eclipses forecast for TAVIK-REENTRY");
    ASSERT_NE(eclipses, lines.end());
    ASSERT_GT(eclipses - lines.begin(), 10);
    const std::string lastPass = *(eclipses - 2);
    EXPECT_EQ(lastPass.substr(0, 10), "12/21/2026") << lastPass;
    const std::string lastEclipse = *(std::find(eclipses, lines.end(), "TAVIK-REENTRY_passes.txt has been written") - 1);
    EXPECT_LT(lastEclipse.substr(0, 19), "2026-12-21 16:03:00") << lastEclipse;
    EXPECT_TRUE(fs::exists(work_ / "TAVIK-REENTRY_passes.txt"));
    EXPECT_TRUE(fs::exists(work_ / "TAVIK-REENTRY_eclipses.txt"));
}

TEST_F(ForecastProgram, DatesAndNumbersFollowTheLocale)
{
    locale_t german = newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
    if (!german) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    freelocale(german);

    Outcome r = Run(ExampleArgs({"--year", "2026", "--year-dir", dir_.string()}), {{"LC_ALL", "de_DE.UTF-8"}});
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::string header = "eclipses forecast for TAVIK-LEO\n" + Rule + "\n";
    const std::size_t at = r.Out.find(header);
    ASSERT_NE(at, std::string::npos);
    const std::string firstEclipse = r.Out.substr(at + header.size(), 60);
    EXPECT_TRUE(std::regex_search(firstEclipse, std::regex("^[0-9]{2}\\.[0-9]{2}\\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}   ->   ")))
        << firstEclipse;
    const std::vector<std::string> rows = SplitLines(ReadBytes(dir_ / "TAVIK-LEO_sowi_2026.csv"), "\r\n");
    ASSERT_EQ(rows.size(), 367u);
    EXPECT_TRUE(std::regex_match(rows[1], std::regex("01\\.01\\.2026 ; -?[0-9]+,[0-9]+;-?[0-9]+,[0-9]+;-?[0-9]+,[0-9]+")))
        << rows[1];
}

// Written in Windows-1252, the AM/PM designators of ar_EG and the decimal
// separator of ps_AF became "?": "11?9885781509708" in the year file.
TEST_F(ForecastProgram, FilesUseFormsWindows1252HoldsAndSaySoOnce)
{
    struct Case {
        const char* Locale;
        const char* Says;
    } cases[] = {{"ar_EG.UTF-8", "24-hour time"}, {"ps_AF.UTF-8", "\".\" for decimals"}};
    for (const Case& c : cases) {
        locale_t installed = newlocale(LC_ALL_MASK, c.Locale, nullptr);
        if (!installed) continue;
        freelocale(installed);
        SCOPED_TRACE(c.Locale);
        Outcome r = Run(ExampleArgs({"--save-eclipses", "--year", "2026", "--year-dir", work_.string()}),
                        {{"LC_ALL", c.Locale}});
        ASSERT_EQ(r.Status, 0) << r.Err;
        EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
        EXPECT_EQ(r.Err.rfind("tavik-forecast: note: Windows-1252 cannot hold the locale's ", 0), 0u) << r.Err;
        EXPECT_TRUE(Contains(r.Err, c.Says)) << r.Err;
        for (const char* file : {"TAVIK-LEO_eclipses.txt", "TAVIK-LEO_sowi_2026.csv"}) {
            const std::string bytes = ReadBytes(work_ / file);
            ASSERT_FALSE(bytes.empty()) << file;
            EXPECT_EQ(bytes.find('?'), std::string::npos) << file;
        }
        EXPECT_TRUE(std::regex_search(ReadBytes(work_ / "TAVIK-LEO_sowi_2026.csv"), std::regex(" ; 11\\.98857")));
    }
}

} // namespace

namespace {

TEST_F(ForecastProgram, AllSatellitesIntoOneFolderWithASummary)
{
    Outcome r = Run(ExampleArgs({"--all", "--out", "forecasts"}));
    EXPECT_EQ(r.Status, 0) << r.Err;
    const fs::path out = work_ / "forecasts";
    for (const char* name : {"TAVIK-LEO", "TAVIK-SSO", "TAVIK-MOLNIYA", "TAVIK-GEO", "TAVIK-REENTRY"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(fs::exists(out / (std::string(name) + "_passes.txt")));
        EXPECT_TRUE(fs::exists(out / (std::string(name) + "_eclipses.txt")));
        EXPECT_TRUE(Contains(r.Out, name));
    }
    const std::string csv = ReadBytes(out / "summary.csv");
    std::vector<std::string> rows = SplitLines(csv, "\n");
    ASSERT_EQ(rows.size(), 6u) << csv;
    EXPECT_EQ(rows[0], "name,passes,eclipses,longest eclipse (min),total eclipse (min),sunlit (%),reason");
    EXPECT_EQ(rows[1].rfind("TAVIK-LEO,370,869,37,", 0), 0u) << rows[1];
    EXPECT_TRUE(Contains(rows[5], "sank below 150 km")) << rows[5];
    // The same passes as the single-satellite run writes.
    Outcome one = Run(ExampleArgs({"--save-passes"}));
    EXPECT_EQ(ReadBytes(out / "TAVIK-LEO_passes.txt"), ReadBytes(work_ / "TAVIK-LEO_passes.txt"));
}

TEST_F(ForecastProgram, AllRefusesOptionsForOneSatellite)
{
    struct Case {
        std::vector<std::string> Args;
        const char* Mentions;
    };
    const Case cases[] = {
        {{"--all", "--satellite", "2"}, "--satellite"},
        {{"--all", "--save-passes"}, "--save-passes"},
        {{"--all", "--strip", "x.png"}, "--strip"},
        {{"--out", "dir"}, "--out needs --all"},
    };
    for (const auto& c : cases) {
        Outcome r = Run(ExampleArgs(c.Args));
        EXPECT_EQ(r.Status, 2);
        EXPECT_TRUE(Contains(r.Err, c.Mentions)) << r.Err;
    }
}

TEST_F(ForecastProgram, AnInterruptLeavesOnlyWholeFiles)
{
    // A catalogue long enough to be interrupted half way.
    const std::string leo = ReadBytes(Examples / "example.tle").substr(0, 150);
    std::string big;
    for (int i = 0; i < 400; ++i) big += "SAT " + std::to_string(i) + leo.substr(leo.find('\n'));
    WriteBytes(dir_ / "big.tle", big);

    // Ctrl-C, kill, a closed terminal: stopped with whole files and a summary
    // that says what was not computed. SIGKILL cannot be caught, but it too
    // must leave no temporary file in sight.
    struct Case {
        int Signal;
        bool Summary;
    };
    for (const Case c : {Case{SIGINT, true}, Case{SIGTERM, true}, Case{SIGHUP, true}, Case{SIGKILL, false}}) {
        SCOPED_TRACE(strsignal(c.Signal));
        const fs::path out = work_ / ("big-" + std::to_string(c.Signal));
        pid_t pid = fork();
        if (pid == 0) {
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 1);
            dup2(null, 2);
            setenv("LC_ALL", "C", 1);
            execl(Program.c_str(), Program.c_str(), "--tle", (dir_ / "big.tle").c_str(), "--locator", "JO40hc",
                  "--start", "2026-12-06", "--all", "--out", out.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        ASSERT_GT(pid, 0);
        // Wait until some files are there, then interrupt.
        for (int i = 0; i < 600 && !(fs::exists(out) && std::distance(fs::directory_iterator(out), {}) > 6); ++i)
            usleep(50 * 1000);
        kill(pid, c.Signal);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        // A caught signal ends with an exit status, SIGKILL by the signal.
        EXPECT_EQ(WIFEXITED(status), c.Summary);
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), 128 + c.Signal);
        int whole = 0;
        for (const auto& entry : fs::directory_iterator(out)) {
            const std::string name = entry.path().filename().string();
            EXPECT_NE(name[0], '.') << name;
            if (name == "summary.csv") continue;
            const std::string bytes = ReadBytes(entry.path());
            EXPECT_EQ(bytes.rfind(name.find("_passes") != std::string::npos ? "visible passes" : "eclipses", 0), 0u) << name;
            EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
            ++whole;
        }
        EXPECT_GT(whole, 0);
        EXPECT_LT(whole, 800); // it stopped before the end
        if (!c.Summary) continue;
        const std::string csv = ReadBytes(out / "summary.csv");
        EXPECT_TRUE(Contains(csv, ",interrupted\n")) << csv.substr(0, 300);
    }
}

} // namespace
