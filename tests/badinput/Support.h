// Helpers of the bad-input suite: scratch folders, file bytes, the element
// lines of a made-up satellite with any field replaced, and the checks
// every refusal must pass.
#pragma once

#include "platform/Error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace tavik::badinput {

namespace fs = std::filesystem;

// A folder of its own, removed with everything in it at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tavik-badinput-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no scratch folder";
        path_ = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& Path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

    // The names in the folder, sorted.
    std::vector<std::string> Listing() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    fs::path path_;
};

inline std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// The message of the InputError the action throws; a failure when it throws
// nothing or something else.
inline std::string InputErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const InputError& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "expected an InputError, got: " << e.what();
        return {};
    }
    ADD_FAILURE() << "expected an InputError";
    return {};
}

inline std::string OutputErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const OutputError& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "expected an OutputError, got: " << e.what();
        return {};
    }
    ADD_FAILURE() << "expected an OutputError";
    return {};
}

// A message fit to show: one line, not empty, no control characters, not a
// wall of text, and holding every part given.
inline void ExpectClearMessage(const std::string& message, const std::vector<std::string>& parts,
                               std::size_t longest = 400)
{
    EXPECT_FALSE(message.empty());
    EXPECT_LE(message.size(), longest) << message.substr(0, 500);
    EXPECT_TRUE(std::none_of(message.begin(), message.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
        << message.substr(0, 500);
    for (const std::string& part : parts) EXPECT_TRUE(Contains(message, part)) << "\"" << part << "\" in: " << message;
}

// TLE element lines with the check digit of column 69.
inline std::string WithCheckDigit(std::string line)
{
    line.resize(68, ' ');
    int sum = 0;
    for (char c : line) {
        if (c >= '0' && c <= '9') sum += c - '0';
        if (c == '-') sum += 1;
    }
    return line + static_cast<char>('0' + sum % 10);
}

// Columns first..last (counted from 1) of a line replaced by text, which
// must have their width.
inline std::string Replaced(std::string line, std::size_t first, std::size_t last, std::string_view text)
{
    EXPECT_EQ(text.size(), last - first + 1) << text;
    line.replace(first - 1, last - first + 1, text);
    return WithCheckDigit(line);
}

// A made-up low orbit with no drag, so that any epoch still gives a
// satellite above 150 km for the whole run.
inline const std::string GoodName = "BADIN-1";
inline const std::string GoodLine1 =
    WithCheckDigit("1 90021U 26001A   26338.50000000  .00000000  00000-0  00000-0 0  999");
inline const std::string GoodLine2 =
    WithCheckDigit("2 90021  51.6400 120.0000 0005000  90.0000 270.0000 15.50000000 1234");

inline std::string Entry(std::string_view name, std::string_view line1, std::string_view line2,
                         std::string_view end = "\r\n")
{
    std::string s(name);
    s += end;
    s += line1;
    s += end;
    s += line2;
    s += end;
    return s;
}

} // namespace tavik::badinput
