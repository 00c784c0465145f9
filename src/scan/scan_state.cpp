#include "scan/scan_state.h"

#include "records/text_helpers.h"
#include "scan/scan_view.h"

#include <algorithm>
#include <cstdio>

ScanRunState ScanState;
AccountCounters Counters;

bool AddressList::Contains(const std::string& address) const {
    return std::any_of(m_items.begin(), m_items.end(),
                       [&](const std::string& item) { return SameText(item, address); });
}

std::string PercentText(std::int32_t part, std::int32_t whole) {
    if (part == 0 || whole <= 0)
        return "0.00";
    // Hundredths of a percent in integers, so no binary fraction decides
    // the rounding.
    std::int64_t scaled = static_cast<std::int64_t>(part) * 10000;
    std::int64_t hundredths = (2 * scaled + (scaled < 0 ? -whole : whole)) / (2 * static_cast<std::int64_t>(whole));
    std::string sign = hundredths < 0 ? "-" : "";
    std::int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
    char fraction[4];
    std::snprintf(fraction, sizeof fraction, "%02d", static_cast<int>(magnitude % 100));
    return sign + std::to_string(magnitude / 100) + "." + fraction;
}

std::string ScannedText(const ScanRunState& state) {
    return std::to_string(state.MessagesScanned - state.ResponsesReceived);
}

std::string SpamText(const ScanRunState& state) {
    return std::to_string(state.SpamDetected) + " (" +
           PercentText(state.SpamDetected, state.MessagesScanned - state.ResponsesReceived) + "%)";
}

void ShowStatistics(const ScanRunState& state, ScanView& view) {
    view.SetScannedText(ScannedText(state));
    view.SetSpamText(SpamText(state));
}

std::string ElapsedTimeText(std::int32_t seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2d:%.2d:%.2d", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return text;
}

void ResetElapsedTime(ScanRunState& state, ScanView& view) {
    state.Clock.Reset();
    state.ElapsedSeconds = 0;
    view.SetStatusText(ElapsedTimeText(0));
}

void SetElapsedTimeRunning(ScanRunState& state, ScanView& view, bool running) {
    if (running)
        state.Clock.Start();
    else
        state.Clock.Stop();
    view.SetElapsedTimerEnabled(running);
}

void ElapsedTimeTick(ScanRunState& state, ScanView& view) {
    state.ElapsedSeconds = state.Clock.Seconds();
    view.SetStatusText(ElapsedTimeText(state.ElapsedSeconds));
}
