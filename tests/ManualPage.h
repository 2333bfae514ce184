// The options a usage text lists and the options a manual page documents,
// so that a test can hold the two to each other.
#pragma once

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>

namespace tavik::manual {

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The option lines of a usage text: two blanks, then "-h, --help", "--tle FILE"
// or "--"; the lines that continue a description are indented further.
inline std::set<std::string> UsageOptions(const std::string& usage)
{
    static const std::regex line(R"(^  (-[A-Za-z], )?(--[a-z0-9-]*)( .*)?$)");
    std::set<std::string> options;
    std::istringstream in(usage);
    std::smatch m;
    for (std::string text; std::getline(in, text);) {
        if (!std::regex_match(text, m, line)) continue;
        if (m[1].matched) options.insert(m[1].str().substr(0, 2));
        options.insert(m[2].str());
    }
    return options;
}

// The options a page documents: the tag lines (after ".TP") of its OPTIONS
// section, with roff's "\-" read as "-".
inline std::set<std::string> ManualOptions(const std::string& roff)
{
    static const std::regex option(R"((?:^|[^-A-Za-z0-9])(--?[A-Za-z0-9][a-z0-9-]*|--)(?![A-Za-z0-9-]))");
    std::set<std::string> options;
    std::istringstream in(roff);
    bool inOptions = false, tag = false;
    for (std::string text; std::getline(in, text);) {
        if (text.rfind(".SH", 0) == 0) inOptions = text.find("OPTIONS") != std::string::npos;
        if (!inOptions) continue;
        if (tag && text.rfind(".", 0) == 0) {
            std::string plain;
            for (std::size_t i = 0; i < text.size(); ++i) {
                const bool escaped = text.compare(i, 2, "\\-") == 0;
                plain += escaped ? '-' : text[i];
                if (escaped) ++i;
            }
            // The macro name itself (".BR", ".BI") is not an option.
            plain = plain.substr(plain.find(' ') == std::string::npos ? plain.size() : plain.find(' '));
            for (std::sregex_iterator it(plain.begin(), plain.end(), option), end; it != end; ++it)
                options.insert((*it)[1].str());
        }
        tag = text == ".TP";
    }
    return options;
}

} // namespace tavik::manual
