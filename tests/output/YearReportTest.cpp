#include "output/YearReport.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

YearOfLight TwoDays()
{
    YearOfLight year;
    year.SatName = "SAT \"1\"";
    year.Model = OrbitModel::Sgp4;
    year.HasPenumbra = true;
    const DateTime first = *DateTime::FromCalendar(2027, 3, 1);
    LightDay lit;
    lit.Date = first;
    lit.Beta = 12.3456;
    lit.BetaMin = 12.0;
    lit.BetaMax = 12.5;
    lit.SunAngle = -3.25;
    LightDay dark = lit;
    dark.Date = first.AddDays(1);
    dark.Eclipses = 2;
    dark.LongestEclipse = 35.5;
    dark.ShortestEclipse = 20.25;
    dark.LongestPenumbra = 35.75;
    dark.ShadowMinutes = 55.75;
    dark.SunlitFraction = 1 - 55.75 / 1440;
    year.Days = {lit, dark};
    year.Seasons = {{dark.Date, dark.Date, 35.5}};
    return year;
}

TEST(YearReport, JsonHasTheHeaderTheDaysAndTheSeasons)
{
    EXPECT_EQ(YearReportJson(TwoDays()),
              "{\n  \"satellite\": \"SAT \\\"1\\\"\",\n  \"model\": \"sgp4\",\n"
              "  \"attitude\": \"0,0\",\n  \"days\": [\n"
              "    {\"date\": \"2027-03-01\", \"beta_deg\": 12.346, \"beta_min_deg\": 12.000, "
                "\"beta_max_deg\": 12.500, "
              "\"eclipses\": 0, \"longest_eclipse_min\": null, \"shortest_eclipse_min\": null, "
              "\"longest_penumbra_min\": null, \"shadow_min\": 0.00, \"sunlit_fraction\": 1.0000, "
              "\"sun_angle_deg\": -3.250},\n"
              "    {\"date\": \"2027-03-02\", \"beta_deg\": 12.346, \"beta_min_deg\": 12.000, "
                "\"beta_max_deg\": 12.500, "
              "\"eclipses\": 2, \"longest_eclipse_min\": 35.50, \"shortest_eclipse_min\": 20.25, "
              "\"longest_penumbra_min\": 35.75, \"shadow_min\": 55.75, \"sunlit_fraction\": 0.9613, "
              "\"sun_angle_deg\": -3.250}\n  ],\n"
              "  \"seasons\": [\n    {\"first\": \"2027-03-02\", \"last\": \"2027-03-02\", "
                "\"longest_eclipse_min\": 35.50}"
              "\n  ]\n}\n");
}

TEST(YearReport, CsvHasTheJsonDayFieldsAsColumns)
{
    const std::string csv = YearReportCsv(TwoDays());
    EXPECT_EQ(csv.substr(0, csv.find("\r\n\r\n")), "satellite,\"SAT \"\"1\"\"\"\r\nmodel,sgp4\r\nattitude,\"0,0\"");
    const std::string table = csv.substr(csv.find("\r\n\r\n") + 4);
    EXPECT_EQ(table,
              "date,beta_deg,beta_min_deg,beta_max_deg,eclipses,longest_eclipse_min,shortest_eclipse_min,"
              "longest_penumbra_min,shadow_min,sunlit_fraction,sun_angle_deg\r\n"
              "2027-03-01,12.346,12.000,12.500,0,,,,0.00,1.0000,-3.250\r\n"
              "2027-03-02,12.346,12.000,12.500,2,35.50,20.25,35.75,55.75,0.9613,-3.250\r\n");
}

TEST(YearReport, TextNamesSatelliteModelAndAttitudeThenRowsAndSeasons)
{
    const std::string text = YearReportText(TwoDays());
    const char* parts[] = {"Year of light: SAT \"1\"\n", "Model: sgp4\n", "Attitude: 0,0\n",
                           "2027-03-02   12.35   12.00   12.50   2    35.50    20.25    35.75   55.75"
                           "  0.9613    -3.25\n",
                           "Eclipse seasons: 1\n2027-03-02 to 2027-03-02, 1 day, longest eclipse 35.50 min\n"};
    for (const char* part : parts) EXPECT_NE(text.find(part), std::string::npos) << part;
}

TEST(YearReport, AStoppedYearSaysSo)
{
    YearOfLight year = TwoDays();
    year.End = RunEnd::BelowSurface;
    year.StopTime = *DateTime::FromCalendar(2027, 3, 3, 4, 5);
    const std::string note = "the orbit could not be followed beyond 2027-03-03T04:05:00Z; 2 of 365 days computed";
    EXPECT_NE(YearReportText(year).find("Note: " + note), std::string::npos);
    EXPECT_NE(YearReportCsv(year).find("note," + note), std::string::npos);
}

} // namespace
} // namespace tavik
