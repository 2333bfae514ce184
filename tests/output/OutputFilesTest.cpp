#include "output/ListFiles.h"
#include "WorkedExample.h"
#include "output/YearFile.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

// The names come from downloaded files: whatever they hold, the file stays inside the folder.
TEST(ListFiles, NamesSafeInsideTheFolder)
{
    const std::pair<std::string, std::string> cases[] = {
        {"NOAA 19", "NOAA 19_passes.txt"}, {"A/B", "A_B_passes.txt"}, {"..", "___passes.txt"}, {".", "__passes.txt"},
        {"TAB\tNAME", "TAB_NAME_passes.txt"}, {"DEL\x7F", "DEL__passes.txt"},
        {"SAT\xE2\x80\xAE" "1\xE2\x81\xA7", "SAT_1__passes.txt"}, // right-to-left override, first-strong isolate
        {std::string(300, 'X'), std::string(200, 'X') + "_passes.txt"},
        {std::string(199, 'X') + "\u00E9", std::string(199, 'X') + "_passes.txt"}, // not cut inside a character
        {std::string(198, 'X') + "\u00E9", std::string(198, 'X') + "\u00E9_passes.txt"}, // one that fits is kept
    };
    for (const auto& [name, passes] : cases) EXPECT_EQ(PassesFileName(name), passes);
}

std::vector<std::string> Rows(int year, const RegionalFormats& f, const YearProgress& progress = {})
{
    ShadowCarry carry;
    return SunAngleYearRows(year, test::WorkedExampleSet(), test::Lat50Lon10(), Attitude{}, carry, f, progress);
}

TEST(YearFile, RunsOver366DaysFromJanuaryFirstWithProgress)
{
    std::vector<int> progress;
    const std::vector<std::string> leap = Rows(2024, IsoFormats(), [&](int v, int max) {
        EXPECT_EQ(max, 365);
        progress.push_back(v);
    });
    ASSERT_EQ(leap.size(), 366u);
    EXPECT_EQ(leap.front(), "2024-01-01 ; -82.774964425836;-23.1758106166653;-0.838294144085182");
    EXPECT_EQ(leap.back().substr(0, 10) + Rows(2023, IsoFormats()).back().substr(0, 10), "2024-12-312024-01-01");
    ASSERT_EQ(progress.size(), 367u);
    EXPECT_EQ(progress[0], 0);
    EXPECT_EQ(progress[365], 365);
    EXPECT_EQ(progress[366], 0);
}

// The first ten characters of "1/5/2024 12:00:00 PM" took part of the time.
TEST(YearFile, RegionalDateAndDecimalCommaWithoutCuttingTheTime)
{
    const std::string row = Rows(2024, GermanLikeFormats())[171]; // 2024-06-20 12:00 UTC
    EXPECT_EQ(row.substr(0, 13), "20.06.2024 ; ");
    const std::string numbers = row.substr(13);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), ';'), 2) << row;
    EXPECT_EQ(numbers.find('.'), std::string::npos) << row;
    EXPECT_NE(numbers.find(','), std::string::npos);
    EXPECT_EQ(Rows(2024, UsLikeFormats())[4].substr(0, 11), "1/5/2024 ; ");
}

} // namespace
} // namespace tavik
