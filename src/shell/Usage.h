// What `tavik --help` and `tavik --version` print. Both are answered before
// Qt starts, so that they work without a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavik::shell {

inline constexpr const char* WindowProgramName = "tavik";

// The usage text; its option lines ("  -h, --help ...") are the ones the
// manual page tavik(1) documents, which a test holds them to.
std::string WindowUsageText();

// "tavik <version>" and a line end.
std::string WindowVersionText();

// The text asked for by --help (or -h) or --version among the arguments
// after the program name, or nothing. Arguments after "--" are files, and
// the value of --screenshot-dir is not an option.
std::optional<std::string> InfoRequested(const std::vector<std::string>& args);

// Prints the text on standard output; 0, or 1 with a message on standard
// error when standard output cannot be written.
int PrintInfo(const std::string& text);

} // namespace tavik::shell
