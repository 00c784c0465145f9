#include "mail/encoded_words.h"

#include "mail/hex_escapes.h"

#include "mail/base64_stream_decoder.h"
#include "mail/charset_conversion.h"

#include <vector>

namespace {

// Lenient limits: RFC 2047 allows 75 characters per word, some mailers write more.
constexpr size_t MaxCharsetLength = 64;
constexpr size_t MaxEncodedTextLength = 1024;

struct EncodedWord {
    std::string Charset;
    std::string Bytes;
    size_t Begin = 0; // position of "=?"
    size_t End = 0;   // position after "?="
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string DecodeQ(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '_') {
            bytes += ' ';
        } else if (char byte; HexEscapeAt(text, i, '=', byte)) {
            bytes += byte;
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// Parses an encoded-word at begin ("=?"). On failure returns false and sets
// resume to where the search for the next word may continue.
bool ParseEncodedWord(std::string_view text, size_t begin, EncodedWord& word, size_t& resume) {
    resume = begin + 2;
    size_t charsetEnd = begin + 2;
    while (charsetEnd < text.size() && text[charsetEnd] != '?' && !IsBlank(text[charsetEnd]) &&
           charsetEnd - begin - 2 <= MaxCharsetLength) {
        ++charsetEnd;
    }
    if (charsetEnd + 2 >= text.size() || text[charsetEnd] != '?' || charsetEnd == begin + 2 ||
        text[charsetEnd + 2] != '?') {
        return false;
    }
    char encoding = text[charsetEnd + 1];
    if (encoding != 'B' && encoding != 'b' && encoding != 'Q' && encoding != 'q') {
        return false;
    }
    size_t textBegin = charsetEnd + 3;
    size_t position = textBegin;
    while (position + 1 < text.size() && !(text[position] == '?' && text[position + 1] == '=')) {
        if (IsBlank(text[position]) || position - textBegin > MaxEncodedTextLength) {
            // No word can start before here and end after it.
            resume = position;
            return false;
        }
        ++position;
    }
    if (position + 1 >= text.size()) {
        resume = text.size();
        return false;
    }
    std::string_view charset = text.substr(begin + 2, charsetEnd - begin - 2);
    // RFC 2231 adds a language after "*".
    word.Charset = std::string(charset.substr(0, charset.find('*')));
    std::string_view encoded = text.substr(textBegin, position - textBegin);
    word.Bytes = (encoding == 'B' || encoding == 'b') ? DecodeBase64Text(encoded) : DecodeQ(encoded);
    word.Begin = begin;
    word.End = position + 2;
    return true;
}

std::vector<EncodedWord> FindEncodedWords(std::string_view text) {
    std::vector<EncodedWord> words;
    size_t position = 0;
    while (true) {
        size_t begin = text.find("=?", position);
        if (begin == std::string_view::npos) {
            break;
        }
        EncodedWord word;
        size_t resume = 0;
        if (ParseEncodedWord(text, begin, word, resume)) {
            position = word.End;
            words.push_back(std::move(word));
        } else {
            position = resume;
        }
    }
    return words;
}

bool OnlyBlanks(std::string_view text) {
    for (char c : text) {
        if (!IsBlank(c)) {
            return false;
        }
    }
    return true;
}

// Adjacent words of one character set are converted together: a character
// may be split between them.
void AppendRun(std::string_view text, const std::vector<EncodedWord>& words, size_t first, size_t last,
               const std::string& locale, std::string& out) {
    std::string bytes;
    for (size_t i = first; i <= last; ++i) {
        bytes += words[i].Bytes;
    }
    // Converting even into the same set checks that the bytes are valid in it.
    std::string converted;
    if (ConvertCharset(bytes, words[first].Charset, locale, converted)) {
        out += converted;
    } else {
        out += text.substr(words[first].Begin, words[last].End - words[first].Begin);
    }
}

bool IsQLiteral(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '!' || c == '*' ||
           c == '+' || c == '-' || c == '/';
}

std::string QEncodedCharacter(std::string_view character) {
    const char* digits = "0123456789ABCDEF";
    std::string encoded;
    for (char ch : character) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == ' ') {
            encoded += '_';
        } else if (IsQLiteral(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += {'=', digits[c >> 4], digits[c & 15]};
        }
    }
    return encoded;
}

size_t CharacterLength(std::string_view text, size_t position, bool utf8) {
    size_t length = 1;
    if (utf8) {
        while (position + length < text.size() &&
               (static_cast<unsigned char>(text[position + length]) & 0xC0) == 0x80) {
            ++length;
        }
    }
    return length;
}

} // namespace

std::string DecodeEncodedWords(std::string_view text) {
    std::vector<EncodedWord> words = FindEncodedWords(text);
    if (words.empty()) {
        return std::string(text);
    }
    std::string locale = LocaleCharset();
    std::string out;
    size_t position = 0;
    size_t i = 0;
    while (i < words.size()) {
        out += text.substr(position, words[i].Begin - position);
        size_t last = i;
        while (last + 1 < words.size() && SameCharset(words[last + 1].Charset, words[i].Charset) &&
               OnlyBlanks(text.substr(words[last].End, words[last + 1].Begin - words[last].End))) {
            ++last;
        }
        AppendRun(text, words, i, last, locale, out);
        position = words[last].End;
        i = last + 1;
        // Blanks between words of different character sets are dropped too.
        if (i < words.size() && OnlyBlanks(text.substr(position, words[i].Begin - position))) {
            position = words[i].Begin;
        }
    }
    out += text.substr(position);
    return out;
}

std::string EncodeHeaderWords(std::string_view text) {
    bool ascii = true;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return std::string(text);
    }
    std::string charset = LocaleCharset();
    bool utf8 = SameCharset(charset, "UTF-8");
    std::string prefix = "=?" + charset + "?Q?";
    const size_t room = 75 - prefix.size() - 2;
    std::string out;
    std::string payload;
    for (size_t position = 0; position < text.size();) {
        size_t length = CharacterLength(text, position, utf8);
        std::string encoded = QEncodedCharacter(text.substr(position, length));
        if (!payload.empty() && payload.size() + encoded.size() > room) {
            out += (out.empty() ? "" : " ") + prefix + payload + "?=";
            payload.clear();
        }
        payload += encoded;
        position += length;
    }
    out += (out.empty() ? "" : " ") + prefix + payload + "?=";
    return out;
}
