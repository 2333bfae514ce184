// Reference figures computed by Debian's own Python packages (python3-ephem,
// python3-sgp4, python3-skyfield) with the scripts in tests/reference, run by
// /usr/bin/python3 rather than whatever python3 comes first on PATH: the
// script prints, the test reads its standard output.
#pragma once

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace tavik::test {

// What a script of tests/reference printed given these arguments; a failure
// when it could not run or exited with an error.
inline std::string RunReference(const std::string& script, const std::vector<std::string>& arguments = {})
{
    std::string command = "/usr/bin/python3 " + ShellQuoted(std::string(TAVIK_TEST_REFERENCE "/") + script);
    for (const auto& a : arguments) command += " " + ShellQuoted(a);
    std::string out;
    std::FILE* python = ::popen(command.c_str(), "r");
    if (!python) {
        ADD_FAILURE() << "could not start /usr/bin/python3";
        return out;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, python)) > 0;) out.append(buffer, n);
    const int status = ::pclose(python);
    EXPECT_EQ(status, 0) << "the reference script failed:\n" << out;
    return out;
}

// The printed lines as rows of numbers, blank lines skipped.
inline std::vector<std::vector<double>> NumberRows(const std::string& text)
{
    std::vector<std::vector<double>> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::vector<double> row;
        for (double x; fields >> x;) row.push_back(x);
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

} // namespace tavik::test
