// The line reader every protocol and file parser stands on: its lines, put
// back together, give the input again with CR LF read as LF, and no line
// holds a line feed.
#include "mail/line_reader.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

std::string WithBareLineFeeds(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            out += text[i];
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    LineReader reader(text);
    std::string joined;
    std::string_view line;
    bool first = true;
    while (reader.Next(line)) {
        FUZZ_CHECK(line.find('\n') == std::string_view::npos);
        if (!first)
            joined += '\n';
        joined.append(line);
        first = false;
    }
    FUZZ_CHECK(reader.AtEnd());
    if (text.ends_with('\n'))
        joined += '\n';
    FUZZ_CHECK(joined == WithBareLineFeeds(text));
    return 0;
}
