// Compares computed values with references printed to a given number of
// decimals: a value, rounded to as many decimals as its reference shows,
// must read exactly as the reference.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
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

// One row of a table of figures; a row without a reference is skipped.
struct Figure {
    const char* Name;
    double Value;
    const char* Printed;
};

inline void ExpectPrinted(std::initializer_list<Figure> figures)
{
    for (const Figure& f : figures)
        if (f.Printed) {
            EXPECT_EQ(RoundedLike(f.Value, f.Printed), f.Printed) << f.Name;
        }
}

} // namespace tavik::test

#define EXPECT_PRINTED(value, printed) \
    EXPECT_EQ(::tavik::test::RoundedLike((value), (printed)), std::string(printed)) << #value
