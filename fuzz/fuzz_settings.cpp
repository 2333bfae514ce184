// Any bytes as the settings file, and as a locator on its own. A settings
// file is either refused with a message naming the file or gives a locator
// that converts to a point on the Earth and a TLE path of one line.
#include "FuzzChecks.h"

#include "astro/Locator.h"
#include "catalogue/Settings.h"
#include "platform/Error.h"

#include <cmath>
#include <string>

namespace {

using namespace tavik;

std::string Folded(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

void CheckLocator(std::string_view text)
{
    const std::optional<std::string> problem = LocatorProblem(text);
    if (problem) {
        fuzz::Require(!problem->empty(), "a refusal says why");
        fuzz::Require(problem->size() < 200, "a refusal is short", *problem);
        bool threw = false;
        try {
            (void)MakeStation(std::string(text));
        } catch (const InputError& e) {
            threw = true;
            fuzz::Require(*problem == e.what(), "MakeStation gives the same reason", e.what());
        }
        fuzz::Require(threw, "MakeStation refuses what LocatorProblem refuses", text);
        return;
    }
    const Station s = MakeStation(std::string(text));
    fuzz::Require(s.StationLon >= -180 && s.StationLon < 180, "longitude -180 up to 180", text);
    fuzz::Require(s.StationLat >= -90 && s.StationLat < 90, "latitude -90 up to 90", text);
    fuzz::Require(s.StationLon == LocatorLongitude(text) && s.StationLat == LocatorLatitude(text),
                  "MakeStation converts as the functions do", text);
    // Lower case is folded: the same place as in capitals.
    const std::string upper = Folded(text);
    fuzz::Require(!LocatorProblem(upper), "the capital form is accepted too", upper);
    fuzz::Require(LocatorLongitude(upper) == s.StationLon && LocatorLatitude(upper) == s.StationLat,
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
        const std::string why = e.what();
        fuzz::Require(why.rfind("fuzz.ini: ", 0) == 0, "a refusal names the file", why);
        fuzz::Require(why.size() < 400, "a refusal is short", why);
        fuzz::Require(!fuzz::HasC0(why), "a refusal holds no control characters", why);
        // Text that is UTF-8 must not be cut into bytes that are not.
        if (fuzz::ValidUtf8(text)) fuzz::Require(fuzz::ValidUtf8(why), "a refusal is UTF-8", why);
        return 0;
    }
    fuzz::Require(!LocatorProblem(s.StationLocator), "an accepted file holds a locator", s.StationLocator);
    CheckLocator(s.StationLocator);
    fuzz::Require(!s.TleFilePath.empty(), "an accepted file names a TLE file");
    fuzz::Require(s.TleFilePath.find_first_of("\r\n") == std::string::npos, "the TLE path is one line");
    fuzz::Require(s.StationLocator.find_first_of("\r\n") == std::string::npos, "the locator is one line");
    const std::string_view body = text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
    fuzz::Require(body.find(s.StationLocator) == 0, "line 1 is the locator as written");
    return 0;
}
