#include "output/ListFiles.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1252.h"
#include "platform/Text.h"

namespace tavik {

std::string SafeFileStem(std::string_view satName)
{
    if (satName == ".") return "_";
    if (satName == "..") return "__";
    std::string stem;
    for (std::string_view c : Utf8Characters(satName)) {
        const char32_t cp = Utf8CodePoint(c);
        if (c == "/" || IsControlCharacter(cp))
            stem += '_';
        else
            stem += c;
    }
    constexpr std::size_t MaxStem = 200; // file names hold 255 bytes; leave room for the suffix
    stem.resize(Utf8Prefix(stem, MaxStem).size());
    if (stem.empty()) stem = "_";
    return stem;
}

std::string PassesFileName(std::string_view satName) { return SafeFileStem(satName) + "_passes.txt"; }
std::string EclipsesFileName(std::string_view satName) { return SafeFileStem(satName) + "_eclipses.txt"; }

std::string PassesHeader(std::string_view satName) { return "visible passes forecast for " + std::string(satName); }

std::string EclipsesHeader(std::string_view satName) { return "eclipses forecast for " + std::string(satName); }

std::string ListFileBytes(std::string_view header, const std::vector<std::string>& lines)
{
    std::vector<std::string> all;
    all.reserve(lines.size() + 2);
    all.emplace_back(header);
    all.emplace_back(ListRuleWidth, '-');
    all.insert(all.end(), lines.begin(), lines.end());
    return Utf8ToCp1252(JoinCrLf(all));
}

} // namespace tavik
