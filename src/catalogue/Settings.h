// The settings file "tavik.ini": line 1 the station's Maidenhead locator,
// line 2 the TLE file to load. Read at start-up, never written.
#pragma once

#include "platform/TextFile.h"

#include <string>
#include <string_view>

namespace tavik {

struct Settings {
    std::string StationLocator; // line 1 as written
    std::string TleFilePath;    // line 2; relative paths are taken from the settings file's folder
};

// Lines end at CR LF, a lone CR or a lone LF; lines after the second are not
// read. Throws InputError naming sourceName, the line and the problem when a
// line is missing or the locator is not one.
Settings ParseSettings(std::string_view text, const std::string& sourceName);

// Reads and parses the file; a relative TLE path is resolved against the
// folder that holds the settings file.
Settings ReadSettings(const std::string& path, FileKinds kinds = FileKinds::RegularOnly);

} // namespace tavik
