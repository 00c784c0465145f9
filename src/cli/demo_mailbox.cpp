#include "cli/demo_mailbox.h"

#include "mail/mail_date.h"

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A plain message with the usual header of a message that crossed the net.
std::string Message(const std::string& from, const std::string& to, const std::string& subject, SerialDateTime date,
                    const std::string& id, const std::vector<std::string>& extraHeader,
                    const std::vector<std::string>& body) {
    std::vector<std::string> lines = {"Received: from mail.example by mx.quorvane-demo.test; " + FormatMailDate(date),
                                      "Message-ID: <" + id + ">",
                                      "Date: " + FormatMailDate(date),
                                      "From: " + from,
                                      "To: " + to,
                                      "Subject: " + subject,
                                      "MIME-Version: 1.0"};
    lines.insert(lines.end(), extraHeader.begin(), extraHeader.end());
    lines.push_back("");
    lines.insert(lines.end(), body.begin(), body.end());
    return Lines(lines);
}

} // namespace

std::vector<DemoMail> DemoMailbox(SerialDateTime now) {
    const std::string me = std::string("Me <") + DemoAccountAddress + ">";
    const SerialDateTime minute = 1.0 / (24 * 60);
    const std::string plain = "Content-Type: text/plain; charset=us-ascii";
    return {
        {DemoApprovedSender,
         Message(std::string("Frank Friend <") + DemoApprovedSender + ">", me, "Lunch on Friday?", now - 50 * minute,
                 "lunch.1@partner.example", {plain},
                 {"Hi,", "", "shall we meet for lunch on Friday at noon?", "", "Frank"}),
         "an approved sender: stays on the server"},
        {DemoAnsweringSender,
         Message(std::string("Ann Archer <") + DemoAnsweringSender + ">", me, "Question about the bicycle",
                 now - 40 * minute, "bicycle.7@outside.test", {plain},
                 {"Hello,", "", "is the blue bicycle still available? I could pick it up on Saturday.", "",
                  "Best regards,", "Ann"}),
         "an unknown sender: quarantined and challenged"},
        {DemoSilentSender,
         Message(std::string("Bob Baker <") + DemoSilentSender + ">", me, "Notes from Tuesday", now - 30 * minute,
                 "notes.3@elsewhere.test", {plain}, {"Here are my notes from Tuesday's meeting.", "", "Bob"}),
         "an unknown sender: quarantined and challenged"},
        {"bounces@lists.example.org",
         Message("Weekly Garden News <news@lists.example.org>", me, "Garden News: pruning roses", now - 20 * minute,
                 "issue.42@lists.example.org",
                 {plain, "Precedence: bulk", "List-Id: Garden News <garden.lists.example.org>",
                  "List-Unsubscribe: <mailto:leave@lists.example.org>"},
                 {"This week: how to prune roses before winter.", "", "-- ", "Garden News, issue 42"}),
         "a mailing list: quarantined as possible automated mail, never challenged"},
        {"parcel@couriers.example.net",
         Message("Parcel Desk <parcel@couriers.example.net>", me, "Your parcel could not be delivered",
                 now - 10 * minute, "parcel.99@couriers.example.net",
                 {"Content-Type: multipart/mixed; boundary=\"demo-boundary\""},
                 {"This is a multi-part message in MIME format.", "", "--demo-boundary", plain, "",
                  "Please open the attached label to arrange a new delivery.", "", "--demo-boundary",
                  "Content-Type: application/octet-stream; name=\"label.pif\"",
                  "Content-Disposition: attachment; filename=\"label.pif\"", "Content-Transfer-Encoding: base64", "",
                  "TVqQAAMAAAAEAAAA//8AALgAAAAAAAAAQAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", "--demo-boundary--"}),
         "a program attachment: quarantined as a possible virus, never challenged"},
        {"winner@lottery.example.biz",
         Message("Prize Office <winner@lottery.example.biz>", "undisclosed-recipients:;", "You have WON 1,000,000 !!!",
                 now - 5 * minute, "prize.1@lottery.example.biz", {plain},
                 {"Congratulations! Send your bank details to claim your prize."}),
         "not addressed to the account: quarantined as obvious spam, never challenged"},
    };
}
