// Helpers of the bad-input suite: the element lines of a made-up satellite
// with any field replaced, and what every message must be.
#pragma once

#include "Program.h"

#include "platform/Error.h"

#include <string>
#include <string_view>
#include <vector>

namespace tavik::badinput {

using namespace tavik::program;

// Fit to show: one line, no control characters, not a wall of text, holding
// every part given.
inline void ExpectClearMessage(const std::string& message, const std::vector<std::string>& parts,
                               std::size_t longest = 400)
{
    EXPECT_FALSE(message.empty());
    EXPECT_LE(message.size(), longest) << message.substr(0, 500);
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20; };
    EXPECT_TRUE(std::none_of(message.begin(), message.end(), control)) << message.substr(0, 500);
    for (const std::string& part : parts) EXPECT_TRUE(Contains(message, part)) << "\"" << part << "\" in: " << message;
}

// A TLE element line with the check digit of column 69.
inline std::string WithCheckDigit(std::string line)
{
    line.resize(68, ' ');
    int sum = 0;
    for (char c : line) sum += c >= '0' && c <= '9' ? c - '0' : c == '-';
    return line + static_cast<char>('0' + sum % 10);
}

// Columns first..last (counted from 1) replaced by text of their width.
inline std::string Replaced(std::string line, std::size_t first, std::size_t last, std::string_view text)
{
    EXPECT_EQ(text.size(), last - first + 1) << text;
    return WithCheckDigit(line.replace(first - 1, last - first + 1, text));
}

// A made-up low orbit without drag: any epoch keeps it above 150 km for the whole run.
inline const std::string GoodLine1 =
    WithCheckDigit("1 90021U 26001A   26338.50000000  .00000000  00000-0  00000-0 0  999");
inline const std::string GoodLine2 =
    WithCheckDigit("2 90021  51.6400 120.0000 0005000  90.0000 270.0000 15.50000000 1234");


inline std::string Entry(std::string_view name, std::string_view line1 = GoodLine1, std::string_view line2 = GoodLine2)
{
    return std::string(name) + "\r\n" + std::string(line1) + "\r\n" + std::string(line2) + "\r\n";
}

} // namespace tavik::badinput
