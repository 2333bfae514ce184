// Any bytes as the settings file, and as a locator on its own. A settings
// file is either refused with a message naming the file or gives a locator
// that converts to a point on the Earth and a TLE path of one line.
#include "FuzzChecks.h"

namespace {

void CheckLocator(std::string_view text)
{
    if (const std::optional<std::string> problem = LocatorProblem(text)) {
        fuzz::Require(!problem->empty() && problem->size() < 200, "a refusal says why, briefly", *problem);
        std::string thrown;
        try {
            (void)MakeStation(std::string(text));
        } catch (const InputError& e) {
            thrown = e.what();
        }
        return fuzz::Require(*problem == thrown, "MakeStation refuses what LocatorProblem refuses, for the same reason",
                             thrown);
    }
    const Station s = MakeStation(std::string(text));
    fuzz::Require(s.StationLon >= -180 && s.StationLon < 180 && s.StationLat >= -90 && s.StationLat < 90,
                  "a point on the Earth", text);
    // Lower case is folded: the same place as in capitals.
    std::string upper(text);
    for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    fuzz::Require(!LocatorProblem(upper) && LocatorLongitude(upper) == s.StationLon
                      && LocatorLatitude(upper) == s.StationLat,
                  "case does not move the station", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckLocator(text.substr(0, 64));
    Settings s;
    try {
        s = ParseSettings(text, "fuzz.ini");
    } catch (const InputError& e) {
        fuzz::RequireRefusal(e.what(), "fuzz.ini: ", true);
        // Text that is UTF-8 must not be cut into bytes that are not.
        fuzz::Require(!fuzz::ValidUtf8(text) || fuzz::ValidUtf8(e.what()), "a refusal is UTF-8", e.what());
        return 0;
    }
    CheckLocator(s.StationLocator);
    fuzz::Require(!LocatorProblem(s.StationLocator), "an accepted file holds a locator", s.StationLocator);
    fuzz::Require(!s.TleFilePath.empty() && s.TleFilePath.find_first_of("\r\n") == std::string::npos,
                  "the TLE path is one line");
    const std::string_view body = text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
    fuzz::Require(body.find(s.StationLocator + "\r") == 0 || body.find(s.StationLocator + "\n") == 0,
                  "line 1 is the locator as written", s.StationLocator);
    return 0;
}
