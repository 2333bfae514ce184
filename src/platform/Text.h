// The small text helpers the readers and their messages share.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// Without the blanks and tabs at either end.
std::string_view TrimBlanks(std::string_view text);

// The longest start of the text that has at most maxBytes bytes and does not
// end inside a UTF-8 sequence.
std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes);

// Text as the user wrote it, for a message: in double quotes, cut between
// characters after at most 40 bytes with "..." to say so (a pasted megabyte
// would make a megabyte of message), control characters as "?".
std::string Quoted(std::string_view text);

// The text without the UTF-8 byte order mark Windows editors put in front.
// Throws InputError naming sourceName for text that begins with a UTF-16 byte
// order mark: read byte by byte, it would look like lines full of NUL bytes.
std::string_view WithoutByteOrderMark(std::string_view text, const std::string& sourceName);

// The lines of a text, one at a time. A line ends at CR LF, a lone CR or a
// lone LF, and the end is not part of it; text after the last end is a last
// line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}
    // The next line; nothing once the text is used up.
    std::optional<std::string_view> Next();

private:
    std::string_view rest_;
};

} // namespace tavik
