// Bad input given to tavik-forecast run as a process: exit status 1, one
// line on standard error naming the file or option, and the files already
// there left as they were.
#include "Support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#ifndef TAVIK_FORECAST_EXE
#error "TAVIK_FORECAST_EXE must name the tavik-forecast program"
#endif

namespace tavik::badinput {
namespace {

struct Outcome {
    int Status = -1; // exit status, or 128 + the signal
    std::string Out, Err;
};

// The scratch layout of every case: <root>/work is the working folder,
// <root>/home the home folder; {root} in an argument stands for the root.
class Scene {
public:
    Scene()
    {
        fs::create_directories(root_ / "work");
        fs::create_directories(root_ / "home" / ".config");
    }

    const fs::path& Root() const { return root_.Path(); }
    fs::path Work() const { return root_ / "work"; }

    std::string Expand(const std::string& text) const
    {
        std::string out = text;
        const std::string key = "{root}";
        for (std::size_t at = out.find(key); at != std::string::npos; at = out.find(key, at))
            out.replace(at, key.size(), Root().string());
        return out;
    }

    Outcome Run(const std::vector<std::string>& args) const
    {
        const fs::path out = root_ / "stdout", err = root_ / "stderr";
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("LC_ALL", "C", 1);
            ::setenv("HOME", (root_ / "home").c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (root_ / "home" / ".config").c_str(), 1);
            const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0 || ::chdir(Work().c_str()) != 0) ::_exit(127);
            std::vector<std::string> expanded;
            for (const std::string& a : args) expanded.push_back(Expand(a));
            std::vector<char*> argv{const_cast<char*>(TAVIK_FORECAST_EXE)};
            for (std::string& a : expanded) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(TAVIK_FORECAST_EXE, argv.data());
            ::_exit(127);
        }
        Outcome r;
        int status = 0;
        if (pid > 0 && ::waitpid(pid, &status, 0) == pid)
            r.Status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.Out = ReadBytes(out);
        r.Err = ReadBytes(err);
        return r;
    }

private:
    ScratchFolder root_;
};

struct ProgramCase {
    const char* Label;
    // Files to make before the run, by path relative to the root; a value
    // of "<dir>" makes a folder, "<pipe>" a named pipe and "<full device>" a
    // node of the device that is always full (root only). They must all be
    // there, unchanged, after.
    std::map<std::string, std::string> Files;
    std::vector<std::string> Args;
    std::vector<std::string> Mentions; // in the error line; {root} expands
    bool PrintsLists = false;          // the forecast itself succeeds before the failure
};

std::ostream& operator<<(std::ostream& out, const ProgramCase& c) { return out << c.Label; }

const std::string GoodTle = Entry(GoodName, GoodLine1, GoodLine2);
const std::string MeanMotionZeroTle = Entry(GoodName, GoodLine1, Replaced(GoodLine2, 53, 63, " 0.00000000"));
const std::string OldList = "visible passes forecast for BADIN-1\r\nan older line\r\n";

