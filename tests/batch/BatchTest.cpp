#include "batch/Batch.h"
#include "output/ListLines.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <mutex>

namespace tavik {
namespace {

namespace fs = std::filesystem;

// Four entries: two named alike, one without its second element line.
const char* const Catalogue4 =
    "ALPHA\n"
    "1 99201U 26041A   26335.51234567  .00001234  00000-0  21962-3 0  9990\n"
    "2 99201  51.6393 187.4219 0004712 112.9034 247.2511 15.49823110 51030\n"
    "ALPHA\n"
    "1 99202U 25118B   26336.20480325  .00000213  00000-0  11870-3 0  4210\n"
    "2 99202  98.5912  41.0873 0001246  93.1187 267.1434 14.21456893 80570\n"
    "HALF/SET\n"
    "1 99203U 25118B   26336.20480325  .00000213  00000-0  11870-3 0  4210\n"
    "GEO\n"
    "1 99204U 23077A   26338.39583333 -.00000287  00000-0  00000+0 0  9940\n"
    "2 99204   0.0357  84.2114 0002149 301.7761 218.5547  1.00272385 12880\n";

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override { ParseCatalogue(Catalogue4, "four.tle", catalogue_); }
    BatchRequest Request(int threads = 0)
    {
        return {.DayText = "06", .MonthText = "12", .YearText = "2026", .Site = MakeStation("JO40hc"), .Axis = {},
                .Formats = IsoFormats(), .OutDir = (folder_.Path / "out").string(), .Threads = threads, .Progress = {}};
    }
    test::TempFolder folder_;
    SatelliteCatalogue catalogue_;
};

TEST_F(BatchTest, OneRowPerEntryInOrderWithTheirFilesForAnyThreadCount)
{
    std::vector<int> progress;
    std::mutex m;
    BatchRequest request = Request(3);
    request.Progress = [&](int done, int total, const std::string&) {
        std::lock_guard<std::mutex> lock(m);
        EXPECT_EQ(total, 4);
        progress.push_back(done);
    };
    const std::vector<BatchRow> rows = RunBatch(catalogue_, request);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Name + rows[1].Name + rows[2].Name + rows[3].Name, "ALPHAALPHAHALF/SETGEO");
    std::sort(progress.begin(), progress.end());
    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(SummaryCsv(rows), SummaryCsv(RunBatch(catalogue_, Request(1))));
    EXPECT_TRUE(rows[0].Reason.empty());
    EXPECT_EQ(fs::path(rows[0].PassesFile).filename(), "ALPHA_passes.txt");
    EXPECT_EQ(fs::path(rows[1].PassesFile).filename(), "ALPHA~2_passes.txt");
    for (int i : {0, 1}) {
        EXPECT_FALSE(rows[i].WriteFailed) << i;
        EXPECT_TRUE(fs::exists(rows[i].PassesFile)) << rows[i].PassesFile;
        EXPECT_TRUE(fs::exists(rows[i].EclipsesFile)) << rows[i].EclipsesFile;
    }
    EXPECT_TRUE(test::Contains(rows[2].Reason, "HALF/SET")) << rows[2].Reason;
    EXPECT_TRUE(rows[2].PassesFile.empty());
    EXPECT_EQ(rows[3].Passes, 0);
    EXPECT_EQ(rows[3].SunlitPercent, 100); // always in view and lit: the open pass gives no line
}

// An interrupted batch marks its rows: the command line's signal tests.
TEST_F(BatchTest, ABadStartOrAFolderThatCannotBeMadeIsRefused)
{
    BatchRequest request = Request();
    request.DayText = "31";
    request.MonthText = "02";
    EXPECT_THROW(RunBatch(catalogue_, request), InputError);
    request = Request();
    request.OutDir = folder_.Write("file", "x").string() + "/out";
    std::string message = "no error";
    try { RunBatch(catalogue_, request); } catch (const OutputError& e) { message = e.what(); }
    EXPECT_TRUE(test::Contains(message, request.OutDir)) << message;
}

// Day 1's minute 1440 is day 2's minute 0: counted once. A run that stopped at minute 1440 of its first day was said
// to be 0 % sunlit: the one sunlit minute, its last, was taken for a repeat of a next day never computed.
TEST(BatchSummary, SunlitPercentCountsTheRepeatedMidnightOnceAndTheLastMinuteOfARunStoppedThere)
{
    const struct { std::size_t Steps; int FirstDark, EndDark; double Percent; } cases[] = {
        {2 * StepsPerDay, 1440, 1451, 100.0 * (2881 - 10) / 2881}, // 2 x 1440 + the last step, 10 in shadow
        {StepsPerDay, 0, StepsPerDay - 1, 100.0 / 1441},
        {0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        ForecastResult r;
        r.Minutes.resize(c.Steps);
        for (int m = c.FirstDark; m < c.EndDark; ++m) r.Minutes[static_cast<std::size_t>(m)].InEclipse = true;
        EXPECT_DOUBLE_EQ(SunlitPercent(r), c.Percent) << c.Steps;
    }
}

// A set 29 years from the start gave 41,146 "passes" without a word.
TEST(BatchSummary, EpochWarningOnlyOutsideThirtyDaysAfterAndOneDayBefore)
{
    const std::pair<double, std::string> cases[] = {
        {0, ""}, {30, ""}, {-1, ""}, {30.3, "the start lies 30.3 days after the element set's epoch"},
        {-1.5, "the start lies 1.5 days before the element set's epoch"}};
    for (const auto& [age, said] : cases) {
        const std::string warning = EpochDistanceWarning(age);
        EXPECT_EQ(warning.substr(0, said.size()), said) << age;
        EXPECT_EQ(warning.empty(), said.empty()) << age;
    }
}

} // namespace
} // namespace tavik
