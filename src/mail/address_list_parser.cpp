#include "mail/address_list_parser.h"

#include <string>
#include <vector>

namespace {

enum class TokenKind { Word, Quoted, Comment, Angle, Comma, Colon, Semicolon };

struct Token {
    TokenKind Kind;
    std::string Text;
    bool Adjacent = false; // no blank or comment between it and the previous token
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsWordCharacter(char c) {
    return !IsBlank(c) && c != '"' && c != '(' && c != ')' && c != '<' && c != '>' && c != ',' && c != ':' && c != ';';
}

// Text up to the closing quote, backslash escapes resolved; position ends after the quote.
std::string ReadQuoted(std::string_view value, size_t& position) {
    std::string text;
    ++position;
    while (position < value.size() && value[position] != '"') {
        if (value[position] == '\\' && position + 1 < value.size()) {
            ++position;
        }
        text += value[position++];
    }
    ++position;
    return text;
}

// Comment text with nested comments flattened; counted, not recursive.
std::string ReadComment(std::string_view value, size_t& position) {
    std::string text;
    int depth = 1;
    ++position;
    while (position < value.size()) {
        char c = value[position++];
        if (c == '\\' && position < value.size()) {
            text += value[position++];
            continue;
        }
        if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            break;
        }
        text += c;
    }
    return text;
}

std::string ReadAngle(std::string_view value, size_t& position) {
    std::string text;
    ++position;
    while (position < value.size() && value[position] != '>') {
        if (value[position] == '"') {
            text += '"' + ReadQuoted(value, position) + '"';
            continue;
        }
        text += value[position++];
    }
    ++position;
    return text;
}

std::vector<Token> Tokenize(std::string_view value) {
    std::vector<Token> tokens;
    size_t position = 0;
    bool adjacent = false;
    while (position < value.size()) {
        char c = value[position];
        if (IsBlank(c)) {
            ++position;
            adjacent = false;
            continue;
        }
        Token token{TokenKind::Word, std::string(), adjacent};
        switch (c) {
        case '"':
            token.Kind = TokenKind::Quoted;
            token.Text = ReadQuoted(value, position);
            break;
        case '(':
            token.Kind = TokenKind::Comment;
            token.Text = ReadComment(value, position);
            break;
        case '<':
            token.Kind = TokenKind::Angle;
            token.Text = ReadAngle(value, position);
            break;
        case ',':
        case ':':
        case ';':
            token.Kind = c == ',' ? TokenKind::Comma : c == ':' ? TokenKind::Colon : TokenKind::Semicolon;
            ++position;
            break;
        case ')':
        case '>':
            // Stray closers are dropped.
            ++position;
            continue;
        default:
            while (position < value.size() && IsWordCharacter(value[position])) {
                token.Text += value[position++];
            }
        }
        adjacent = token.Kind == TokenKind::Word || token.Kind == TokenKind::Quoted;
        tokens.push_back(std::move(token));
    }
    return tokens;
}

std::string Trimmed(const std::string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

// A route ("@a,@b:") before the address is dropped.
std::string AngleAddress(const std::string& text) {
    std::string address = Trimmed(text);
    if (!address.empty() && address.front() == '@') {
        size_t colon = address.find(':');
        address = colon == std::string::npos ? std::string() : Trimmed(address.substr(colon + 1));
    }
    return address;
}

// Collects the tokens of one entry and turns them into an address.
class EntryBuilder {
public:
    void AddWord(const Token& token) {
        bool joins = token.Adjacent && !m_words.empty();
        std::string piece = token.Text;
        if (joins) {
            // A quoted local part belongs to the address it precedes: keep its quotes.
            if (m_lastQuoted) {
                m_words.back() = '"' + m_words.back() + '"';
            }
            m_words.back() += token.Kind == TokenKind::Quoted ? '"' + piece + '"' : piece;
            m_lastQuoted = false;
        } else {
            m_words.push_back(piece);
            m_lastQuoted = token.Kind == TokenKind::Quoted;
        }
    }
    void AddComment(const std::string& text) {
        if (m_comment.empty()) {
            m_comment = Trimmed(text);
        }
    }
    void SetAngle(const std::string& text) {
        if (!m_hasAngle) {
            m_angle = AngleAddress(text);
            m_hasAngle = true;
        }
    }
    bool HasAngle() const { return m_hasAngle; }
    void Reset() { *this = EntryBuilder(); }

    void Finish(MailAddressList& list) {
        MailAddress entry;
        if (m_hasAngle) {
            entry.Address = m_angle;
            entry.Name = Join(0, m_words.size());
        } else {
            size_t at = m_words.size();
            for (size_t i = m_words.size(); i-- > 0;) {
                if (m_words[i].find('@') != std::string::npos) {
                    at = i;
                    break;
                }
            }
            if (at < m_words.size()) {
                entry.Address = m_words[at];
                entry.Name = Join(0, at);
            } else if (m_words.size() == 1) {
                entry.Address = m_words.front();
            } else {
                entry.Name = Join(0, m_words.size());
            }
        }
        if (entry.Name.empty()) {
            entry.Name = m_comment;
        }
        if (!entry.IsEmpty()) {
            list.push_back(std::move(entry));
        }
        Reset();
    }

private:
    std::string Join(size_t begin, size_t end) const {
        std::string text;
        for (size_t i = begin; i < end; ++i) {
            if (m_words[i].empty()) {
                continue;
            }
            if (!text.empty()) {
                text += ' ';
            }
            text += m_words[i];
        }
        return Trimmed(text);
    }

    std::vector<std::string> m_words;
    bool m_lastQuoted = false;
    std::string m_comment;
    std::string m_angle;
    bool m_hasAngle = false;
};

} // namespace

MailAddressList ParseAddressList(std::string_view value) {
    MailAddressList list;
    EntryBuilder entry;
    for (const Token& token : Tokenize(value)) {
        switch (token.Kind) {
        case TokenKind::Word:
        case TokenKind::Quoted:
            if (!entry.HasAngle()) {
                entry.AddWord(token);
            }
            break;
        case TokenKind::Comment:
            entry.AddComment(token.Text);
            break;
        case TokenKind::Angle:
            entry.SetAngle(token.Text);
            break;
        case TokenKind::Colon:
            // A group's name is no address; its members follow.
            if (!entry.HasAngle()) {
                entry.Reset();
            }
            break;
        case TokenKind::Comma:
        case TokenKind::Semicolon:
            entry.Finish(list);
            break;
        }
    }
    entry.Finish(list);
    return list;
}

MailAddress ParseAddress(std::string_view value) {
    MailAddressList list = ParseAddressList(value);
    return list.empty() ? MailAddress() : list.front();
}