std::vector<std::string> WithGood(std::vector<std::string> more)
{
    std::vector<std::string> args = {"--tle", "{root}/good.tle", "--locator", "JO40HC", "--start", "2026-12-06"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

class ForecastProgramBadInput : public ::testing::TestWithParam<ProgramCase> {};

TEST_P(ForecastProgramBadInput, ExitsWithStatusOneAndOneLineNamingTheProblem)
{
    const ProgramCase& c = GetParam();
    Scene scene;
    for (const auto& [name, bytes] : c.Files) {
        const fs::path path = scene.Root() / name;
        fs::create_directories(path.parent_path());
        if (bytes == "<dir>") fs::create_directory(path);
        else if (bytes == "<pipe>") ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        else if (bytes != "<full device>") WriteBytes(path, bytes);
        else if (::geteuid() != 0) GTEST_SKIP() << "only root may make a device node";
        else ASSERT_EQ(::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    }
    const Outcome r = scene.Run(c.Args);

    EXPECT_EQ(r.Status, 1) << r.Err;
    ASSERT_FALSE(r.Err.empty());
    EXPECT_EQ(r.Err.back(), '\n');
    EXPECT_EQ(std::count(r.Err.begin(), r.Err.end(), '\n'), 1) << r.Err;
    EXPECT_EQ(r.Err.rfind("tavik-forecast: ", 0), 0u) << r.Err;
    std::vector<std::string> parts;
    for (const std::string& m : c.Mentions) parts.push_back(scene.Expand(m));
    ExpectClearMessage(r.Err.substr(0, r.Err.size() - 1), parts);
    EXPECT_FALSE(Contains(r.Out, "has been written")) << r.Out;
    EXPECT_EQ(Contains(r.Out, "visible passes forecast for"), c.PrintsLists) << r.Out.substr(0, 200);

    // What was there is there as it was, and nothing else appeared at work.
    std::vector<std::string> atWork;
    for (const auto& [name, bytes] : c.Files) {
        const fs::path path = scene.Root() / name;
        struct stat info {};
        if (bytes == "<dir>") EXPECT_TRUE(fs::is_directory(path)) << name;
        else if (bytes == "<pipe>") EXPECT_TRUE(fs::is_fifo(path)) << name;
        else if (bytes == "<full device>")
            EXPECT_TRUE(::lstat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode) && info.st_rdev == makedev(1, 7)) << name;
        else EXPECT_EQ(ReadBytes(path), bytes) << name;
        if (fs::path(name).parent_path() == "work") atWork.push_back(fs::path(name).filename().string());
    }
    std::vector<std::string> listing;
    for (const auto& entry : fs::directory_iterator(scene.Work())) listing.push_back(entry.path().filename().string());
    std::sort(listing.begin(), listing.end());
    std::sort(atWork.begin(), atWork.end());
    EXPECT_EQ(listing, atWork);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ForecastProgramBadInput,
    ::testing::Values(
        ProgramCase{"SettingsFileMissing", {}, {"--settings", "{root}/none.ini"},
                    {"settings file {root}/none.ini", std::strerror(ENOENT)}},
        ProgramCase{"SettingsFileEmpty", {{"tavik.ini", ""}}, {"--settings", "{root}/tavik.ini"},
                    {"{root}/tavik.ini", "empty"}},
        ProgramCase{"SettingsFileOneLine", {{"tavik.ini", "JO40HC\r\n"}}, {"--settings", "{root}/tavik.ini"},
                    {"{root}/tavik.ini", "line 2"}},
        ProgramCase{"SettingsLine2Empty", {{"tavik.ini", "JO40HC\r\n\r\ngood.tle\r\n"}, {"good.tle", GoodTle}},
                    {"--settings", "{root}/tavik.ini"}, {"settings file {root}/tavik.ini: line 2 is empty"}},
        ProgramCase{"SettingsTlePathEndsWithABlank", {{"tavik.ini", "JO40HC\r\ngood.tle \r\n"}, {"good.tle", GoodTle}},
                    {"--settings", "{root}/tavik.ini"},
                    {"TLE file \"{root}/good.tle \": ", std::strerror(ENOENT), "(the name ends with a blank)"}},
        ProgramCase{"SettingsFileBinary", {{"tavik.ini", std::string("JO40HC\r\n\0\0\0", 11)}},
                    {"--settings", "{root}/tavik.ini"}, {"{root}/tavik.ini", "NUL"}},
        ProgramCase{"SettingsLocatorFiveCharacters", {{"tavik.ini", "JO40h\r\ngood.tle\r\n"}, {"good.tle", GoodTle}},
                    {"--settings", "{root}/tavik.ini"}, {"{root}/tavik.ini", "line 1", "\"JO40h\""}},
        ProgramCase{"LocatorThreeCharacters", {{"good.tle", GoodTle}},
                    {"--tle", "{root}/good.tle", "--locator", "JO4"}, {"--locator \"JO4\"", "this one has 3"}},
        ProgramCase{"LocatorWithACyrillicO", {{"good.tle", GoodTle}},
                    {"--tle", "{root}/good.tle", "--locator", "J\xD0\x9E" "40HC"},
                    {"--locator \"J\xD0\x9E" "40HC\"", "character 2 is \"\xD0\x9E\" (U+041E)"}},
        ProgramCase{"LocatorBadLetters", {{"good.tle", GoodTle}},
                    {"--tle", "{root}/good.tle", "--locator", "ZZ99ZZ"}, {"--locator \"ZZ99ZZ\"", "A to R"}},
        ProgramCase{"TleFileMissing", {}, {"--tle", "{root}/none.tle", "--locator", "JO40HC"},
                    {"TLE file {root}/none.tle", std::strerror(ENOENT)}},
        ProgramCase{"TleFileIsAFolder", {{"kep", "<dir>"}}, {"--tle", "{root}/kep", "--locator", "JO40HC"},
                    {"{root}/kep", "is a folder"}},
        ProgramCase{"TleFileEmpty", {{"empty.tle", ""}}, {"--tle", "{root}/empty.tle", "--locator", "JO40HC"},
                    {"{root}/empty.tle", "no satellite found"}},
        ProgramCase{"TleFileInUtf16", {{"wide.tle", std::string("\xFF\xFEN\0A\0M\0E\0\r\0\n\0", 14)}},
                    {"--tle", "{root}/wide.tle", "--locator", "JO40HC"}, {"TLE file {root}/wide.tle", "UTF-16"}},
        ProgramCase{"TleFileWithoutNames", {{"lines.tle", GoodLine1 + "\r\n" + GoodLine2 + "\r\n"}},
                    {"--tle", "{root}/lines.tle", "--locator", "JO40HC"}, {"{root}/lines.tle", "no satellite found"}},
        // Past the 500 entries read, it is there but cannot be chosen.
        ProgramCase{"SatelliteBeyondThe500th",
                    {{"six-hundred.tle", [] {
                          std::string s;
                          for (int i = 1; i <= 600; ++i) s += Entry("SAT " + std::to_string(i), GoodLine1, GoodLine2);
                          return s;
                      }()}},
                    {"--tle", "{root}/six-hundred.tle", "--locator", "JO40HC", "--satellite", "SAT 550"},
                    {"satellite \"SAT 550\" lies past the 500 entries that are read from {root}/six-hundred.tle",
                     "number 550 of 600"}},
        ProgramCase{"MeanMotionZero", {{"good.tle", MeanMotionZeroTle}, {"work/BADIN-1_passes.txt", OldList}},
                    WithGood({"--save-passes"}), {"\"BADIN-1\"", "mean motion"}},
        ProgramCase{"LinesOfTwoSatellites", {{"good.tle", Entry(GoodName, GoodLine1, Replaced(GoodLine2, 3, 7, "25544"))}},
                    WithGood({}), {"\"BADIN-1\" cannot be computed: its element lines belong to two satellites"}},
        ProgramCase{"EpochDay999", {{"good.tle", Entry(GoodName, Replaced(GoodLine1, 19, 32, "26999.50000000"), GoodLine2)}},
                    WithGood({}), {"\"BADIN-1\"", "names day 999.5 of 2026"}},
        ProgramCase{"Line2CutInsideTheMeanMotion", {{"good.tle", Entry(GoodName, GoodLine1, GoodLine2.substr(0, 56))}},
                    WithGood({}), {"\"BADIN-1\"", "element line 2 is cut off after column 56, inside the mean motion"}},
        ProgramCase{"NameWithoutElementLines", {{"good.tle", "LONELY\r\n"}}, WithGood({}),
                    {"\"LONELY\"", "element line 1 is missing"}},
        ProgramCase{"StartFebruary31", {{"good.tle", GoodTle}},
                    {"--tle", "{root}/good.tle", "--locator", "JO40HC", "--start", "2026-02-31"},
                    {"--start \"2026-02-31\"", "February 2026 has 28 days"}},
        ProgramCase{"StartYearZero", {{"good.tle", GoodTle}},
                    {"--tle", "{root}/good.tle", "--locator", "JO40HC", "--start", "0000-01-01"},
                    {"--start \"0000-01-01\"", "year"}},
        ProgramCase{"StartLetters", {{"good.tle", GoodTle}},
                    {"--tle", "{root}/good.tle", "--locator", "JO40HC", "--start", "tomorrow"},
                    {"--start \"tomorrow\"", "YYYY-MM-DD"}},
        ProgramCase{"YearLetters", {{"good.tle", GoodTle}}, WithGood({"--year", "abc"}), {"--year \"abc\"", "whole number"}},
        ProgramCase{"YearEmpty", {{"good.tle", GoodTle}}, WithGood({"--year="}), {"--year \"\"", "empty"}},
        ProgramCase{"YearFolderUnderAFile", {{"good.tle", GoodTle}, {"plain", "x"}},
                    WithGood({"--year", "2026", "--year-dir", "{root}/plain/sub"}),
                    {"cannot write {root}/plain/sub/BADIN-1_sowi_2026.csv", std::strerror(ENOTDIR)}, true},
        ProgramCase{"YearFolderMissing", {{"good.tle", GoodTle}},
                    WithGood({"--year", "2026", "--year-dir", "{root}/gone"}),
                    {"cannot write {root}/gone/BADIN-1_sowi_2026.csv", std::strerror(ENOENT)}, true},
        ProgramCase{"PassesFileIsAFolder", {{"good.tle", GoodTle}, {"work/BADIN-1_passes.txt", "<dir>"}},
                    WithGood({"--save-passes"}), {"cannot write BADIN-1_passes.txt", "is a folder"}, true},
        ProgramCase{"StripIntoAMissingFolder", {{"good.tle", GoodTle}}, WithGood({"--strip", "{root}/gone/strip.png"}),
                    {"cannot write {root}/gone/strip.png"}, true},
        ProgramCase{"StripIntoAFullDevice", {{"good.tle", GoodTle}, {"full", "<full device>"}},
                    WithGood({"--strip", "{root}/full"}), {"cannot write {root}/full", std::strerror(ENOSPC)}, true},
        ProgramCase{"PassesIntoAPipeNobodyReads", {{"good.tle", GoodTle}, {"work/BADIN-1_passes.txt", "<pipe>"}},
                    WithGood({"--save-passes"}), {"cannot write BADIN-1_passes.txt", "no program is reading"}, true}),
    [](const ::testing::TestParamInfo<ProgramCase>& info) { return std::string(info.param.Label); });

} // namespace
} // namespace tavik::badinput
