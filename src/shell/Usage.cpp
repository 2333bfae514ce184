#include "shell/Usage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace tavik::shell {

std::string WindowUsageText()
{
    return R"(Usage: tavik [OPTION]... [FILE]
Opens the tavik window: for one satellite of a TLE file and a station given
as a Maidenhead locator, the 59-day forecast of its passes over the station
and its eclipses, minute by minute, with the strip chart, the pass details,
the sky plot and the sun angle.

FILE is a TLE file to open for this session instead of the one the settings
file names. The settings file tavik.ini is looked for in the program's
folder, then as $XDG_CONFIG_HOME/tavik/tavik.ini (~/.config/tavik/tavik.ini);
without a usable one the window asks for the station and writes the file.

  -h, --help          show this text and exit
  --version           show the version and exit
  --                  end of the options: the next argument is FILE, even
                      when it begins with "-"
Qt's own options, such as -platform NAME, are taken too.

Exit status:
  0  the window was closed; also after --help and --version
  1  standard output could not be written for --help or --version
  2  a wrong command line: an unknown option or a second FILE
)";
}

std::string WindowVersionText() { return std::string(WindowProgramName) + ' ' + TAVIK_VERSION + '\n'; }

std::optional<std::string> InfoRequested(const std::vector<std::string>& args)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") return std::nullopt;
        if (arg == "--screenshot-dir")
            ++i;
        else if (arg == "--help" || arg == "-h")
            return WindowUsageText();
        else if (arg == "--version")
            return WindowVersionText();
    }
    return std::nullopt;
}

int PrintInfo(const std::string& text)
{
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return 0;
    const int error = errno;
    std::fprintf(stderr, "%s: cannot write standard output%s%s\n", WindowProgramName, error ? ": " : "",
                 error ? std::strerror(error) : "");
    return 1;
}

} // namespace tavik::shell
