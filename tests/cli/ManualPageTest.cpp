// tavik-forecast(1) documents the options --help lists, and --help lists what the parser takes.
#include "ManualPage.h"

#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace tavik::cli {
namespace {

const std::string Page = manual::ReadText(TAVIK_MAN_DIR "/tavik-forecast.1");

TEST(ForecastManualPage, DocumentsEveryOptionTheUsageTextLists)
{
    const std::set<std::string> documented = manual::ManualOptions(Page);
    for (const std::string& option : manual::UsageOptions(UsageText())) {
        SCOPED_TRACE(option);
        EXPECT_EQ(documented.count(option), 1u);
    }
}

TEST(ForecastManualPage, DocumentsNoOptionTheUsageTextLacks)
{
    const std::set<std::string> listed = manual::UsageOptions(UsageText());
    for (const std::string& option : manual::ManualOptions(Page)) {
        SCOPED_TRACE(option);
        EXPECT_EQ(listed.count(option), 1u);
    }
}

TEST(ForecastManualPage, FindsTheOptionsOfBoth)
{
    // The readers see the texts' usual lines, so that the comparisons above are not empty on both sides.
    const std::set<std::string> listed = manual::UsageOptions(UsageText());
    const std::set<std::string> documented = manual::ManualOptions(Page);
    for (const char* option : {"--settings", "--tle", "--all", "--update-tle", "-h", "--help", "--version"}) {
        SCOPED_TRACE(option);
        EXPECT_EQ(listed.count(option), 1u);
        EXPECT_EQ(documented.count(option), 1u);
    }
    EXPECT_EQ(documented.count("--model"), 1u);
}

TEST(ForecastManualPage, ListsOnlyOptionsTheParserTakes)
{
    for (const std::string& option : manual::UsageOptions(UsageText())) {
        SCOPED_TRACE(option);
        const std::string error = ParseCommandLine({option, "x"}).UsageError;
        EXPECT_EQ(error.find("unknown option"), std::string::npos) << error;
    }
}

} // namespace
} // namespace tavik::cli
