// Small helpers shared by the tests that read files, expect refusals or set the environment.
#pragma once

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace tavik::test {

// The message of the InputError the action throws; a failure when it throws none.
template <class F>
std::string InputErrorMessage(F&& action)
{
    try { action(); } catch (const InputError& e) { return e.what(); }
    ADD_FAILURE() << "expected an InputError";
    return {};
}

inline bool Contains(const std::string& text, std::string_view part)
{
    return text.find(part) != std::string::npos;
}

// One word to the shell, whatever it holds.
inline std::string ShellQuoted(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A folder of its own under the system's temporary folder, removed with all it holds when the test ends.
class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        Path = std::filesystem::temp_directory_path() / ("tavik-test-" + std::to_string(random()));
        std::filesystem::create_directories(Path);
    }
    ~TempFolder() { std::error_code ignored; std::filesystem::remove_all(Path, ignored); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path Write(const std::string& name, std::string_view bytes) const
    {
        std::filesystem::path file = Path / name;
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    std::filesystem::path Path;
};

// Sets (or, for nullptr, clears) an environment variable for the life of the object; TZ takes effect at once.
class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) saved_ = old;
        Set(value);
    }
    ~EnvScope() { Set(saved_ ? saved_->c_str() : nullptr); }
    EnvScope(const EnvScope&) = delete;
    EnvScope& operator=(const EnvScope&) = delete;

private:
    void Set(const char* value)
    {
        if (value) ::setenv(name_.c_str(), value, 1);
        else ::unsetenv(name_.c_str());
        ::tzset();
    }

    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace tavik::test
