// Replacing a TLE file with a downloaded one: the new text is checked entry
// by entry with the catalogue's own reader before anything changes, and what
// the replacement changed is told by catalogue number.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// Largest download taken. A group file of the whole public catalogue (about
// 30 000 objects of three lines) is near 5 MiB; 16 MiB leaves room for that
// and stays far below the 64 MiB every reader of the file accepts, while a
// server sending without end is cut off early.
inline constexpr std::size_t TleDownloadMaxBytes = 16u << 20;

// One entry of a TLE text, as the change report needs it.
struct TleEntryInfo {
    std::string Name;
    std::string Number; // columns 3-7 of element line 1, without blanks and leading zeros
    double Epoch = 0;   // YYDDD.dddddddd
};

// Every entry of a TLE text, also those past the 500 a catalogue holds.
struct TleContents {
    std::vector<TleEntryInfo> Entries;
    int Warnings = 0; // entries whose check digits or line lengths are doubtful
};

// Reads the text with the catalogue's reader. Throws InputError naming
// sourceName when it is not a file of element sets, or when any entry is
// incomplete or cut off: an HTML page, a text without a name line, element
// lines before the first name, a name without both element lines, a line too
// short for its fields, lines of two satellites.
TleContents CheckTleText(std::string_view text, const std::string& sourceName);

// What an update does with the entries of the download.
enum class UpdateMode {
    Merge,   // only entries the file holds change, each to the download's newer entry of its number
    AddNew,  // as Merge, and entries only in the download are added at the end
    Replace, // the file becomes exactly the download
};

struct TleChanges {
    UpdateMode Mode = UpdateMode::Merge;
    bool NewFile = false;                   // there was no file: it is the download
    std::vector<std::string> Added;         // "NAME (number)", in the download's order
    std::vector<std::string> NotAdded;      // only in the download, left out by Merge
    std::vector<std::string> Updated;       // newer epoch
    std::vector<std::string> Older;         // the download's epoch is older: kept (Replace: taken)
    std::vector<std::string> Removed;       // Replace: in the old file's order
    std::vector<std::string> NotInDownload; // Merge, AddNew: kept as they are
    int Unchanged = 0;
    int Entries = 0;                    // in the file after the update
    std::optional<TleEntryInfo> Oldest; // the entry of the oldest epoch now in the file
    std::string Backup;                 // where the previous file was kept, once written
};

// Entries are matched by catalogue number (by name where a line has none),
// with Replace's counts: what the new file adds, updates and removes.
TleChanges CompareTleContents(const TleContents& before, const TleContents& after);

// The new text of a TLE file. oldText is the file's content (nothing when
// there is no file, which then becomes the download whatever the mode);
// downloaded has passed CheckTleText. Merge and AddNew change the old text
// only where an entry's element lines are replaced by the download's
// (newer epoch, or the old entry refused by the reader), keeping its name
// line, line ends and everything else; AddNew appends the new entries with
// the file's line ends. Throws InputError, naming oldName, when Merge or
// AddNew meets an old text that holds no entry but is not empty.
struct TleUpdate {
    std::string Text;
    TleChanges Changes;
};
TleUpdate UpdateTleText(const std::optional<std::string>& oldText, std::string_view downloaded, UpdateMode mode,
                        const std::string& oldName, const std::string& sourceName);

// A few lines for the user: counts, the names concerned, the copy kept, the
// oldest epoch now in the file.
std::string DescribeTleChanges(const TleChanges& changes);

// The epoch as "YYYY-MM-DD HH:MM UTC".
std::string EpochText(double epoch);

// An update worked out, not yet written: what the file held and what it will
// hold. Changed is false when the update leaves the text as it is.
struct TleUpdatePlan {
    std::string Path;
    std::optional<std::string> OldText;
    std::string NewText;
    TleChanges Changes;
    bool Changed() const { return !OldText || *OldText != NewText; }
};

// Reads the file (missing is allowed; anything but a regular file, or one
// that cannot be read, is refused) and checks the downloaded text. Throws
// InputError when either is refused; nothing is written.
TleUpdatePlan PlanTleUpdate(const std::string& path, std::string_view downloaded, UpdateMode mode,
                            const std::string& sourceName);

// Writes the plan when it changes anything: refused (OutputError) when the
// file or its copy is read-only for the user or the file changed since the
// plan read it; otherwise the previous file is kept as FILE.bak, then the
// new text written, both through the safe writer. Returns the changes with
// Backup set. Either way a refusal leaves the file as it was.
TleChanges ApplyTleUpdate(const TleUpdatePlan& plan);

} // namespace tavik
