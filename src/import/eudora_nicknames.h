#pragma once

#include <string>
#include <vector>

// Eudora's address book: its nickname file "NNdbase.txt".

// One nickname of "NNdbase.txt": a name and its address strings.
struct EudoraNickname {
    std::string Name;
    std::vector<std::string> Addresses;
};

// Reads folder + "NNdbase.txt": the nicknames that have at least one
// address, in file order. Returns false (and no nicknames) when the file is
// missing or cannot be read, or when a "note" line comes before any "alias"
// line. Addresses are given as written, untrimmed.
bool ReadEudoraNicknames(const std::string& folder, std::vector<EudoraNickname>& nicknames);
