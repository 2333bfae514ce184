#include "catalogue/CatalogueUpdate.h"

#include "astro/TimeScales.h"
#include "catalogue/Catalogue.h"
#include "platform/AtomicFile.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/FileAccess.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
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

// The epoch as a day number, or NaN for a field no element set can hold
// (YYDDD.dddddddd lies between 0 and 100000): such an entry is never older
// or the same as another, and never the oldest.
double EpochDay(double epoch)
{
    if (!(epoch >= 0 && epoch < 100000)) return std::nan("");
    return EpochToDayNumber(epoch);
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
    if (const std::size_t first = text.find_first_not_of("\r\n\t ");
        first != std::string_view::npos && (text[first] == '<' || text.substr(first, 4) == "\xEF\xBB\xBF<"))
        throw InputError(sourceName + ": an HTML or XML page, not element sets");
    return ReadContents(text, sourceName, true);
}

TleChanges CompareTleContents(const TleContents& before, const TleContents& after)
{
    // A number met twice counts with its newest epoch.
    std::map<std::string, double> old;
    for (const TleEntryInfo& e : before.Entries) {
        auto [it, fresh] = old.emplace(KeyOf(e), EpochDay(e.Epoch));
        if (!fresh) it->second = std::max(it->second, EpochDay(e.Epoch));
    }
    TleChanges changes;
    changes.Mode = UpdateMode::Replace;
    changes.Entries = static_cast<int>(after.Entries.size());
    std::map<std::string, bool> seen;
    double oldest = 0;
    for (const TleEntryInfo& e : after.Entries) {
        const double epoch = EpochDay(e.Epoch);
        if (!std::isnan(epoch) && (!changes.Oldest || epoch < oldest)) {
            changes.Oldest = e;
            oldest = epoch;
        }
        if (!seen.emplace(KeyOf(e), true).second) continue;
        const auto found = old.find(KeyOf(e));
        if (found == old.end())
            changes.Added.push_back(Label(e));
        else if (epoch > found->second)
            changes.Updated.push_back(Label(e));
        else if (epoch < found->second)
            changes.Older.push_back(Label(e));
        else
            ++changes.Unchanged;
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

namespace {

// One change to the old text: the bytes at Offset, Length long, become Text.
struct Edit {
    std::size_t Offset = 0, Length = 0;
    std::string Text;
};

std::size_t OffsetIn(std::string_view text, std::string_view part)
{
    return static_cast<std::size_t>(part.data() - text.data());
}

// The line end a text uses first, or nothing when it has none.
std::string_view LineEndOf(std::string_view text)
{
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return {};
    if (text[at] == '\n') return "\n";
    return text.substr(at + 1, 1) == "\n" ? "\r\n" : "\r";
}

struct DownloadEntry {
    EntryLines Lines;
    TleEntryInfo Info;
};

TleEntryInfo InfoOf(const EntryLines& lines, const ElementSet& set)
{
    return {set.SatName, lines.Line1.empty() ? std::string() : CatalogueNumber(lines.Line1), set.Epoch};
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// The count and the oldest entry of the text as it will be.
void CountEntries(const std::string& text, const std::string& name, TleChanges& changes)
{
    changes.Entries = 0;
    changes.Oldest.reset();
    if (IsBlank(text)) return;
    try {
        changes.Entries = static_cast<int>(ScanCatalogue(text, name).Entries.size());
        double oldest = 0;
        for (const TleEntryInfo& e : ReadContents(text, name, false).Entries) {
            const double epoch = EpochDay(e.Epoch);
            if (!std::isnan(epoch) && (!changes.Oldest || epoch < oldest)) {
                changes.Oldest = e;
                oldest = epoch;
            }
        }
    } catch (const InputError&) {}
}

TleUpdate MergeInto(const std::string& oldText, std::string_view downloaded, UpdateMode mode,
                    const std::string& oldName, const std::string& sourceName)
{
    std::vector<DownloadEntry> fresh;
    std::map<std::string, std::size_t> byKey; // the newest entry of each number
    std::map<std::string, std::size_t> byName;
    for (const EntryLines& lines : ScanCatalogue(downloaded, sourceName).Entries) {
        const ElementSet set = EntryOf(lines);
        fresh.push_back({lines, InfoOf(lines, set)});
        byName.emplace(set.SatName, fresh.size() - 1);
        const auto [it, first] = byKey.emplace(KeyOf(fresh.back().Info), fresh.size() - 1);
        if (!first && EpochDay(set.Epoch) > EpochDay(fresh[it->second].Info.Epoch)) it->second = fresh.size() - 1;
    }
    std::string_view eol = LineEndOf(oldText);
    if (eol.empty()) eol = LineEndOf(downloaded);
    if (eol.empty()) eol = "\r\n";

    TleUpdate out;
    TleChanges& changes = out.Changes;
    changes.Mode = mode;
    std::vector<Edit> edits;
    std::vector<EntryLines> old;
    std::set<std::string> matched;
    if (!IsBlank(oldText)) {
        try {
            old = ScanCatalogue(oldText, oldName).Entries;
        } catch (const InputError& e) {
            throw InputError(std::string(e.what()) + "; only replacing the file with the download can update it");
        }
    }
    for (const EntryLines& lines : old) {
        const ElementSet set = EntryOf(lines);
        const TleEntryInfo info = InfoOf(lines, set);
        auto found = byKey.find(KeyOf(info));
        // An entry that lost its line 1 has no number: its name finds it.
        if (info.Number.empty() && found == byKey.end()) {
            const auto named = byName.find(info.Name);
            if (named != byName.end()) found = byKey.find(KeyOf(fresh[named->second].Info));
        }
        if (found == byKey.end()) {
            changes.NotInDownload.push_back(Label(info));
            continue;
        }
        const DownloadEntry& entry = fresh[found->second];
        matched.insert(found->first);
        const bool whole = !lines.Line1.empty() && !lines.Line2.empty() && !set.LineProblem;
        const double oldEpoch = EpochDay(info.Epoch), newEpoch = EpochDay(entry.Info.Epoch);
        if (whole && newEpoch < oldEpoch) {
            changes.Older.push_back(Label(info));
            continue;
        }
        if (whole && newEpoch == oldEpoch) {
            ++changes.Unchanged;
            continue;
        }
        changes.Updated.push_back(Label(info));
        const std::string line1(entry.Lines.Line1), line2(entry.Lines.Line2);
        if (!lines.Line1.empty() && !lines.Line2.empty()) {
            edits.push_back({OffsetIn(oldText, lines.Line1), lines.Line1.size(), line1});
            edits.push_back({OffsetIn(oldText, lines.Line2), lines.Line2.size(), line2});
        } else if (!lines.Line1.empty()) {
            edits.push_back({OffsetIn(oldText, lines.Line1), lines.Line1.size(), line1 + std::string(eol) + line2});
        } else if (!lines.Line2.empty()) {
            edits.push_back({OffsetIn(oldText, lines.Line2), lines.Line2.size(), line1 + std::string(eol) + line2});
        } else {
            // After the name line, blanks and all.
            std::size_t after = oldText.find_first_of("\r\n", OffsetIn(oldText, lines.Name));
            if (after == std::string::npos) after = oldText.size();
            edits.push_back({after, 0, std::string(eol) + line1 + std::string(eol) + line2});
        }
    }
    std::string appended;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        const DownloadEntry& entry = fresh[i];
        const std::string key = KeyOf(entry.Info);
        if (matched.count(key) || byKey.at(key) != i) continue;
        if (mode != UpdateMode::AddNew) {
            changes.NotAdded.push_back(Label(entry.Info));
            continue;
        }
        changes.Added.push_back(Label(entry.Info));
        for (std::string_view line : {entry.Lines.Name, entry.Lines.Line1, entry.Lines.Line2}) {
            appended += line;
            appended += eol;
        }
    }

    std::sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.Offset < b.Offset; });
    std::size_t from = 0;
    for (const Edit& edit : edits) {
        out.Text.append(oldText, from, edit.Offset - from);
        out.Text += edit.Text;
        from = edit.Offset + edit.Length;
    }
    out.Text.append(oldText, from, std::string::npos);
    if (!appended.empty()) {
        if (!out.Text.empty() && out.Text.back() != '\n' && out.Text.back() != '\r') out.Text += eol;
        out.Text += appended;
    }
    CountEntries(out.Text, oldName, changes);
    return out;
}

std::string ModeLine(const TleChanges& c)
{
    if (c.NewFile) return "a new file: the download as it is\n";
    switch (c.Mode) {
    case UpdateMode::Merge:
        return "merged: entries the file holds are updated where the download is newer; new ones are listed, "
               "not added\n";
    case UpdateMode::AddNew:
        return "merged: entries the file holds are updated where the download is newer; new ones are added\n";
    case UpdateMode::Replace: break;
    }
    return "replaced: the file is now exactly the download\n";
}

} // namespace

