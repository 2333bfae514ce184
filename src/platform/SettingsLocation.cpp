#include "platform/SettingsLocation.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tavik {

std::string UserSettingsPath()
{
    namespace fs = std::filesystem;
    fs::path base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config && fs::path(config).is_absolute()) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return {};
        base = fs::path(home) / ".config";
    }
    return (base / "tavik" / SettingsFileName).string();
}

std::vector<std::string> SettingsCandidates(const std::string& programFolder)
{
    std::vector<std::string> candidates{(std::filesystem::path(programFolder) / SettingsFileName).string()};
    if (std::string user = UserSettingsPath(); !user.empty()) candidates.push_back(std::move(user));
    return candidates;
}

std::optional<std::string> FindSettingsFile(const std::string& programFolder)
{
    for (const std::string& candidate : SettingsCandidates(programFolder)) {
        std::error_code ec;
        // A named pipe or a device under that name is the settings file
        // too, so that reading it says what it is instead of "no settings file".
        const auto status = std::filesystem::status(candidate, ec);
        if (!ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status)) return candidate;
    }
    return std::nullopt;
}

} // namespace tavik
