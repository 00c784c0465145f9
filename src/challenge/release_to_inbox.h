#pragma once

#include "scan/work_lists.h"

class SmtpClient;

// Puts quarantined messages back into the user's mailbox by sending each
// stored file, unchanged but for its first "Delivered-To" line, through the
// connected smtpClient from the account's EffectiveAddress to its
// ReplyAddress (or the EffectiveAddress when that is empty).
//
// Works on the entries of account accountIndex (from 0) whose ids are in
// idList, in index order. A message sent counts in Counters.Released and,
// unless skipApprove, approves its sender and first Reply-To address
// (ApprovedSenders; addresses holding wildcard characters are not added, as they
// would act as masks). Afterwards the released entries' files and index
// entries are deleted, the index saved, their ids removed from idList, and
// the sender lists saved. Entries that failed, and ids naming no entry,
// stay. Failures to load or send are logged (and shown in a box when
// showErrorBoxes); any other error is raised after the messages already
// sent have been removed from the quarantine, so none is sent twice.
// Returns true when idList is empty afterwards.
bool ReleaseToInbox(int accountIndex, ReleaseIdSet& idList, bool showErrorBoxes, SmtpClient& smtpClient,
                    bool skipApprove);