TleUpdate UpdateTleText(const std::optional<std::string>& oldText, std::string_view downloaded, UpdateMode mode,
                        const std::string& oldName, const std::string& sourceName)
{
    const TleContents after = CheckTleText(downloaded, sourceName);
    if (oldText && mode != UpdateMode::Replace) return MergeInto(*oldText, downloaded, mode, oldName, sourceName);
    TleContents before;
    // An old file that cannot be read is replaced all the same; its entries
    // then count as none.
    if (oldText) {
        try {
            before = ReadContents(*oldText, oldName, false);
        } catch (const InputError&) {}
    }
    TleUpdate out{std::string(downloaded), CompareTleContents(before, after)};
    out.Changes.Mode = mode;
    out.Changes.NewFile = !oldText;
    return out;
}

std::string DescribeTleChanges(const TleChanges& c)
{
    std::string text = ModeLine(c);
    text += std::to_string(c.Entries) + (c.Entries == 1 ? " entry" : " entries") + " in the file\n";
    if (c.Mode == UpdateMode::Replace || c.NewFile) {
        text += NamesLine("added", c.Added);
        text += "updated (newer epoch): " + std::to_string(c.Updated.size()) + "\n";
        if (!c.Older.empty()) text += NamesLine("older epoch than before", c.Older);
        text += NamesLine("removed", c.Removed);
    } else {
        text += NamesLine("updated (newer epoch)", c.Updated);
        if (!c.Older.empty()) text += NamesLine("older in the download, kept", c.Older);
        text += NamesLine("not in the download, kept", c.NotInDownload);
        if (c.Mode == UpdateMode::AddNew)
            text += NamesLine("added", c.Added);
        else
            text += NamesLine("only in the download, not added", c.NotAdded);
    }
    text += "unchanged: " + std::to_string(c.Unchanged) + "\n";
    if (!c.Backup.empty()) text += "the previous file is kept as " + c.Backup + "\n";
    if (c.Oldest) text += "oldest epoch now: " + EpochText(c.Oldest->Epoch) + ", " + Label(*c.Oldest) + "\n";
    return text;
}

