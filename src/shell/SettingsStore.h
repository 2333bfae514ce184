// What the window keeps in tavik.ini. Lines 1 and 2, the station's locator
// and the TLE file, are the ones every reader of the file takes; the window
// remembers the user's last choices in "key=value" lines after them, which
// those readers never look at.
#pragma once

#include <QString>

#include <map>

namespace tavik::shell {

// Keys of the remembered lines.
inline constexpr const char* LastTleFileKey = "last kep file";
inline constexpr const char* LastSatelliteKey = "last satellite";
inline constexpr const char* ModelKey = "model";
inline constexpr const char* SaveFolderKey = "save folder";
// The window's size when it was last closed, "1200x800", with " maximized"
// when it was.
inline constexpr const char* WindowSizeKey = "window size";

// The address a TLE file is updated from, one line per file: the key holds
// the file's path percent-encoded, so that no "=" in it ends the key.
QString UpdateUrlKey(const QString& tleFile);

// The downlink and uplink frequencies of a satellite, "145.8,435.25" (MHz),
// one line per catalogue number.
QString FrequencyKey(const QString& catalogueNumber);

// The attitude flown by a satellite, in its one text form ("sun", "10,0"),
// one line per catalogue number.
QString AttitudeKey(const QString& catalogueNumber);

using Remembered = std::map<QString, QString>;

// The remembered lines of the file; nothing when it cannot be read.
Remembered ReadRemembered(const QString& path);

// Writes the file atomically: lines 1 and 2 given (or kept, when empty), the
// remembered keys replaced or added, every other line kept. Throws the
// engine's errors naming the file when it cannot be written, and for a file
// larger than the settings reader takes (rewritten from its first MiB, it
// would lose the rest). A file that does not hold two lines and gets none is
// left alone (returns false). The window calls it only for a file it read
// whole and as settings, or for the user's own.
bool WriteSettingsFile(const QString& path, const QString& locator, const QString& tleFile, const Remembered& keys);

// Whether a file can be put at path: its folder is writable, and so is the
// file where it exists.
bool CanReplace(const QString& path);

} // namespace tavik::shell
