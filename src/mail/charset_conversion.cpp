#include "mail/charset_conversion.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <utility>

namespace {

// Letters and digits only, upper-cased: "utf8", "UTF-8" and "utf_8" compare equal.
std::string CharsetKey(std::string_view name) {
    std::string key;
    for (char c : name) {
        if (c >= 'a' && c <= 'z') {
            key += static_cast<char>(c - 'a' + 'A');
        } else if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            key += c;
        }
    }
    return key;
}

class IconvHandle {
public:
    IconvHandle(const std::string& to, const std::string& from) : m_handle(iconv_open(to.c_str(), from.c_str())) {}
    ~IconvHandle() {
        if (IsOpen()) {
            iconv_close(m_handle);
        }
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    bool IsOpen() const { return m_handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return m_handle; }

private:
    iconv_t m_handle;
};

} // namespace

std::string LocaleCharset() {
    const char* locale = std::setlocale(LC_CTYPE, nullptr);
    if (locale == nullptr || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0) {
        return "UTF-8";
    }
    const char* codeset = nl_langinfo(CODESET);
    return (codeset == nullptr || *codeset == '\0') ? std::string("UTF-8") : std::string(codeset);
}

bool SameCharset(std::string_view a, std::string_view b) {
    return CharsetKey(a) == CharsetKey(b);
}

bool ConvertCharset(std::string_view text, const std::string& from, const std::string& to, std::string& out) {
    IconvHandle converter(to, from);
    if (!converter.IsOpen()) {
        return false;
    }
    std::string result(text.size() * 2 + 16, '\0');
    char* input = const_cast<char*>(text.data());
    size_t inputLeft = text.size();
    size_t written = 0;
    bool flushed = false;
    while (!flushed) {
        char* output = result.data() + written;
        size_t outputLeft = result.size() - written;
        // The last call, without input, writes any closing shift sequence.
        bool flushing = inputLeft == 0;
        size_t status = flushing ? iconv(converter.Get(), nullptr, nullptr, &output, &outputLeft)
                                 : iconv(converter.Get(), &input, &inputLeft, &output, &outputLeft);
        written = result.size() - outputLeft;
        if (status == static_cast<size_t>(-1)) {
            if (errno != E2BIG) {
                return false;
            }
            result.resize(result.size() * 2);
            continue;
        }
        flushed = flushing;
    }
    result.resize(written);
    out = std::move(result);
    return true;
}
