#pragma once

#include <string>
#include <vector>

class QuarantineView;

// Which quarantined messages a command line names. Entry ids are given out
// afresh by every process, so a message is named either by the id the
// listing of the same data printed or by its stable file name.

// Loads the settings, every stored account and its quarantine index, as the
// desktop program does at start (the purge of old files aside). Raises
// std::runtime_error when the data folder or an index cannot be read.
void LoadQuarantine();

// The quarantined messages of one account and one category: what one view of
// the quarantine shows, so one action of the view can handle them.
struct QuarantineSelection {
    int AccountIndex = 0;
    int Category = 0;
    std::vector<int> Ids;
};

// Finds each named message: a decimal id, or a file name with or without
// its braces and ".dat", in any case. Groups them by account and category in
// the order first named; a message named twice counts once. Throws
// UsageError for a name that matches no message.
std::vector<QuarantineSelection> SelectQuarantined(const std::vector<std::string>& names);

// Shows the selection's account and category in the view and selects its
// rows.
void ShowSelection(QuarantineView& view, const QuarantineSelection& selection);
