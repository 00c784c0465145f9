#pragma once

// The value of one hexadecimal digit, or -1.
int HexDigitValue(char c);
