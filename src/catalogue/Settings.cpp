#include "catalogue/Settings.h"

#include "astro/Locator.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

#include <filesystem>

namespace tavik {

Settings ParseSettings(std::string_view text, const std::string& sourceName)
{
    text = WithoutByteOrderMark(text, sourceName);
    if (text.find('\0') != std::string_view::npos)
        throw InputError(sourceName + ": not a text file (it holds NUL bytes)");
    LineReader reader(text);
    const std::optional<std::string_view> locator = reader.Next(), tlePath = reader.Next();
    if (!locator)
        throw InputError(sourceName
                         + ": the file is empty; line 1 must give the station's "
                           "Maidenhead locator and line 2 the TLE file");
    Settings s;
    s.StationLocator = std::string(*locator);
    if (auto problem = LocatorProblem(s.StationLocator))
        throw InputError(sourceName + ": line 1: " + Quoted(s.StationLocator)
                         + " is not a Maidenhead locator: " + *problem);
    if (!tlePath) throw InputError(sourceName + ": line 2 is missing; it must name the TLE file to load");
    if (TrimBlanks(*tlePath).empty())
        throw InputError(sourceName + ": line 2 is empty; it must name the TLE file to load");
    s.TleFilePath = std::string(*tlePath);
    return s;
}

Settings ReadSettings(const std::string& path, FileKinds kinds)
{
    std::string text = ReadTextFile(path, 1u << 20, kinds);
    Settings s = ParseSettings(text, path);
    std::filesystem::path tle(s.TleFilePath);
    if (tle.is_relative()) {
        std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) s.TleFilePath = (folder / tle).string();
    }
    return s;
}

} // namespace tavik
