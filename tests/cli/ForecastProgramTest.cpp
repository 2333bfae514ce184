// What only the running program shows: exit statuses, failing or vanishing output, signals, standard input,
// the settings it finds and the files it writes and announces.
#include "Program.h"

#include <arpa/inet.h>
#include <csignal>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>

namespace tavik::program {
namespace {

const std::string Tle = TAVIK_EXAMPLES "/example.tle";
const std::string Rule(121, '-');
const std::vector<std::string> Example = {"--tle", Tle, "--locator", "JO40hc", "--start", "2026-12-06"};
const std::string FirstPass = "12/06/2026  06:59 (Az 171\xC2\xB0)  illum: 098%   sun angle: 11\xC2\xB0 -> "
                              "07:07 (Az 081\xC2\xB0)  illum: 098%   sun angle: 11\xC2\xB0  maxEl: 06\xC2\xB0\n";
const std::string Full = "tavik-forecast: cannot write standard output: No space left on device\n";

std::vector<std::string> With(std::vector<std::string> more)
{
    more.insert(more.begin(), Example.begin(), Example.end());
    return more;
}
const std::string Png = std::string("^\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x03\xD9\0\0\x02\xC9", 25); // 985 x 713 pixels

TAVIK_PROGRAM_TABLE(
    ForecastProgram, GivesItsExitStatusOutputAndFiles,
    Invocation{.Name = "Version", .Args = {"--version"}, .OutHas = {"tavik-forecast " TAVIK_VERSION "\n"}},
    // A full disk under standard output fails the run, but the files are still written.
    Invocation{.Name = "ListsIntoAFullDevice", .Args = With({"--save-passes"}), .Status = 1, .ErrHas = {Full},
               .Files = {{"work/TAVIK-LEO_passes.txt", "\r\n"}}, .To = Output::FullDevice},
    // "| head" has read enough: the listing ends quietly, the files are written whole.
    Invocation{.Name = "ReaderThatLeft", .Args = With({"--save-passes"}),
               .Files = {{"work/TAVIK-LEO_passes.txt", "visible passes forecast for TAVIK-LEO\r\n" + Rule + "\r\n"}},
               .To = Output::ClosedPipe},
    // "--tle -" named a file called "-".
    Invocation{.Name = "TleFromStandardInput", .Args = {"--tle", "-", "--locator", "JO40hc", "--start", "2026-12-06"},
               .OutHas = {"visible passes forecast for TAVIK-LEO\n" + Rule + "\n" + FirstPass},
               .Stdin = ReadBytes(Tle)},
    Invocation{.Name = "FilesWrittenAndAnnounced",
               .Args = With({"--save-passes", "--save-eclipses", "--year", "2024", "--year-dir", "{root}/work"}),
               .OutHas = {"\nTAVIK-LEO_passes.txt has been written\n", "\nTAVIK-LEO_eclipses.txt has been written\n",
                          "\n{root}/work/TAVIK-LEO_sowi_2024.csv has been written\n"},
               .Files = {{"work/TAVIK-LEO_passes.txt", "\r\n"}, {"work/TAVIK-LEO_eclipses.txt", "\r\n"},
                         {"work/TAVIK-LEO_sowi_2024.csv", "\r\n2024-12-31 ; "}}},
    // A document on standard output is read whole by a script or a calendar: what was written is said on
    // standard error.
    Invocation{.Name = "JsonOnStandardOutputAloneWithItsFilesAnnouncedOnStandardError",
               .Args = With({"--format", "json", "--save-passes", "--save-eclipses"}),
               .ErrHas = {"tavik-forecast: TAVIK-LEO_passes.json has been written\n",
                          "tavik-forecast: TAVIK-LEO_eclipses.json has been written\n"},
               .Files = {{"work/TAVIK-LEO_passes.json", "^{"}},
               .Shell = "set -o pipefail; \"$0\" \"$@\" | python3 -c 'import json, sys; json.load(sys.stdin)'"},
    // The attitude is named in the export's header; the lists and the year file keep their form and follow it.
    // The frequencies reach the export as Doppler columns.
    Invocation{.Name = "SunPointingAttitude",
               .Args = With({"--attitude", "sun", "--format", "csv", "--frequency=145.8", "--uplink=435.3", "--year",
                             "2024", "--year-dir", "{root}/work"}),
               .OutHas = {"\r\nmodel,classic\r\nattitude,sun\r\n", ",set_uplink_doppler_hz\r\n"},
               .ErrHas = {"TAVIK-LEO_sowi_2024.csv has been written\n"},
               .Files = {{"work/TAVIK-LEO_sowi_2024.csv",
                          "date;sun angle;sun_lat; sun_long\r\n2024-01-01 ; -89.99999"}}},
    Invocation{.Name = "WriteThatFailsLeavesTheOtherWritten", .Args = With({"--save-passes", "--save-eclipses"}),
               .Status = 1, .OutHas = {"\nTAVIK-LEO_eclipses.txt has been written\n"},
               .ErrHas = {"tavik-forecast: cannot write TAVIK-LEO_passes.txt"},
               .Files = {{"work/TAVIK-LEO_eclipses.txt", "eclipses forecast for TAVIK-LEO\r\n"}},
               .Before = {{"work/TAVIK-LEO_passes.txt", "<dir>"}}},
    // A batch went on as if a satellite whose files failed had been written.
    Invocation{.Name = "AllWithAWriteThatFails", .Args = With({"--all", "--out", "out"}), .Status = 1,
               .OutHas = {"cannot write out/TAVIK-SSO_passes.txt: is a folder, not a file\n"},
               .Files = {{"work/out/TAVIK-GEO_eclipses.txt", "\r\n"},
                         {"work/out/summary.csv",
                          "\nTAVIK-SSO,473,838,33,26777,68.5,classic,\"cannot write out/TAVIK-SSO_"}},
               .Before = {{"work/out/TAVIK-SSO_passes.txt", "<dir>"}}},
    // Two runs into one folder tore summary.csv: a run finds the folder held (here by flock(1) standing in for
    // another run) and is refused, changing nothing.
    Invocation{.Name = "AllIntoAFolderAnotherRunHolds", .Args = With({"--all", "--out", "out"}), .Status = 1,
               .ErrHas = {"tavik-forecast: cannot write into the folder out: another run is writing there; wait for "
                          "it to end or choose another folder\n"},
               .Before = {{"work/out", "<dir>"}}, .Unchanged = true, .Shell = "exec flock out \"$0\" \"$@\""},
    // summary.csv was opened with fopen("wb"): a named pipe that nobody reads held the run in the open for ever.
    Invocation{.Name = "AllWithASummaryThatIsAPipeNobodyReads", .Args = With({"--all", "--out", "out"}), .Status = 1,
               .ErrHas = {"tavik-forecast: cannot write out/summary.csv: is a pipe that no program is reading\n"},
               .Files = {{"work/out/TAVIK-LEO_passes.txt", "\r\n"}},
               .Before = {{"work/out/summary.csv", "<pipe>"}}},
    // Element sets far from the start gave thousands of lines without a word.
    Invocation{.Name = "StartLongAfterTheEpoch", .Args = {"--tle", Tle, "--locator", "JO40hc", "--start", "2027-01-15"},
               .OutHas = {"visible passes forecast for TAVIK-LEO\n"},
               .ErrHas = {"tavik-forecast: warning: \"TAVIK-LEO\": the start lies 44.5 days after the element set's "
                          "epoch; its passes may be far off\n"}},
    Invocation{.Name = "AllLongAfterTheEpoch",
               .Args = {"--tle", Tle, "--locator", "JO40hc", "--start", "2027-01-15", "--all", "--out", "out"},
               .ErrHas = {"tavik-forecast: warning: for 5 of 5 satellites the start lies too far from the element "
                          "set's epoch for passes to be trusted; see the column \"epoch warning\" of "
                          "out/summary.csv\n"},
               .Files = {{"work/out/summary.csv", ",classic,,the start lies 44.5 days after the element set's epoch"}}},
    // The build puts example settings beside the program; a copy alone says where it looked. DD.MM.YYYY also does.
    Invocation{.Name = "SettingsBesideTheProgram", .Args = {"--start", "6.12.2026"}, .OutHas = {FirstPass}},
    Invocation{.Name = "NoSettingsAnywhere", .Args = {"--start", "2026-12-06"}, .Status = 1,
               .ErrHas = {"{root}/program/tavik.ini", "{root}/home/.config/tavik/tavik.ini"},
               .Shell = "mkdir ../program && cp \"$0\" ../program && exec ../program/tavik-forecast \"$@\""},
    // The strip chart into standard output, as with "| display": the image alone, drawn without a display. The
    // link is the test's own, made as /dev/stdout is, so that a faulty write cannot replace the system's.
    Invocation{.Name = "StripIntoStandardOutput", .Args = With({"--strip", "{root}/stdout"}),
               .ErrHas = {"tavik-forecast: {root}/stdout has been written\n"},
               .Files = {{"piped.png", Png}, {"piped.png", "IEND\xAE\x42\x60\x82"}, {"piped.png", "!has been written"}},
               .Shell = "set -o pipefail; ln -s /proc/self/fd/1 ../stdout && \"$0\" \"$@\" | cat > ../piped.png",
               .Env = {{"QT_QPA_PLATFORM", ""}}},
    // Written in Windows-1252, the AM/PM designators of ar_EG and the decimal separator of ps_AF became "?".
    Invocation{.Name = "ArabicLocale", .Args = With({"--save-eclipses", "--year", "2026", "--year-dir", "{root}/work"}),
               .ErrHas = {"tavik-forecast: note: Windows-1252 cannot hold the locale's", "24-hour time"},
               .Files = {{"work/TAVIK-LEO_eclipses.txt", "!?"}, {"work/TAVIK-LEO_sowi_2026.csv", "!?"}},
               .Env = {{"LC_ALL", "ar_EG.UTF-8"}}},
    Invocation{.Name = "PashtoLocale", .Args = With({"--year", "2026", "--year-dir", "{root}/work"}),
               .ErrHas = {"\".\" for decimals"},
               .Files = {{"work/TAVIK-LEO_sowi_2026.csv", " ; 11.98857"}, {"work/TAVIK-LEO_sowi_2026.csv", "!?"}},
               .Env = {{"LC_ALL", "ps_AF.UTF-8"}}});

// Ctrl-C, kill, a closed terminal: --all stops with whole files, a summary marking what was not computed and
// 128 + the signal. SIGKILL cannot be caught, but it too must leave no hidden temporary file.
TEST(ForecastProgramSignals, StopTheBatchLeavingOnlyWholeFiles)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(strsignal(signal));
        Scene scene;
        WriteBytes(scene.Root() / "big.tle", CopiesOfTheLowSatellite(400));
        const fs::path out = scene.Root() / "work" / "out";
        const Invocation all{.Name = "", .Args = {"--tle", "{root}/big.tle", "--locator", "JO40hc", "--start",
                                                  "2026-12-06", "--all", "--out", "out"}};
        // The signal comes once the batch has written some files: polled for, with a bound of a minute that
        // only a hung program reaches.
        const auto written = [&out] { return fs::exists(out) && std::distance(fs::directory_iterator(out), {}) > 6; };
        const Outcome r = scene.Run(all, [&](pid_t pid) {
            for (int i = 0; i < 1200 && !written(); ++i) ::usleep(50 * 1000);
            ::kill(pid, signal);
        });
        EXPECT_EQ(r.Status, 128 + signal);
        int whole = 0;
        for (const auto& entry : fs::directory_iterator(out)) {
            const std::string name = entry.path().filename().string();
            const std::string bytes = ReadBytes(entry.path());
            EXPECT_NE(name[0], '.') << name;
            if (name == "summary.csv") continue;
            EXPECT_EQ(bytes.rfind(Contains(name, "_passes") ? "visible passes" : "eclipses", 0), 0u) << name;
            EXPECT_TRUE(bytes.ends_with("\r\n")) << name;
            ++whole;
        }
        EXPECT_GT(whole, 0);
        EXPECT_LT(whole, 800) << "not stopped before the end";
        if (signal == SIGKILL) continue;
        EXPECT_TRUE(Contains(ReadBytes(out / "summary.csv"), ",interrupted,\n"));
        // The progress line said "400 of 400 satellites done" although most were never computed.
        const std::size_t at = r.Err.find(" of 400 satellites done before the stop\n");
        ASSERT_NE(at, std::string::npos) << r.Err;
        const std::size_t from = r.Err.rfind("tavik-forecast: ", at) + 16;
        EXPECT_LT(std::stoi(r.Err.substr(from, at - from)), 400) << r.Err;
    }
}

// A server that takes the connection and never answers: --timeout ends the update with exit status 1 and a message
// naming the limit (the file left as it was is the downloader's own tests' to check).
TEST(ForecastProgramUpdate, TimeoutEndsATransferThatNeverEnds)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
    ASSERT_EQ(::listen(listener, 4), 0); // the kernel completes the connection; nobody ever reads or answers
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/amateur.txt";
    Scene scene;
    WriteBytes(scene.Root() / "kep.tle", ReadBytes(Tle));
    const Outcome r =
        scene.Run({.Name = "", .Args = {"--tle", "{root}/kep.tle", "--update-tle", url, "--timeout", "1"}});
    ::close(listener);
    EXPECT_EQ(r.Status, 1);
    EXPECT_EQ(r.Err, "tavik-forecast: " + url + ": the transfer took longer than the overall limit of 1 s; "
                     + (scene.Root() / "kep.tle").string() + " is left as it was\n");
}

} // namespace
} // namespace tavik::program
