// The list files and the year file, byte for byte.
#include "output/ListFiles.h"
#include "WorkedExample.h"
#include "output/YearFile.h"

#include "platform/Error.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

std::vector<std::string> SplitCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos) + "<no CR LF>");
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

TEST(ListFiles, HeaderRuleAndLinesWithCrLfAndDegreeByte)
{
    std::string bytes = ListFileBytes(PassesHeader("NOAA 19"), {"a 29\u00B0", "b"});
    EXPECT_EQ(bytes, "visible passes forecast for NOAA 19\r\n" + std::string(121, '-') + "\r\na 29\xB0\r\nb\r\n");
    EXPECT_EQ(ListFileBytes(EclipsesHeader("X"), {}), "eclipses forecast for X\r\n" + std::string(121, '-') + "\r\n");
}

TEST(ListFiles, NamesAreSafeInsideTheFolder)
{
    struct Case {
        std::string Name, Passes;
    };
    const Case cases[] = {
        {"NOAA 19", "NOAA 19_passes.txt"},
        {"A/B", "A_B_passes.txt"},
        {"..", "___passes.txt"},
        {".", "__passes.txt"},
        {"TAB\tNAME", "TAB_NAME_passes.txt"},
        {"SAT\xE2\x80\xAE" "1\xE2\x81\xA7", "SAT_1__passes.txt"}, // right-to-left override, first-strong isolate
        {std::string(300, 'X'), std::string(200, 'X') + "_passes.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(PassesFileName(c.Name), c.Passes);
        EXPECT_EQ(PassesFileName(c.Name).find('/'), std::string::npos);
    }
    EXPECT_EQ(EclipsesFileName("NOAA 19"), "NOAA 19_eclipses.txt");
    EXPECT_EQ(YearFileName("NOAA 19", 2024), "NOAA 19_sowi_2024.csv");
}

CurrentElementSet ExampleSet() { return test::WorkedExampleSet(); }

std::vector<std::string> Rows(int year, const RegionalFormats& f)
{
    ShadowCarry carry;
    Station st;
    st.StationLat = 50;
    st.StationLon = 10;
    return SunAngleYearRows(year, ExampleSet(), st, Attitude{}, carry, f);
}

TEST(YearFile, RunsOver366DaysFromJanuaryFirst)
{
    auto leap = Rows(2024, IsoFormats());
    ASSERT_EQ(leap.size(), 366u);
    EXPECT_EQ(leap.front().substr(0, 13), "2024-01-01 ; ");
    EXPECT_EQ(leap.back().substr(0, 10), "2024-12-31");
    auto common = Rows(2023, IsoFormats());
    EXPECT_EQ(common.back().substr(0, 10), "2024-01-01");
    std::string bytes = YearFileBytes(leap);
    auto lines = SplitCrLf(bytes);
    ASSERT_EQ(lines.size(), 367u);
    EXPECT_EQ(lines[0], "date;sun angle;sun_lat; sun_long");
}

TEST(YearFile, RegionalDateAndDecimalComma)
{
    auto rows = Rows(2024, GermanLikeFormats());
    const std::string& r = rows[171]; // 2024-06-20 12:00 UTC
    EXPECT_EQ(r.substr(0, 13), "20.06.2024 ; ");
    std::string numbers = r.substr(13);
    EXPECT_EQ(std::count(numbers.begin(), numbers.end(), ';'), 2);
    EXPECT_EQ(numbers.find('.'), std::string::npos);
    EXPECT_NE(numbers.find(','), std::string::npos);
}

TEST(YearFile, DatesWithoutLeadingZerosAreNotCutIntoTheTime)
{
    // Regression: the first ten characters of "1/5/2024 12:00:00 PM" take part of the time.
    auto rows = Rows(2024, UsLikeFormats());
    EXPECT_EQ(rows[4].substr(0, 11), "1/5/2024 ; ");
}

TEST(YearFile, SameInputsGiveTheSameRows)
{
    EXPECT_EQ(Rows(2025, IsoFormats()), Rows(2025, IsoFormats()));
}

TEST(YearFile, RefusesAnElementSetThatCannotBeComputed)
{
    CurrentElementSet e = ExampleSet();
    e.Line2.clear();
    ShadowCarry carry;
    EXPECT_THROW(SunAngleYearRows(2024, e, Station{}, Attitude{}, carry, IsoFormats()), InputError);
}

} // namespace
} // namespace tavik
