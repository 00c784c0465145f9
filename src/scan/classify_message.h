#pragma once

#include <string>

class MailMessage;
class Pop3Session;
class ScanView;
struct AccountWorkLists;

// The mail domain of the product's maker: mail from it (or a sub-domain)
// stays on the server.
inline constexpr char MakerMailDomain[] = "belvantis.com";

// True when the address's domain is MakerMailDomain or one of its
// sub-domains, in any letter case.
bool IsMakerMail(const std::string& address);

// The prompt's subject line: the subject without its last space, the
// character before it and everything after it ("Re: hello  [tarvo:..]"
// gives "Re: hello"); without a space, the subject without its last
// character.
std::string PromptSubject(const std::string& subject);

// Decides about message messageNumber of account accountIndex (from 0),
// whose header has just been read into header (raw, fields parsed) and whose
// header record is in the account's ScannedHeaders. The first check that applies
// decides:
//   1. approved sender (Reply-To or From on ApprovedSenders): kept;
//   2. a mail-system notice when ApproveMailerDaemonPostmaster is on: kept;
//   3. mail from the maker's domain: kept;
//   4. an answer to a challenge (a tagged subject on mail MayBeAnswer
//      accepts): kept in the header record but put on the
//      delete list; the approval is decided (lists, NoAskApprove, this
//      run's decisions, else the approve prompt with the elapsed-time clock
//      stopped), and when approved a post-response is queued and the
//      sender's quarantined mail listed for release;
//   5. anything else is downloaded with RETR, saved as a new quarantine file,
//      reloaded decoded, categorised ("Obvious Spam" for a forged sender
//      when SkipForgedSenders is on, else by the heuristics), entered in the
//      index (which is saved at once), put on the delete list and, for
//      "Challenged Mail", its answer address on the challenge list unless
//      NoChallenge is set, RecentRecipients already holds it 5 times or
//      AutoReplyRefusal refuses it (logged).
// A failed download leaves the message on the server silently; a failure
// to save, reload, categorise or record it is logged as "Error save message
// to file: " and leaves it on the server, with nothing of it kept locally.
// No message is put on the delete list before its file and index entry are
// saved. Nothing is raised.
void ClassifyMessage(int accountIndex, int messageNumber, const MailMessage& header, Pop3Session& session,
                     AccountWorkLists& work, ScanView& view);
