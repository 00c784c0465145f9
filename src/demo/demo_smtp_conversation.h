#pragma once

#include "demo/demo_mail_store.h"

#include <string>
#include <vector>

// The server side of one SMTP conversation (RFC 5321) over a DemoMailStore:
// EHLO, HELO, MAIL, RCPT, DATA, RSET, NOOP and QUIT, no authentication. Any
// recipient whose address can name a mailbox is accepted, so challenges to
// outside senders land in mailboxes of their own. A message is stored for
// each recipient when its "." arrives.
class DemoSmtpConversation {
public:
    explicit DemoSmtpConversation(DemoMailStore& store) : m_store(store) {}

    std::string Greeting() const { return "220 demo.quorvane.test ESMTP Quorvane demo service\r\n"; }
    // Answers one line (without its CR LF); inside DATA, lines are taken
    // until "." and answered with nothing until then.
    std::string OnLine(const std::string& line);
    bool Finished() const { return m_finished; }

    // Longest message accepted, in bytes.
    static constexpr size_t MaximumMessageSize = 32 * 1024 * 1024;

private:
    std::string Command(const std::string& line);
    std::string EndOfData();
    void Reset();

    DemoMailStore& m_store;
    bool m_greeted = false;
    bool m_inData = false;
    bool m_tooLarge = false;
    bool m_finished = false;
    bool m_haveSender = false;
    std::string m_sender;
    std::vector<std::string> m_recipients;
    std::string m_data;
};
