// The whole catalogue at once: rows, files, names that repeat, refusals.
#include "output/Batch.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <unistd.h>

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
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("tavik-batch-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        ParseCatalogue(Catalogue4, "four.tle", catalogue_);
        request_.DayText = "06";
        request_.MonthText = "12";
        request_.YearText = "2026";
        request_.Site = MakeStation("JO40hc");
        request_.Formats = IsoFormats();
        request_.OutDir = (dir_ / "out").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    SatelliteCatalogue catalogue_;
    BatchRequest request_;
};

TEST_F(BatchTest, OneRowPerEntryInCatalogueOrderWithTheirFiles)
{
    std::vector<int> progress;
    std::mutex m;
    request_.Progress = [&](int done, int total, const std::string&) {
        std::lock_guard<std::mutex> lock(m);
        EXPECT_EQ(total, 4);
        progress.push_back(done);
    };
    std::vector<BatchRow> rows = RunBatch(catalogue_, request_);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].Name, "ALPHA");
    EXPECT_EQ(rows[1].Name, "ALPHA");
    EXPECT_EQ(rows[2].Name, "HALF/SET");
    EXPECT_EQ(rows[3].Name, "GEO");
    EXPECT_EQ(progress.size(), 4u);

    EXPECT_TRUE(rows[0].Reason.empty());
    EXPECT_GT(rows[0].Passes, 100);
    EXPECT_GT(rows[0].Eclipses, 100);
    EXPECT_LE(rows[0].LongestEclipse, 40);
    EXPECT_GT(rows[0].SunlitPercent, 50);
    EXPECT_LT(rows[0].SunlitPercent, 100);
    // A name that repeats gets files of its own.
    EXPECT_EQ(fs::path(rows[0].PassesFile).filename(), "ALPHA_passes.txt");
    EXPECT_EQ(fs::path(rows[1].PassesFile).filename(), "ALPHA~2_passes.txt");
    EXPECT_TRUE(fs::exists(rows[1].EclipsesFile));
    // Refused by name, no files.
    EXPECT_NE(rows[2].Reason.find("HALF/SET"), std::string::npos) << rows[2].Reason;
    EXPECT_NE(rows[2].Reason.find("line 2"), std::string::npos) << rows[2].Reason;
    EXPECT_TRUE(rows[2].PassesFile.empty());
    EXPECT_FALSE(fs::exists(dir_ / "out" / "HALF_SET_passes.txt"));
    // Always in view and in sunlight: the open pass gives no line.
    EXPECT_EQ(rows[3].Passes, 0);
    EXPECT_EQ(rows[3].SunlitPercent, 100);
}

TEST_F(BatchTest, SameRowsForAnyNumberOfThreads)
{
    request_.Threads = 1;
    std::vector<BatchRow> one = RunBatch(catalogue_, request_);
    request_.Threads = 3;
    std::vector<BatchRow> three = RunBatch(catalogue_, request_);
    EXPECT_EQ(SummaryCsv(one), SummaryCsv(three));
}

TEST_F(BatchTest, AnInterruptBeforeTheStartComputesAndWritesNothing)
{
    std::atomic<bool> cancel{true};
    request_.Cancel = &cancel;
    std::vector<BatchRow> rows = RunBatch(catalogue_, request_);
    for (const BatchRow& r : rows) EXPECT_EQ(r.Reason, "interrupted");
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

TEST_F(BatchTest, RefusesABadStartAndAFolderThatCannotBeMade)
{
    request_.DayText = "31";
    request_.MonthText = "02";
    EXPECT_THROW(RunBatch(catalogue_, request_), InputError);
    request_.DayText = "06";
    request_.MonthText = "12";
    fs::create_directories(dir_);
    std::ofstream(dir_ / "file") << "x";
    request_.OutDir = (dir_ / "file" / "out").string();
    try {
        RunBatch(catalogue_, request_);
        ADD_FAILURE() << "no error";
    } catch (const OutputError& e) {
        EXPECT_NE(std::string(e.what()).find(request_.OutDir), std::string::npos) << e.what();
    }
}

TEST(BatchSummary, CsvQuotesWhatNeedsIt)
{
    BatchRow plain{"NOAA 19", 3, 4, 35, 120, 91.25, "", "", "", false};
    BatchRow odd{"A,\"B\"", 0, 0, 0, 0, 0, "x, y", "", "", false};
    // Cells a spreadsheet would take for formulas are made text.
    BatchRow formula{"=HYPERLINK(\"http://x\",\"SAT\")", 1, 1, 1, 1, 50, "@SUM(A1)", "", "", false};
    BatchRow signs{"+1", 1, 1, 1, 1, 50, "-5", "", "", false};
    EXPECT_EQ(SummaryCsv({plain, odd, formula, signs}),
              "name,passes,eclipses,longest eclipse (min),total eclipse (min),sunlit (%),reason\n"
              "NOAA 19,3,4,35,120,91.2,\n"
              "\"A,\"\"B\"\"\",0,0,0,0,0.0,\"x, y\"\n"
              "\"'=HYPERLINK(\"\"http://x\"\",\"\"SAT\"\")\",1,1,1,1,50.0,\"'@SUM(A1)\"\n"
              "\"'+1\",1,1,1,1,50.0,\"'-5\"\n");
    EXPECT_NE(SummaryTable({plain}).find("NOAA 19"), std::string::npos);
}

TEST(BatchSummary, SunlitPercentCountsTheRepeatedMidnightOnce)
{
    ForecastResult r;
    r.Minutes.resize(2 * StepsPerDay);
    // Day 1's minute 1440 is day 2's minute 0: in shadow, but counted once.
    r.Minutes[1440].InEclipse = true;
    r.Minutes[1441].InEclipse = true;
    for (int m = 1442; m < 1442 + 9; ++m) r.Minutes[static_cast<std::size_t>(m)].InEclipse = true;
    // 2 x 1440 distinct minutes, 10 in shadow.
    EXPECT_DOUBLE_EQ(SunlitPercent(r), 100.0 * (2880 - 10) / 2880);
}

} // namespace
} // namespace tavik
