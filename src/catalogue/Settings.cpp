#include "catalogue/Settings.h"

#include "astro/Locator.h"
#include "platform/Error.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <filesystem>
#include <vector>

namespace tavik {

namespace {

// The first `count` lines of text, without their terminators.
std::vector<std::string_view> FirstLines(std::string_view text, std::size_t count)
{
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size() && lines.size() < count) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }
    return lines;
}

std::string Quoted(std::string_view s)
{
    constexpr std::size_t Shown = 40;
    std::size_t cut = std::min(s.size(), Shown);
    // Cut between characters, not inside one: the message must stay UTF-8.
    if (cut < s.size())
        while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
    std::string out = "\"";
    for (char c : s.substr(0, cut)) out += (static_cast<unsigned char>(c) < 0x20) ? '?' : c;
    if (cut < s.size()) out += "...";
    return out + "\"";
}

} // namespace

Settings ParseSettings(std::string_view text, const std::string& sourceName)
{
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")
        throw InputError(sourceName + ": the file is in UTF-16 (it begins with a UTF-16 byte order mark); "
                                      "save it as UTF-8 or Windows-1252 text");
    if (text.find('\0') != std::string_view::npos)
        throw InputError(sourceName + ": not a text file (it holds NUL bytes)");
    // Windows editors put a byte order mark in front of UTF-8 text.
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    auto lines = FirstLines(text, 2);
    if (lines.empty())
        throw InputError(sourceName + ": the file is empty; line 1 must give the station's "
                                      "Maidenhead locator and line 2 the TLE file");
    Settings s;
    s.StationLocator = std::string(lines[0]);
    if (auto problem = LocatorProblem(s.StationLocator))
        throw InputError(sourceName + ": line 1: " + Quoted(s.StationLocator)
                         + " is not a Maidenhead locator: " + *problem);
    if (lines.size() < 2)
        throw InputError(sourceName + ": line 2 is missing; it must name the TLE file to load");
    if (lines[1].find_first_not_of(" \t") == std::string_view::npos)
        throw InputError(sourceName + ": line 2 is empty; it must name the TLE file to load");
    s.TleFilePath = std::string(lines[1]);
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
