#pragma once

#include <string>
#include <utility>
#include <vector>

// Small text utilities shared by the engine and the front ends.

// Removes empty lines and doubled line breaks (header text after TOP).
std::string RemoveBlankLines(std::string text);

// Splits a mail-client command line into program and parameters. A command
// holding ".EXE" (any case) is cut after it, quotes removed from the program;
// one without ".EXE" is cut at its first space outside double quotes; a
// command with neither is all program.
std::pair<std::string, std::string> SplitCommandLine(const std::string& command);

// The text up to the first occurrence of delimiter; all of it when absent.
std::string TextBefore(const std::string& text, const std::string& delimiter);

// Removes leading and trailing bytes up to and including space (white space
// and control characters).
std::string Trim(const std::string& text);

// ASCII letters folded; other bytes unchanged.
std::string LowerAscii(std::string text);
std::string UpperAscii(std::string text);

// Equal without regard to ASCII letter case.
bool SameText(const std::string& a, const std::string& b);

// True when text holds a CR or an LF: such a text cannot be one line of a
// file that holds one entry per line.
bool HoldsLineBreak(const std::string& text);

// Splits text into lines; a line ends at CR, at LF or at CR LF. A last line
// without an end is kept; no empty line is made after the last end.
std::vector<std::string> SplitLines(const std::string& text);

// Joins lines into file text, every line (the last one included) ended by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Joins lines with the separator between them (none after the last).
std::string JoinWith(const std::vector<std::string>& lines, const std::string& separator);
