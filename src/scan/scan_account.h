#pragma once

#include <functional>

class ScanView;
struct AccountWorkLists;

enum class ScanAccountResult { Completed, Failed };

// Steps 3 to 5 of an account scan for account accountNumber (from 1): what
// is done with the work lists once the POP3 session has ended (challenges,
// post-responses and releases sent over SMTP). The caller supplies them, as
// answering mail is the business of the layer above the scan.
using FollowUpSteps = std::function<void(int accountNumber, AccountWorkLists& work, ScanView& view)>;

// Scans one enabled account (accountNumber counts from 1) in five steps,
// reporting through CurrentScanView(), ScanState and Counters:
//   1. connect to the POP3 mailbox, read every header with TOP, record it
//      in the account's ScannedHeaders and let ClassifyMessage decide; the
//      quarantine index is saved after every message; Cancel
//      (ScanState.AbortRequested) stops before the next message;
//   2. mark the quarantined messages and the answers for deletion, flush the
//      quarantine files and the index to disk, then QUIT so the server
//      deletes them;
//   3-5. followUpSteps: send the challenges and post-responses and release
//      approved mail.
// Failed: connecting, logging in or STAT failed (nothing else happens), or a
// header could not be read (steps 2 to 5 still run for the messages already
// handled). A session that breaks before QUIT deletes nothing. The work
// lists are emptied at the end whatever happened. Errors other than
// MailTransportError (a data folder that cannot be created, sender lists
// that cannot be written) are passed on after that cleanup.
ScanAccountResult ScanAccount(int accountNumber, const FollowUpSteps& followUpSteps);
