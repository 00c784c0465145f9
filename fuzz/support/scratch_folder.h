#pragma once

#include <string>

// A private folder for the targets that read and write files, made once per
// process under TMPDIR and removed when the process ends normally. It is
// also the data folder, so loaders that look there find what a target puts.
const std::string& ScratchFolder();

// Removes everything inside folder, keeping the folder itself.
void EmptyFolder(const std::string& folder);

// Every name directly inside folder, sorted.
std::string ListFolder(const std::string& folder);

// Replaces the file at path with bytes.
void WriteBytes(const std::string& path, const std::string& bytes);
