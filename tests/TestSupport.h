// Small helpers shared by the tests that read files and expect refusals.
#pragma once

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace tavik::test {

// The message of the InputError the action throws; a failure when it throws none.
template <class F>
std::string InputErrorMessage(F&& action)
{
    try {
        action();
    } catch (const InputError& e) {
        return e.what();
    }
    ADD_FAILURE() << "expected an InputError";
    return {};
}

inline bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// A folder of its own under the system's temporary folder, removed with
// everything in it when the test ends.
class TempFolder {
public:
    TempFolder()
    {
        std::random_device random;
        Path = std::filesystem::temp_directory_path() / ("tavik-test-" + std::to_string(random()));
        std::filesystem::create_directories(Path);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
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

} // namespace tavik::test
