// The bash completion of tavik-forecast, run by bash with Debian's bash-completion as a shell would run it.
#include "Program.h"

namespace tavik::program {
namespace {

const std::string Examples = TAVIK_EXAMPLES;
const std::string Five = TAVIK_TEST_DATA "/five.tle"; // names with blanks

// The replies for the words after the program's name, the last being the one completed, one a line.
std::string Completions(const std::vector<std::string>& words)
{
    const std::string script = "source /usr/share/bash-completion/bash_completion || exit 3\n"
                               "source " + test::ShellQuoted(TAVIK_COMPLETION) + " || exit 3\n"
                               "COMP_WORDS=(\"$0\" \"$@\")\nCOMP_CWORD=" + std::to_string(words.size()) + "\n"
                               "COMP_LINE=\"${COMP_WORDS[*]}\"\nCOMP_POINT=${#COMP_LINE}\n"
                               "_tavik_forecast\n"
                               "for reply in \"${COMPREPLY[@]}\"; do printf '%s\\n' \"$reply\"; done\n";
    const Outcome r = Scene().Run({.Name = "", .Args = words, .Shell = script});
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, "");
    return r.Out;
}

TEST(ForecastCompletion, OffersOptionsValuesAndTheSatellitesOfTheTleFile)
{
    const struct { std::vector<std::string> Words; std::string Replies; } rows[] = {
        {{"--he"}, "--help\n"}, // listed as "-h, --help"
        {{"--model", ""}, "classic\nsgp4\ndesign\nprecise\n"},
        {{"--tle", Examples + "/example.tle", "--satellite", "TAVIK-"},
         "TAVIK-GEO\nTAVIK-LEO\nTAVIK-MOLNIYA\nTAVIK-REENTRY\nTAVIK-SSO\n"},
        {{"--tle=" + Examples + "/example.tle", "--satellite", "TAVIK-M"}, "TAVIK-MOLNIYA\n"},
        {{"--settings", Examples + "/tavik.ini", "--satellite", "TAVIK-S"}, "TAVIK-SSO\n"},
        // The example settings file the build puts beside the program.
        {{"--satellite", "TAVIK-G"}, "TAVIK-GEO\n"},
        {{"--tle", "-", "--satellite", ""}, ""},
        // Names with blanks are quoted, and a quoted name typed so far is matched as the name.
        {{"--tle", Five, "--satellite", "O"}, "ORBIS\\ M\n"},
        {{"--tle", Five, "--satellite", "ORBIS\\ "}, "ORBIS\\ M\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Words.front() + (row.Words.size() > 1 ? " " + row.Words.back() : ""));
        EXPECT_EQ(Completions(row.Words), row.Replies);
    }
}

} // namespace
} // namespace tavik::program
