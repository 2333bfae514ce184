// tavik --help and --version: which arguments ask for them, and tavik(1) documents the options --help lists.
#include "ManualPage.h"

#include "shell/Usage.h"

#include <gtest/gtest.h>

namespace tavik::shell {
namespace {

TEST(WindowInfo, IsAskedForByHelpOrVersionBeforeTheEndOfTheOptions)
{
    const std::string help = WindowUsageText();
    const std::string version = "tavik " TAVIK_VERSION "\n";
    const struct { std::vector<std::string> Args; std::string Text; } rows[] = { // Text: "" when none is asked for
        {{}, ""},
        {{"--help"}, help},
        {{"-h"}, help},
        {{"--version"}, version},
        {{"--version", "--help"}, version},
        {{"--", "--help"}, ""},
        {{"--screenshot-dir", "--help"}, ""},
        {{"--screenshot-dir", "shots", "--version"}, version},
        {{"--helpful"}, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Args.empty() ? "(nothing)" : row.Args.front());
        EXPECT_EQ(InfoRequested(row.Args).value_or(""), row.Text);
    }
}

TEST(WindowManualPage, DocumentsTheOptionsTheUsageTextLists)
{
    const std::set<std::string> documented = manual::ManualOptions(manual::ReadText(TAVIK_MAN_DIR "/tavik.1"));
    const std::set<std::string> listed = manual::UsageOptions(WindowUsageText());
    EXPECT_EQ(documented, listed);
    EXPECT_EQ(listed, (std::set<std::string>{"--", "--help", "--version", "-h"}));
}

} // namespace
} // namespace tavik::shell
