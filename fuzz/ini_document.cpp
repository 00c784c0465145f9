// The INI document behind the settings and account files: its text reads
// back to the same values, and a value written to any key it holds is the
// value read from it afterwards, on this line only.
#include "records/ini_document.h"
#include "support/fuzz_check.h"

#include <cstddef>
#include <cstdint>

namespace {

void CheckSameValues(const IniDocument& expected, const IniDocument& actual) {
    FUZZ_CHECK(actual.SectionNames() == expected.SectionNames());
    for (const std::string& section : expected.SectionNames()) {
        FUZZ_CHECK(actual.KeyNames(section) == expected.KeyNames(section));
        for (const std::string& key : expected.KeyNames(section))
            FUZZ_CHECK(actual.ReadString(section, key, "") == expected.ReadString(section, key, ""));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    IniDocument document;
    document.LoadFromText(text);
    IniDocument reloaded;
    reloaded.LoadFromText(document.Text());
    FUZZ_CHECK(reloaded.Text() == document.Text());
    CheckSameValues(document, reloaded);

    // A value with line breaks would forge keys: it must stay on its line.
    std::string value = "1\r\n[Forged]\nkey=" + text.substr(0, 16);
    int writes = 0;
    for (const std::string& section : document.SectionNames()) {
        for (const std::string& key : document.KeyNames(section)) {
            if (++writes > 16)
                return 0;
            IniDocument written;
            written.LoadFromText(document.Text());
            written.WriteString(section, key, value);
            std::string stored = written.ReadString(section, key, "");
            FUZZ_CHECK(stored.find_first_of("\r\n") == std::string::npos);
            FUZZ_CHECK(stored.starts_with("1  [Forged]"));
            FUZZ_CHECK(written.SectionNames() == document.SectionNames());
            IniDocument again;
            again.LoadFromText(written.Text());
            CheckSameValues(written, again);
        }
    }
    return 0;
}
