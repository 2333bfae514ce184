// Helpers of the bad-input suite: the element lines of a made-up satellite
// with any field replaced.
#pragma once

#include "Program.h"

#include <string>
#include <string_view>

namespace tavik::badinput {

using namespace tavik::program;

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
