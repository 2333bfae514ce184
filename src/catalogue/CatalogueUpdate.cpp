#include "catalogue/CatalogueUpdate.h"

#include "astro/TimeScales.h"
#include "catalogue/Catalogue.h"
#include "platform/AtomicFile.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <sys/stat.h>

namespace tavik {

namespace {

bool IsElementLine(std::string_view line) { return line.substr(0, 2) == "1 " || line.substr(0, 2) == "2 "; }

// The text cut before name lines so that no piece holds more names than a
// catalogue takes: each piece then passes through the reader whole.
std::vector<std::string_view> Pieces(std::string_view text)
{
    std::vector<std::string_view> pieces;
    std::size_t pieceStart = 0, pos = 0;
    int names = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (!IsElementLine(line) && !TrimBlanks(line).empty() && ++names > CatalogueCapacity) {
            pieces.push_back(text.substr(pieceStart, pos - pieceStart));
            pieceStart = pos;
            names = 1;
        }
        pos = end;
        if (pos < text.size() && text[pos] == '\r') ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    }
    pieces.push_back(text.substr(pieceStart));
    return pieces;
}

std::string Label(const TleEntryInfo& e) { return e.Name + " (" + (e.Number.empty() ? "no number" : e.Number) + ")"; }

std::string KeyOf(const TleEntryInfo& e) { return e.Number.empty() ? "name " + e.Name : e.Number; }

std::string NamesLine(const char* what, const std::vector<std::string>& names)
{
    std::string line = std::string(what) + ": " + std::to_string(names.size());
    constexpr std::size_t Shown = 10;
    for (std::size_t i = 0; i < names.size() && i < Shown; ++i) line += (i == 0 ? " (" : ", ") + names[i];
    if (names.size() > Shown) line += ", and " + std::to_string(names.size() - Shown) + " more";
    if (!names.empty()) line += ")";
    return line + "\n";
}

} // namespace

namespace {

// Every entry through the reader. Strict: the first fault throws; otherwise
// faulty entries are left out, as an old file may hold them.
TleContents ReadContents(std::string_view text, const std::string& sourceName, bool strict)
{
    TleContents contents;
    int index = 0;
    bool first = true;
    for (std::string_view piece : Pieces(text)) {
        auto catalogue = std::make_unique<SatelliteCatalogue>();
        const LoadResult loaded = ParseCatalogue(piece, sourceName, *catalogue);
        if (strict && first && loaded.OrphanElementLines > 0)
            throw InputError(sourceName + ": " + std::to_string(loaded.OrphanElementLines)
                             + (loaded.OrphanElementLines == 1 ? " element line comes" : " element lines come")
                             + " before the first name line; a TLE file gives each "
                               "satellite a name line before its two element lines");
        first = false;
        for (int i = 1; i <= catalogue->CatalogueCount; ++i) {
            ++index;
            const ElementSet& e = catalogue->Entry(i);
            const std::string which = sourceName + ": entry " + std::to_string(index) + " \"" + e.SatName + "\"";
            if (e.Line1.empty() || e.Line2.empty()) {
                if (!strict) continue;
                throw InputError(which + " lacks its element line " + (e.Line1.empty() ? "1" : "2")
                                 + " (the text may be cut off)");
            }
            if (e.LineProblem) {
                if (!strict) continue;
                throw InputError(which + ": " + *e.LineProblem);
            }
            if (!e.LineWarnings.empty()) ++contents.Warnings;
            contents.Entries.push_back({e.SatName, CatalogueNumber(e.Line1), e.Epoch});
        }
    }
    return contents;
}

} // namespace

TleContents CheckTleText(std::string_view text, const std::string& sourceName)
{
    // A portal's error or login page comes with status 200 as often as not.
    // No line of a TLE file begins with "<".
    if (const std::size_t first = text.find_first_not_of("\r\n\t "); first != std::string_view::npos
        && (text[first] == '<' || text.substr(first, 4) == "\xEF\xBB\xBF<"))
        throw InputError(sourceName + ": an HTML or XML page, not element sets");
    return ReadContents(text, sourceName, true);
}

TleChanges CompareTleContents(const TleContents& before, const TleContents& after)
{
    // A number met twice counts with its newest epoch.
    std::map<std::string, double> old;
    for (const TleEntryInfo& e : before.Entries) {
        auto [it, fresh] = old.emplace(KeyOf(e), EpochToDayNumber(e.Epoch));
        if (!fresh) it->second = std::max(it->second, EpochToDayNumber(e.Epoch));
    }
    TleChanges changes;
    changes.Entries = static_cast<int>(after.Entries.size());
    std::map<std::string, bool> seen;
    double oldest = 0;
    for (const TleEntryInfo& e : after.Entries) {
        const double epoch = EpochToDayNumber(e.Epoch);
        if (!changes.Oldest || epoch < oldest) {
            changes.Oldest = e;
            oldest = epoch;
        }
        if (!seen.emplace(KeyOf(e), true).second) continue;
        const auto found = old.find(KeyOf(e));
        if (found == old.end()) changes.Added.push_back(Label(e));
        else if (epoch > found->second) changes.Updated.push_back(Label(e));
        else if (epoch < found->second) changes.Older.push_back(Label(e));
        else ++changes.Unchanged;
    }
    for (const TleEntryInfo& e : before.Entries)
        if (!seen.count(KeyOf(e))) {
            changes.Removed.push_back(Label(e));
            seen.emplace(KeyOf(e), true);
        }
    return changes;
}

std::string EpochText(double epoch)
{
    const CalendarFields f = EpochDateTime(epoch).Fields();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d UTC", f.Year, f.Month, f.Day, f.Hour, f.Minute);
    return text;
}

std::string DescribeTleChanges(const TleChanges& c)
{
    std::string text = std::to_string(c.Entries) + (c.Entries == 1 ? " entry" : " entries") + "\n";
    text += NamesLine("added", c.Added);
    text += "updated (newer epoch): " + std::to_string(c.Updated.size()) + "\n";
    if (!c.Older.empty()) text += NamesLine("older epoch than before", c.Older);
    text += NamesLine("removed", c.Removed);
    text += "unchanged: " + std::to_string(c.Unchanged) + "\n";
    if (c.Oldest) text += "oldest epoch now: " + EpochText(c.Oldest->Epoch) + ", " + Label(*c.Oldest) + "\n";
    return text;
}

TleChanges ReplaceTleFile(const std::string& path, std::string_view downloaded, const std::string& sourceName)
{
    const TleContents after = CheckTleText(downloaded, sourceName);
    TleContents before;
    struct stat st {};
    // An old file that cannot be read is replaced all the same; its entries
    // then count as none.
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        try {
            before = ReadContents(ReadTextFile(path), path, false);
        } catch (const InputError&) {
        }
    }
    const TleChanges changes = CompareTleContents(before, after);
    WriteFileAtomically(path, downloaded);
    return changes;
}

} // namespace tavik
