// Where the settings file is looked for: beside the program, then in the user's folder.
#include "platform/SettingsLocation.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

namespace fs = std::filesystem;
using test::EnvScope;

TEST(SettingsLocation, UserPathFollowsAnAbsoluteXdgConfigHomeElseHomeElseNone)
{
    const struct { const char *Xdg, *Home, *Expected; } cases[] = {
        {"/xdg", "/home/u", "/xdg/tavik/tavik.ini"},
        {nullptr, "/home/u", "/home/u/.config/tavik/tavik.ini"},
        {"", "/home/u", "/home/u/.config/tavik/tavik.ini"},
        {"relative/config", "/home/u", "/home/u/.config/tavik/tavik.ini"}, // to be ignored, as the base directory rules say
        {nullptr, nullptr, ""}, {nullptr, "", ""},
    };
    for (const auto& c : cases) {
        EnvScope xdg("XDG_CONFIG_HOME", c.Xdg), home("HOME", c.Home);
        EXPECT_EQ(UserSettingsPath(), c.Expected) << (c.Xdg ? c.Xdg : "(unset)") << " " << (c.Home ? c.Home : "(unset)");
    }
    EnvScope xdg("XDG_CONFIG_HOME", nullptr), home("HOME", nullptr);
    EXPECT_EQ(SettingsCandidates("/opt/tavik"), (std::vector<std::string>{"/opt/tavik/tavik.ini"}));
}

TEST(SettingsLocation, ProgramFolderComesFirstThenTheUserFolderAndAFolderIsNoFile)
{
    test::TempFolder root;
    EnvScope xdg("XDG_CONFIG_HOME", (root.Path / "config").c_str());
    const fs::path program = root.Path / "program", own = program / "tavik.ini",
                   user = root.Path / "config" / "tavik" / "tavik.ini";
    fs::create_directories(own); // a folder named like the file
    fs::create_directories(user.parent_path());
    EXPECT_EQ(SettingsCandidates(program.string()), (std::vector<std::string>{own.string(), user.string()}));
    EXPECT_EQ(FindSettingsFile(program.string()), std::nullopt);
    std::ofstream(user) << "JO40HC\n";
    EXPECT_EQ(FindSettingsFile(program.string()), user.string());
    fs::remove(own);
    std::ofstream(own) << "JO40HC\n";
    EXPECT_EQ(FindSettingsFile(program.string()), own.string());
}

} // namespace
} // namespace tavik
