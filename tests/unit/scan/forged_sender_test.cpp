#include "scan/forged_sender.h"

#include "mail/mail_message.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

const std::string Inner = "Received: by 2002:a05:6a10:1::1 with SMTP id x; Mon, 9 Mar 2026 10:00:02 -0700 (PDT)";
const std::string Outside = "Received: from mail.bank.example (mail.bank.example [192.0.2.1])";
const std::string ByProvider = "\tby mx.google.com with ESMTPS id y; Mon, 9 Mar 2026 10:00:01 -0700 (PDT)";
const std::string Sent = "From: Bank <service@bank.example>";

// Header blocks as a provider delivers them: its own fields on top.
TEST(ForgedSenderTest, OnlyTheReceivingSystemsFailuresCount) {
    struct Case {
        const char* name;
        Lines header;
        bool forged;
    };
    const Case cases[] = {
        {"no field", {Inner, Outside, ByProvider, Sent}, false},
        {"dmarc fail below the provider's own hops",
         {Inner, Outside, ByProvider, "Authentication-Results: mx.google.com;",
          "       spf=fail (google.com: domain of x@bank.example does not designate 192.0.2.1) "
          "smtp.mailfrom=x@bank.example;",
          "       dmarc=fail (p=NONE sp=NONE dis=NONE) header.from=bank.example", Sent},
         true},
        {"spf fail without dkim", {Inner, "Authentication-Results: mx.google.com; spf=fail", Outside, Sent}, true},
        {"spf fail, dkim pass", {"Authentication-Results: mx.google.com; spf=fail; dkim=pass", Outside, Sent}, false},
        {"softfail is no failure", {"Authentication-Results: mx.google.com; spf=softfail", Outside, Sent}, false},
        {"results split over fields of one system",
         {"Authentication-Results: MX.example.net; dkim=pass header.d=bank.example",
          "Authentication-Results: mx.example.net; spf=fail smtp.mailfrom=bank.example", Outside, Sent},
         false},
        {"provider without authserv-id",
         {Inner,
          "Authentication-Results: spf=fail (sender IP is 192.0.2.1) smtp.mailfrom=bank.example; "
          "dkim=none (message not signed) header.d=none;dmarc=fail action=none header.from=bank.example",
          Outside, Sent},
         true},
        {"sender's pass below a Received field",
         {"Authentication-Results: mx.google.com; spf=fail", Outside, ByProvider,
          "Authentication-Results: mx.google.com; dkim=pass", Sent},
         true},
        {"sender's pass under another id",
         {"Authentication-Results: mx.google.com; spf=fail", "Authentication-Results: bank.example; dkim=pass", Outside,
          Sent},
         true},
        {"sender's failure below the provider's pass",
         {"Authentication-Results: mx.google.com; dmarc=pass", Outside,
          "Authentication-Results: mx.google.com; dmarc=fail", Sent},
         false},
        {"sender's failure among the message's fields",
         {Outside, Sent, "Authentication-Results: x.example; dmarc=fail"},
         false},
    };
    for (const Case& c : cases) {
        MailMessage message;
        message.HeaderLines = c.header;
        EXPECT_EQ(IsForgedSender(message), c.forged) << c.name;
    }
}

} // namespace
