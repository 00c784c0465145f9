#include "mail/delivery_passes.h"

#include "mail/account_connection.h"

#include "platform/mail_transport_error.h"
#include "platform/message_box.h"
#include "records/account.h"
#include "records/program_settings.h"

std::unique_ptr<SmtpClient> DeliveryConnection;

namespace {

constexpr int SilentAttempts = 4;
const char* const Bullet = "\xE2\x80\xA2"; // U+2022 in UTF-8

std::string ReasonLines() {
    std::string lines;
    for (const char* reason : {"You are not connected to the internet.", "Your firewall is blocking this program.",
                               "Your ISP is having server problems.", "You have entered incorrect account settings."}) {
        if (!lines.empty())
            lines += "\r\n";
        lines += std::string(Bullet) + " " + reason;
    }
    return lines;
}

std::string ErrorExplanation(const std::string& error) {
    return "Error connecting to outgoing mail (SMTP) server: " + error + "\r\n\r\n" +
           "You may be receiving this error because:" + "\r\n\r\n" + ReasonLines() + "\r\n\r\n";
}

void TellWaiting(const DeliveryContext& context, bool waiting) {
    if (context.WaitingForUser)
        context.WaitingForUser(waiting);
}

// The reconnect question and, on No, the final error box; true for Yes.
bool AskToReconnect(const DeliveryContext& context, const std::string& error) {
    TellWaiting(context, true);
    bool again = ShowMessageBox(ErrorExplanation(error) + "Do you want to try to reconnect again? (highly recommended)",
                                "Error", MsgButtons::YesNo, MsgIcon::Warning) == MsgResult::Yes;
    if (!again)
        ShowMessageBox("Cannot send challenge emails and/or release messages to inbox.\r\n\r\n" +
                           ErrorExplanation(error) + "Please check the above.",
                       "Error", MsgButtons::Ok, MsgIcon::Error);
    TellWaiting(context, false);
    return again;
}

} // namespace

bool ConnectSmtp(int accountNumber, const DeliveryContext& context) {
    const Account& account = Accounts.Item(accountNumber - 1);
    int timeoutMs = TimeoutMilliseconds(ProgramSettings);
    DeliveryConnection = std::make_unique<SmtpClient>();
    ConfigureSmtpClient(*DeliveryConnection, account, timeoutMs);
    const auto& log = context.Log;
    for (int attempts = 1;; ++attempts) {
        log("Connecting to SMTP server.");
        std::string error;
        try {
            DeliveryConnection->Connect(timeoutMs);
            log("Successfully connected to SMTP server.");
            return true;
        } catch (const MailTransportError& failure) {
            error = failure.what();
        }
        log("Error connecting to SMTP server: " + error);
        if (attempts <= SilentAttempts)
            continue;
        if (!context.UserPresent || !AskToReconnect(context, error))
            return false;
    }
}

bool DisconnectSmtp() {
    if (!DeliveryConnection)
        return true;
    try {
        DeliveryConnection->Disconnect();
        return true;
    } catch (...) {
        return false;
    }
}

void DeliveryPasses(int accountNumber, const DeliveryContext& context, const std::function<std::size_t()>& remaining,
                    const std::function<void(SmtpClient&)>& batch) {
    // Measured from the list as given, so a first pass that delivers nothing
    // is the last one too, unless the connection broke under it.
    std::size_t previous = remaining();
    bool retriedLostConnection = false;
    for (;;) {
        if (!ConnectSmtp(accountNumber, context))
            return;
        try {
            batch(*DeliveryConnection);
        } catch (...) {
            DisconnectSmtp();
            throw;
        }
        std::size_t size = remaining();
        bool progress = size < previous;
        // A server that refuses every message gets one pass; a connection
        // that broke gets one more on a fresh one. Otherwise only a
        // shrinking list goes on, so the passes always end.
        bool retry = !progress && !DeliveryConnection->Connected() && !retriedLostConnection;
        retriedLostConnection = retriedLostConnection || retry;
        bool last = size == 0 || (!progress && !retry);
        previous = size;
        DisconnectSmtp();
        if (last)
            return;
    }
}
