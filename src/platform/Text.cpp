#include "platform/Text.h"

#include "platform/Error.h"

namespace tavik {

std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes) return text;
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

std::string Quoted(std::string_view text)
{
    const std::string_view shown = Utf8Prefix(text, 40);
    std::string out = "\"";
    for (char c : shown) out += static_cast<unsigned char>(c) < 0x20 ? '?' : c;
    if (shown.size() < text.size()) out += "...";
    return out + "\"";
}

std::string_view WithoutByteOrderMark(std::string_view text, const std::string& sourceName)
{
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")
        throw InputError(sourceName
                         + ": the file is in UTF-16 (it begins with a UTF-16 byte order mark); "
                           "save it as UTF-8 or Windows-1252 text");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return text;
}

std::optional<std::string_view> LineReader::Next()
{
    if (rest_.empty()) return std::nullopt;
    const std::size_t end = rest_.find_first_of("\r\n");
    const std::string_view line = rest_.substr(0, end);
    if (end == std::string_view::npos) {
        rest_ = {};
    } else {
        const bool crLf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
        rest_.remove_prefix(end + (crLf ? 2 : 1));
    }
    return line;
}

} // namespace tavik
