#pragma once

#include <string>

// The tag every challenge carries in its subject: "[tarvo:" + a number + "-"
// + a keyed MD5 token + "]". An answer is recognised by recomputing the token
// from the number found in its subject, so nothing is stored between scans.

// The fixed key of the token: 12 characters, the same in every build, never
// written into a message. Changing it would make every challenge already
// sent unrecognisable.
extern const char* const TagSecret;

// The MD5 digest of numberText followed by TagSecret, as 32 lower-case
// hexadecimal digits. Never throws.
std::string ChallengeToken(const std::string& numberText);

// A new challenge number, 0 <= N < 100000, from a generator seeded from the
// clock for every call.
int NewChallengeNumber();

// "[tarvo:" + the decimal number + "-" + ChallengeToken of it + "]".
std::string ChallengeTagText(int number);

// True when the subject carries a tag whose token equals ChallengeToken of
// the tag's number text: either "[tarvo:N-token]" (tag word in this letter
// case) or, without the tag word, a last bracketed group "[N-token]". The
// number text is hashed as found; tokens are compared exactly. Never throws.
bool IsChallengeAnswer(const std::string& subject);
