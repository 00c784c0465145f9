#pragma once

#include "mail/smtp_client.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// SMTP delivery for one account, as every sender of a batch of messages
// uses it (challenges, post-responses, releases).

// What a delivery needs from the operation it serves, which the mail layer
// knows nothing else of.
struct DeliveryContext {
    // The operation's log, which the caller has started.
    std::function<void(const std::string& line)> Log;
    // False when nobody is there to answer a question (an unattended scan).
    bool UserPresent = true;
    // Called with true before the reconnect question and with false after
    // its last box, so that the caller's elapsed time can stand still while
    // the user decides. May be empty.
    std::function<void(bool waiting)> WaitingForUser;
};

// The current SMTP client of the process; each ConnectSmtp makes a new one.
extern std::unique_ptr<SmtpClient> DeliveryConnection;

// Configures a new DeliveryConnection from account accountNumber (counted from 1)
// and the Timeout setting, and connects. Four failed attempts are retried
// at once and silently; from the fifth on, every failure asks the user
// whether to try again (without a user present: returns false without a
// box), and No shows the final error box. Each attempt logs
// "Connecting to SMTP server." and its outcome. True when connected.
// Only MailTransportError is handled; std::out_of_range for a bad number.
bool ConnectSmtp(int accountNumber, const DeliveryContext& context);

// Disconnects the DeliveryConnection; false when anything failed (the failure is
// otherwise ignored).
bool DisconnectSmtp();

// Runs batch over a list with a fresh connection per pass, for as long as
// each pass makes the list shorter and something is left: connect (stop
// when that fails), batch (which removes what it delivered), disconnect.
// A pass without progress whose connection broke (dropped, or closed by a
// 421 reply) is followed by one more pass.
// remaining tells the list's size. An exception from the batch ends the
// passes after the connection is closed, and is passed on.
void DeliveryPasses(int accountNumber, const DeliveryContext& context, const std::function<std::size_t()>& remaining,
                    const std::function<void(SmtpClient&)>& batch);

// The same for a list with size(); batch(list, client).
template <typename List, typename Batch>
void DeliveryPasses(int accountNumber, const DeliveryContext& context, List& list, Batch batch) {
    DeliveryPasses(
        accountNumber, context, [&list] { return static_cast<std::size_t>(list.size()); },
        [&](SmtpClient& client) { batch(list, client); });
}
