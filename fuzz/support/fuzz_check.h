#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A broken property is a finding: say which and abort, so libFuzzer keeps
// the input that showed it.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);                      \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

// A header block ends at its first empty line, so it can never hold one.
inline void CheckHeaderLines(const std::vector<std::string>& headerLines) {
    for (const std::string& line : headerLines)
        FUZZ_CHECK(!line.empty());
}
