// Compares a computed value with a reference printed to a given number of
// decimals: the value, rounded to as many decimals as the reference shows,
// must read exactly as the reference.
#pragma once

#include <cstdio>
#include <string>

namespace tavik::test {

inline std::string RoundedLike(double value, const std::string& printed)
{
    auto point = printed.find('.');
    int decimals = point == std::string::npos ? 0 : static_cast<int>(printed.size() - point - 1);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

} // namespace tavik::test

#define EXPECT_PRINTED(value, printed) \
    EXPECT_EQ(::tavik::test::RoundedLike((value), (printed)), std::string(printed)) << #value
