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

struct TleChanges {
    std::vector<std::string> Added;   // "NAME (number)", in the new file's order
    std::vector<std::string> Updated; // newer epoch
    std::vector<std::string> Older;   // the new file's epoch is older than the old one's
    std::vector<std::string> Removed; // in the old file's order
    int Unchanged = 0;
    int Entries = 0; // in the new file
    std::optional<TleEntryInfo> Oldest; // the entry of the oldest epoch now in the file
};

// Entries are matched by catalogue number (by name where a line has none).
TleChanges CompareTleContents(const TleContents& before, const TleContents& after);

// A few lines for the user: counts, the names added and removed, the
// oldest epoch now in the file.
std::string DescribeTleChanges(const TleChanges& changes);

// The epoch as "YYYY-MM-DD HH:MM UTC".
std::string EpochText(double epoch);

// Checks the downloaded text, then writes it over path atomically. The old
// file's entries (none when it is missing or unreadable) are compared with
// the new ones. Throws InputError when the text is refused and OutputError
// when the file cannot be written; either way the old file stays as it was.
TleChanges ReplaceTleFile(const std::string& path, std::string_view downloaded, const std::string& sourceName);

} // namespace tavik
