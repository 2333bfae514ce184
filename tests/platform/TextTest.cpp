#include "platform/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavik {
namespace {

TEST(LineReader, SplitsAtEachKindOfLineEnd)
{
    using L = std::vector<std::string>;
    const std::pair<std::string_view, L> cases[] = {
        {"", L{}}, {"a", L{"a"}}, {"a\nb\r\nc\rd", L{"a", "b", "c", "d"}}, {"a\r\r\n", L{"a", ""}},
        {"\n\n", L{"", ""}}, {"a\n\rb", L{"a", "", "b"}},
        // A text that ends on CR, cut from a larger one whose next byte is LF: that LF is not the text's.
        {std::string_view("a\r\nb").substr(0, 2), L{"a"}},
    };
    for (const auto& [text, lines] : cases) {
        L read;
        LineReader reader(text);
        while (const auto line = reader.Next()) read.emplace_back(*line);
        EXPECT_EQ(read, lines) << '"' << text << '"';
    }
}

} // namespace
} // namespace tavik
