// Where the front ends look for the settings file "tavik.ini": beside the
// program first, so that a build or an unpacked copy runs as it stands, then in
// the user's configuration folder, where an installed program finds it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavik {

inline constexpr const char* SettingsFileName = "tavik.ini";

// $XDG_CONFIG_HOME/tavik/tavik.ini, or ~/.config/tavik/tavik.ini when
// XDG_CONFIG_HOME is unset, empty or relative (the base directory rules say a
// relative one is to be ignored). Empty when neither it nor HOME is set.
std::string UserSettingsPath();

// Every place looked at, in order: the program folder's file, then the
// user's (left out when UserSettingsPath is empty).
std::vector<std::string> SettingsCandidates(const std::string& programFolder);

// The first candidate that exists and is not a folder, or nothing.
std::optional<std::string> FindSettingsFile(const std::string& programFolder);

} // namespace tavik