TleUpdatePlan PlanTleUpdate(const std::string& path, std::string_view downloaded, UpdateMode mode,
                            const std::string& sourceName)
{
    TleUpdatePlan plan;
    plan.Path = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) throw InputError(path + ": not a regular file, so an update cannot replace it");
        plan.OldText = ReadTextFile(path);
    } else if (errno != ENOENT) {
        throw InputError(path + ": " + std::strerror(errno));
    }
    TleUpdate update = UpdateTleText(plan.OldText, downloaded, mode, path, sourceName);
    plan.NewText = std::move(update.Text);
    plan.Changes = std::move(update.Changes);
    return plan;
}

TleChanges ApplyTleUpdate(const TleUpdatePlan& plan)
{
    TleChanges changes = plan.Changes;
    if (!plan.Changed()) return changes;
    const std::string& path = plan.Path;
    if (const auto why = ReadOnlyReason(path)) throw OutputError("cannot update " + path + ": " + *why);
    if (plan.OldText) {
        // The window asks before a replacement; the file may have been
        // edited meanwhile, and those edits are not overwritten unseen.
        std::string now;
        try {
            now = ReadTextFile(path);
        } catch (const InputError& e) {
            throw OutputError(std::string("cannot update ") + e.what());
        }
        if (now != *plan.OldText)
            throw OutputError("cannot update " + path + ": it changed while the update was prepared");
        const std::string backup = BackupPath(path);
        if (const auto why = ReadOnlyReason(backup))
            throw OutputError("cannot keep the previous " + path + " as " + backup + ": " + *why);
        KeepBackup(path, *plan.OldText);
        changes.Backup = backup;
    }
    WriteFileAtomically(path, plan.NewText);
    return changes;
}

} // namespace tavik
