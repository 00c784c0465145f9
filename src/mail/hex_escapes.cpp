#include "mail/hex_escapes.h"

bool HexEscapeAt(std::string_view text, size_t i, char marker, char& byte) {
    if (i + 2 >= text.size() || text[i] != marker)
        return false;
    int high = HexDigitValue(text[i + 1]);
    int low = HexDigitValue(text[i + 2]);
    if (high < 0 || low < 0)
        return false;
    byte = static_cast<char>(high * 16 + low);
    return true;
}
