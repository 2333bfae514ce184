// tavik-forecast(1) documents the options --help lists, and --help lists what the parser takes.
#include "ManualPage.h"

#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace tavik::cli {
namespace {

TEST(ForecastManualPage, DocumentsExactlyTheOptionsTheUsageTextListsAndTheParserTakes)
{
    const std::set<std::string> listed = manual::UsageOptions(UsageText());
    EXPECT_EQ(manual::ManualOptions(manual::ReadText(TAVIK_MAN_DIR "/tavik-forecast.1")), listed);
    // The readers see the texts' usual lines, so that the comparison is not of two empty sets.
    for (const char* option : {"--settings", "--tle", "--all", "--update-tle", "--model", "-h", "--help", "--version"})
        EXPECT_EQ(listed.count(option), 1u) << option;
    // --help lists only options the parser takes.
    for (const std::string& option : listed)
        EXPECT_EQ(ParseCommandLine({option, "x"}).UsageError.find("unknown option"), std::string::npos) << option;
}

} // namespace
} // namespace tavik::cli
