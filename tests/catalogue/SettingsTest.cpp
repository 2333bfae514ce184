// The settings file: line 1 the station's locator, line 2 the TLE file.
#include "catalogue/Settings.h"
#include "TestSupport.h"
#include "platform/Cp1252.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

using test::Contains;
using test::InputErrorMessage;

// A settings file saved as UTF-8 by a Windows editor starts with a byte
// order mark, which was read as part of the locator and refused it. A long
// locator line is cut to 40 bytes in the message; the cut fell inside a
// two-byte character and left the message no UTF-8.
TEST(ParseSettings, TheLinesAreTakenAsWrittenAndARefusalNamesTheFileAndTheLine)
{
    std::string omegas = "J";
    for (int i = 0; i < 30; ++i) omegas += "\u03A9";
    const struct {
        std::string Text;
        std::vector<std::string> Says; // locator and path, or the message
    } cases[] = {
        {"JO40HC\r\n/tle/a.tle\r\nXX\r\n\r\n", {"JO40HC", "/tle/a.tle"}}, // lone CRs and LFs: the TLE reader's tests
        {"\xEF\xBB\xBFjo40hc12\r\na.tle\r\n", {"jo40hc12", "a.tle"}},                   // shown as written
        {"JO40\r\n tles/my sats.tle \r\n", {"JO40", " tles/my sats.tle "}},             // path not trimmed
        {"", {"station.ini: the file is empty"}}, {"JO40HC\r\n", {"station.ini: line 2 is missing"}},
        {"JO40HC\r\n \t\r\n", {"station.ini: line 2 is empty"}},
        {"JO40YZ\r\n/tle/a.tle\r\n",
         {"station.ini: line 1: \"JO40YZ\" is not a Maidenhead locator: characters 5 and 6"}},
        {"JO\x1B" "0HC\r\na.tle", {"station.ini: line 1: \"JO?0HC\""}},
        {omegas + "\r\na.tle\r\n", {"station.ini: line 1: \"J\u03A9", "...\" is not"}},
        {std::string("JO40HC\r\n/tle/a\0.tle\r\n", 21), {"station.ini: not a text file (it holds NUL bytes)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        if (c.Says[0].rfind("station.ini: ", 0) != 0) {
            const Settings s = ParseSettings(c.Text, "station.ini");
            EXPECT_EQ(s.StationLocator, c.Says[0]);
            EXPECT_EQ(s.TleFilePath, c.Says[1]);
            continue;
        }
        const std::string message = InputErrorMessage([&] { ParseSettings(c.Text, "station.ini"); });
        EXPECT_EQ(message.rfind(c.Says[0], 0), 0u) << message;
        EXPECT_TRUE(IsValidUtf8(message)) << message;
        if (c.Says.size() > 1) {
            EXPECT_TRUE(Contains(message, c.Says[1])) << message;
        }
    }
}

} // namespace
} // namespace tavik
