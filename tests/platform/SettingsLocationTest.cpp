#include "platform/SettingsLocation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <unistd.h>
#include <vector>
#include <string>

namespace {

namespace fs = std::filesystem;

// Sets or clears an environment variable for the life of the object.
class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) saved_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~EnvScope()
    {
        if (saved_) setenv(name_.c_str(), saved_->c_str(), 1);
        else unsetenv(name_.c_str());
    }

private:
    std::string name_;
    std::optional<std::string> saved_;
};

class SettingsLocationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("tavik-settings-" + std::to_string(::getpid()) + "-"
                                             + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "program");
        fs::create_directories(root_ / "config" / "tavik");
        fs::create_directories(root_ / "home" / ".config" / "tavik");
    }
    void TearDown() override { fs::remove_all(root_); }

    static void Touch(const fs::path& p) { std::ofstream(p) << "JO40HC\nexample.tle\n"; }

    fs::path root_;
};

TEST_F(SettingsLocationTest, UserPathFollowsXdgConfigHome)
{
    const std::string config = (root_ / "config").string();
    EnvScope xdg("XDG_CONFIG_HOME", config.c_str());
    EXPECT_EQ(tavik::UserSettingsPath(), (root_ / "config" / "tavik" / "tavik.ini").string());
}

TEST_F(SettingsLocationTest, UnsetEmptyOrRelativeXdgConfigHomeFallsBackToHome)
{
    const std::string home = (root_ / "home").string();
    EnvScope homeScope("HOME", home.c_str());
    const std::string expected = (root_ / "home" / ".config" / "tavik" / "tavik.ini").string();
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        EnvScope xdg("XDG_CONFIG_HOME", value);
        EXPECT_EQ(tavik::UserSettingsPath(), expected) << (value ? value : "(unset)");
    }
}

TEST_F(SettingsLocationTest, NoUserPathWithoutXdgConfigHomeAndHome)
{
    EnvScope xdg("XDG_CONFIG_HOME", nullptr);
    EnvScope home("HOME", nullptr);
    EXPECT_EQ(tavik::UserSettingsPath(), "");
    const auto candidates = tavik::SettingsCandidates((root_ / "program").string());
    ASSERT_EQ(candidates.size(), 1u);
    EXPECT_EQ(candidates[0], (root_ / "program" / "tavik.ini").string());
}

TEST_F(SettingsLocationTest, ProgramFolderComesFirstThenTheUserFolder)
{
    const std::string config = (root_ / "config").string();
    EnvScope xdg("XDG_CONFIG_HOME", config.c_str());
    const std::string program = (root_ / "program").string();
    const std::string own = (root_ / "program" / "tavik.ini").string();
    const std::string user = (root_ / "config" / "tavik" / "tavik.ini").string();

    EXPECT_EQ(tavik::SettingsCandidates(program), (std::vector<std::string>{own, user}));
    EXPECT_EQ(tavik::FindSettingsFile(program), std::nullopt);
    Touch(user);
    EXPECT_EQ(tavik::FindSettingsFile(program), user);
    Touch(own);
    EXPECT_EQ(tavik::FindSettingsFile(program), own);
}

TEST_F(SettingsLocationTest, AFolderNamedLikeTheFileIsNotTheFile)
{
    const std::string config = (root_ / "config").string();
    EnvScope xdg("XDG_CONFIG_HOME", config.c_str());
    fs::create_directories(root_ / "program" / "tavik.ini");
    Touch(root_ / "config" / "tavik" / "tavik.ini");
    EXPECT_EQ(tavik::FindSettingsFile((root_ / "program").string()), (root_ / "config" / "tavik" / "tavik.ini").string());
}

} // namespace
