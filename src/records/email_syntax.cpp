#include "records/email_syntax.h"

#include <cstring>

namespace {

enum class State { Begin, Atom, QuotedText, QuotedPair, AfterQuote, LocalPeriod, ExpectSubdomain, Subdomain, Hyphen };

bool IsAtomCharacter(unsigned char c) {
    if (c >= 128)
        return true;
    if (c < 33 || c > 126)
        return false;
    return std::strchr("\"(),./:;<>@[\\]", c) == nullptr;
}

bool IsLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsLetterOrDigit(unsigned char c) {
    return IsLetter(c) || (c >= '0' && c <= '9');
}

bool IsLineBreak(unsigned char c) {
    return c == '\r' || c == '\n';
}

// One transition of the state machine; false when the state has none for c.
bool Step(State& state, int& labels, unsigned char c) {
    switch (state) {
    case State::Begin:
    case State::LocalPeriod:
        if (IsAtomCharacter(c))
            state = State::Atom;
        else if (c == '"')
            state = State::QuotedText;
        else
            return false;
        return true;
    case State::Atom:
        if (c == '@')
            state = State::ExpectSubdomain;
        else if (c == '.')
            state = State::LocalPeriod;
        else if (!IsAtomCharacter(c))
            return false;
        return true;
    // A line break, quoted or not, would split a sender-list entry into
    // lines of its own when the list file is read back.
    case State::QuotedText:
        if (c == '\\')
            state = State::QuotedPair;
        else if (c == '"')
            state = State::AfterQuote;
        else if (IsLineBreak(c))
            return false;
        return true;
    case State::QuotedPair:
        if (IsLineBreak(c))
            return false;
        state = State::QuotedText;
        return true;
    case State::AfterQuote:
        if (c == '@')
            state = State::ExpectSubdomain;
        else if (c == '.')
            state = State::LocalPeriod;
        else
            return false;
        return true;
    case State::ExpectSubdomain:
        if (!IsLetter(c))
            return false;
        state = State::Subdomain;
        return true;
    case State::Subdomain:
        if (c == '-') {
            state = State::Hyphen;
        } else if (c == '.') {
            state = State::ExpectSubdomain;
            ++labels;
        } else if (!IsLetterOrDigit(c)) {
            return false;
        }
        return true;
    case State::Hyphen:
        if (IsLetterOrDigit(c))
            state = State::Subdomain;
        else if (c != '-')
            return false;
        return true;
    }
    return false;
}

} // namespace

bool IsValidEmail(const std::string& s) {
    State state = State::Begin;
    int labels = 1;
    for (char c : s)
        if (!Step(state, labels, static_cast<unsigned char>(c)))
            return false;
    return state == State::Subdomain && labels >= 2;
}
