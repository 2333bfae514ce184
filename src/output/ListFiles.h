// The passes and eclipses files: a header naming the satellite, a rule of
// 121 hyphens and the list lines, in Windows-1252 with CR LF line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// The hyphens of the rule under a list's header, in the files and on a terminal.
inline constexpr std::size_t ListRuleWidth = 121;

// The satellite name made safe as a file name: "/" and control characters
// (bidirectional controls included) become "_", "." and ".." become "_" and "__", and the name is cut to 200
// bytes; blanks stay ("NOAA 19").
std::string SafeFileStem(std::string_view satName);

std::string PassesFileName(std::string_view satName);   // "<name>_passes.txt"
std::string EclipsesFileName(std::string_view satName); // "<name>_eclipses.txt"
std::string PassesHeader(std::string_view satName);
std::string EclipsesHeader(std::string_view satName);

// The file's bytes: header, rule, every line, each followed by CR LF, in
// Windows-1252 (the degree sign is the byte 0xB0).
std::string ListFileBytes(std::string_view header, const std::vector<std::string>& lines);

} // namespace tavik
