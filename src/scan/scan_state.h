#pragma once

#include "scan/elapsed_clock.h"
#include "scan/scan_log.h"

#include <cstdint>
#include <string>
#include <vector>

class ScanView;

// Addresses in the order added, compared without regard to case.
class AddressList {
public:
    void Add(const std::string& address) { m_items.push_back(address); }
    bool Contains(const std::string& address) const;
    void Clear() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }
    const std::vector<std::string>& Items() const { return m_items; }

private:
    std::vector<std::string> m_items;
};

// The state of the scan run, once per process, read and written on the one
// thread. Fields hold for the run in progress unless stated otherwise.
struct ScanRunState {
    // From the moment a run takes the controls until it gives them back; what
    // front ends ask before they start anything that must not meet a scan.
    bool Running = false;
    // Set by the Cancel request, cleared when a run starts.
    bool AbortRequested = false;
    // Set for a timer-started run: no message boxes but the stated ones.
    bool Unattended = false;
    // Seconds since the run started, without the time prompts waited.
    std::int32_t ElapsedSeconds = 0;
    // Over all accounts of the run.
    std::int32_t MessagesScanned = 0;
    std::int32_t SpamDetected = 0;
    std::int32_t ResponsesReceived = 0;
    // A message was quarantined as possible automated mail or virus.
    bool NeedsAttention = false;
    // Messages that could not be saved to the quarantine (they stay on the
    // server) and files of the run that could not be written.
    std::int32_t SaveFailures = 0;
    // The log of the run (or of an approve or release).
    ::ScanLog ScanLog;
    // Senders approved or declined at the approve prompt during this run.
    AddressList ApprovedThisRun;
    AddressList DeclinedThisRun;
    // Raised while an account is being deleted: scan requests are ignored.
    bool DeletingAccount = false;
    // Measures ElapsedSeconds; stopped while a prompt waits.
    ElapsedClock Clock;
};

// The counters of the account being scanned.
struct AccountCounters {
    std::int32_t Scanned = 0;
    std::int32_t Spam = 0;
    std::int32_t Responses = 0;
    std::int32_t Approved = 0;
    // Challenges sent in step 3; from step 4 on, post-responses sent.
    std::int32_t Sent = 0;
    std::int32_t Released = 0;
    std::int32_t Deleted = 0;
    // The size of each step's work list when the step began.
    std::int32_t ToMove = 0;
    std::int32_t ToSend = 0;
    std::int32_t ToRelease = 0;
};

// The process-wide run state and the current account's counters.
extern ScanRunState ScanState;
extern AccountCounters Counters;

// part × 100 ÷ whole with two decimals ("33.33"), rounded half away from
// zero; "0.00" when part is 0 (or whole is not positive).
std::string PercentText(std::int32_t part, std::int32_t whole);

// The scan page's statistics: scanned mail leaves out the answers to
// challenges ("8"); spam reads "4 (50.00%)".
std::string ScannedText(const ScanRunState& state);
std::string SpamText(const ScanRunState& state);
void ShowStatistics(const ScanRunState& state, ScanView& view);

// "%.2d:%.2d:%.2d" of hours, minutes and seconds (3725 gives "01:02:05";
// hours are not limited to two digits).
std::string ElapsedTimeText(std::int32_t seconds);

// Zero elapsed time, clock stopped, the status panel reading "00:00:00".
void ResetElapsedTime(ScanRunState& state, ScanView& view);
// Starts or stops the elapsed-time clock together with the view's timer.
void SetElapsedTimeRunning(ScanRunState& state, ScanView& view, bool running);
// The elapsed-time tick: takes the seconds from the clock, so late
// or coalesced ticks lose nothing, and shows them in the status panel.
void ElapsedTimeTick(ScanRunState& state, ScanView& view);
