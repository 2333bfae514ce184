// The bash completion of tavik-forecast, run by bash with Debian's bash-completion as a shell would run it.
#include "../TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using tavik::test::ShellQuoted;

const std::string Examples = TAVIK_EXAMPLES;
const std::string Five = TAVIK_TEST_DATA "/five.tle"; // names with blanks

// The replies for the words after the program's name, the last being the one completed, one a line.
std::string Completions(const std::vector<std::string>& words)
{
    std::string script = "source /usr/share/bash-completion/bash_completion || exit 3\n"
                         "source " + ShellQuoted(TAVIK_COMPLETION) + " || exit 3\n"
                         "COMP_WORDS=(" + ShellQuoted(TAVIK_FORECAST_EXE);
    for (const std::string& word : words) script += ' ' + ShellQuoted(word);
    script += ")\nCOMP_CWORD=" + std::to_string(words.size()) + "\n"
              "COMP_LINE=\"${COMP_WORDS[*]}\"\nCOMP_POINT=${#COMP_LINE}\n"
              "_tavik_forecast\n"
              "for reply in \"${COMPREPLY[@]}\"; do printf '%s\\n' \"$reply\"; done\n";
    std::string out;
    if (std::FILE* shell = ::popen(("LC_ALL=C bash -c " + ShellQuoted(script) + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, shell)) > 0;) out.append(buffer, n);
        const int status = ::pclose(shell);
        if (status != 0) out += "exit status " + std::to_string(status);
    }
    return out;
}

TEST(ForecastCompletion, OffersOptionsValuesAndTheSatellitesOfTheTleFile)
{
    const struct { std::vector<std::string> Words; std::string Replies; } rows[] = {
        {{"--he"}, "--help\n"}, // listed as "-h, --help"
        {{"--model", ""}, "classic\nsgp4\ndesign\nprecise\n"},
        {{"--format=c"}, "csv\n"},
        {{"--tle", Examples + "/example.tle", "--satellite", "TAVIK-"},
         "TAVIK-GEO\nTAVIK-LEO\nTAVIK-MOLNIYA\nTAVIK-REENTRY\nTAVIK-SSO\n"},
        {{"--tle=" + Examples + "/example.tle", "--satellite", "TAVIK-M"}, "TAVIK-MOLNIYA\n"},
        {{"--settings", Examples + "/tavik.ini", "--satellite", "TAVIK-S"}, "TAVIK-SSO\n"},
        // The example settings file the build puts beside the program.
        {{"--satellite", "TAVIK-G"}, "TAVIK-GEO\n"},
        {{"--tle", "/nonexistent/none.tle", "--satellite", ""}, ""},
        {{"--tle", "-", "--satellite", ""}, ""},
        {{"--locator", ""}, ""},
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
