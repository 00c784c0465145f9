// The mail layer against real servers: Dovecot (POP3) and Postfix (SMTP)
// started on loopback by mail_servers.sh, which hands over their ports and
// folders in the file named by QUORVANE_MAIL_SERVERS. Each test works in a
// mailbox of its own.

#include "real_mail_servers.h"

#include "mail/mail_message.h"
#include "mail/pop3_session.h"
#include "mail/smtp_client.h"
#include "platform/mail_transport_error.h"
#include "platform/tcp_socket.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <thread>

#include <unistd.h>

namespace {

using Lines = std::vector<std::string>;

// Writes a message straight into the user's Maildir the way a delivery
// agent does: tmp/ first, then new/, with the size hints Dovecot trusts
// (S= the file's size, W= the size with CR LF line ends).
void Seed(const std::string& user, const Lines& header, const Lines& body, int sequence) {
    std::string text;
    for (const std::string& line : header)
        text += line + "\n";
    text += "\n";
    for (const std::string& line : body)
        text += line + "\n";
    std::size_t lines = header.size() + 1 + body.size();
    std::string folder = Servers()["MAILDIR_ROOT"] + "/" + user;
    std::string name = std::to_string(1700000000 + sequence) + ".M" + std::to_string(sequence) + "P" +
                       std::to_string(::getpid()) + ".seed,S=" + std::to_string(text.size()) +
                       ",W=" + std::to_string(text.size() + lines);
    std::string temporary = folder + "/tmp/" + name;
    {
        std::ofstream out(temporary, std::ios::binary);
        out << text;
        ASSERT_TRUE(out.good()) << temporary;
    }
    ASSERT_EQ(::chown(temporary.c_str(), Servers().Number("MAIL_UID"), Servers().Number("MAIL_GID")), 0);
    ASSERT_EQ(std::rename(temporary.c_str(), (folder + "/new/" + name).c_str()), 0);
}

// Postfix puts its trace fields above the header it received; the rest
// must be the header as sent.
Lines WithoutTraceFields(const Lines& header) {
    static const std::set<std::string> trace = {"Return-Path", "X-Original-To", "Delivered-To", "Received"};
    std::size_t first = 0;
    while (first < header.size()) {
        const std::string& line = header[first];
        bool continuation = !line.empty() && (line[0] == ' ' || line[0] == '\t');
        if (!continuation && !trace.count(line.substr(0, line.find(':'))))
            break;
        ++first;
    }
    return Lines(header.begin() + static_cast<long>(first), header.end());
}

Lines LinesOf(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

const Lines FirstHeader = {
    "From: =?ISO-8859-1?Q?J=FCrgen?= <juergen@example.org>",
    "To: alice@example.test",
    "Subject: Gr\xC3\xBC\xC3\x9F"
    "e aus K\xC3\xB6ln",
    "Date: Mon, 4 Mar 2024 10:15:00 +0100",
    "Message-ID: <first@example.org>",
    "X-Folded: one",
    "\tand two",
};
const Lines FirstBody = {
    "Hallo,", ".", ".a line that begins with a dot", "..two dots", "", "\xC3\x84\xC3\x96\xC3\x9C \xE2\x82\xAC", "end",
};
const Lines SecondHeader = {"From: bob@example.org", "Subject: second", "Message-ID: <second@example.org>"};
const Lines SecondBody = {"short"};

TEST(RealPop3Server, TopAndRetrReadSeededMessagesExactly) {
    REQUIRE_MAIL_SERVERS();
    Seed("alice", FirstHeader, FirstBody, 1);
    Seed("alice", SecondHeader, SecondBody, 2);
    Pop3Session session(Pop3For("alice"));
    session.Connect();
    ASSERT_EQ(session.CountMessages(), 2);
    const std::pair<Lines, Lines> expected[] = {{FirstHeader, FirstBody}, {SecondHeader, SecondBody}};
    for (int number = 1; number <= 2; ++number) {
        const auto& [header, body] = expected[number - 1];
        MailMessage top;
        top.RawRead = top.RawWrite = true;
        ASSERT_TRUE(session.RetrieveHeader(number, top));
        EXPECT_EQ(top.HeaderLines, header) << number;
        EXPECT_TRUE(top.BodyLines.empty());
        MailMessage whole;
        whole.RawRead = whole.RawWrite = true;
        ASSERT_TRUE(session.RetrieveMessage(number, whole));
        EXPECT_EQ(whole.HeaderLines, header) << number;
        EXPECT_EQ(whole.BodyLines, body) << number;
    }
    MailMessage missing;
    EXPECT_FALSE(session.RetrieveMessage(3, missing));
    session.Disconnect();
}

TEST(RealPop3Server, DeletionsTakeEffectAfterQuitAndNotWhenTheSessionBreaks) {
    REQUIRE_MAIL_SERVERS();
    for (int i = 1; i <= 3; ++i)
        Seed("bob", {"From: x@example.org", "Subject: number " + std::to_string(i)}, {"body"}, 10 + i);
    {
        Pop3Session broken(Pop3For("bob"));
        broken.Connect();
        ASSERT_EQ(broken.CountMessages(), 3);
        broken.DeleteMessage(1);
        broken.DeleteMessage(2);
        // Destroyed without Disconnect: the connection just drops.
    }
    EXPECT_EQ(CountOf("bob"), 3);
    {
        Pop3Session committed(Pop3For("bob"));
        committed.Connect();
        committed.DeleteMessage(1);
        committed.DeleteMessage(3);
        committed.Disconnect();
    }
    ASSERT_EQ(WaitForCount("bob", 1), 1);
    Pop3Session check(Pop3For("bob"));
    check.Connect();
    MailMessage header;
    check.RetrieveHeader(1, header);
    EXPECT_EQ(header.Subject, "number 2");
}

// Connects a client that logs in as user with AUTH LOGIN.
void ConnectSmtpAs(SmtpClient& client, const std::string& user, SmtpAuthentication auth = SmtpAuthentication::Login) {
    client.Host = "127.0.0.1";
    client.Port = Servers().Number("SMTP_PORT");
    client.ReadTimeout = 20000;
    client.Username = user;
    client.Password = Servers()["PASSWORD"];
    client.Authentication = auth;
    client.Connect(20000);
}

// Reads the one message of user's mailbox once it has arrived.
void ReadDelivered(const std::string& user, MailMessage& message) {
    ASSERT_EQ(WaitForCount(user, 1), 1);
    Pop3Session session(Pop3For(user));
    session.Connect();
    message.RawRead = message.RawWrite = true;
    ASSERT_TRUE(session.RetrieveMessage(1, message));
    session.Disconnect();
}

TEST(RealSmtpServer, RawMessageWithNullSenderArrivesByteForByte) {
    REQUIRE_MAIL_SERVERS();
    MailMessage sent;
    sent.RawRead = sent.RawWrite = true;
    sent.HeaderLines = {"From: Quarantined Sender <sender@example.org>",
                        "To: carol@example.test",
                        "Subject: r\xC3\xA9sum\xC3\xA9 \xE2\x80\x94 8-bit",
                        "Message-ID: <raw@example.org>",
                        "X-Long: a",
                        " folded continuation"};
    sent.BodyLines = {"First line", ".", ".leading dot", "..", "", "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F", "last line"};
    SmtpClient client;
    ConnectSmtpAs(client, "carol");
    EXPECT_TRUE(std::find(client.AnnouncedMechanisms().begin(), client.AnnouncedMechanisms().end(), "LOGIN") !=
                client.AnnouncedMechanisms().end());
    client.EnvelopeFrom = "";
    client.EnvelopeTo = AddressOf("carol");
    client.SendWithEnvelope(sent);
    EXPECT_TRUE(client.Authenticated());
    client.Disconnect();

    MailMessage received;
    ReadDelivered("carol", received);
    EXPECT_EQ(WithoutTraceFields(received.HeaderLines), sent.HeaderLines);
    EXPECT_EQ(received.BodyLines, sent.BodyLines);
    // The null reverse-path reached the mailbox as such.
    EXPECT_EQ(received.HeaderValue("Return-Path"), "<>");
}

TEST(RealSmtpServer, ComposedMessageArrivesAsWritten) {
    REQUIRE_MAIL_SERVERS();
    MailMessage sent;
    sent.From = {"Quorvane Owner", "owner@example.org"};
    sent.To = {{"", AddressOf("dave")}};
    sent.Subject = "Re: Gr\xC3\xBC\xC3\x9F"
                   "e  [challenge]";
    sent.Date = 45000.5;
    sent.Priority = 0;
    sent.ContentType = "text/plain; charset=\"utf-8\"";
    sent.ContentTransferEncoding = "8bit";
    sent.BodyLines = {"Please answer this message.", ".", "Danke \xE2\x80\x94 thank you."};
    sent.ExtraHeaders = {"Precedence: auto_reply"};
    SmtpClient client;
    ConnectSmtpAs(client, "dave");
    client.MailAgent = "Quorvane";
    client.EnvelopeTo = AddressOf("dave");
    client.SendWithEnvelope(sent);
    client.Disconnect();
    // What the client wrote, X-Mailer included.
    std::string written;
    sent.WriteTo(written);
    Lines writtenLines = LinesOf(written);
    auto blank = std::find(writtenLines.begin(), writtenLines.end(), "");
    ASSERT_NE(blank, writtenLines.end());
    Lines header(writtenLines.begin(), blank);
    Lines body(blank + 1, writtenLines.end());
    // A composed header, not the (empty) stored one.
    for (const char* field : {"From: ", "Subject: ", "To: ", "Date: ", "X-Mailer: Quorvane", "Precedence: auto_reply"})
        EXPECT_TRUE(std::any_of(header.begin(), header.end(), [&](const std::string& line) {
            return line.rfind(field, 0) == 0;
        })) << field;
    for (std::string& line : body) {
        if (line.rfind("..", 0) == 0)
            line.erase(0, 1);
    }

    MailMessage received;
    ReadDelivered("dave", received);
    EXPECT_EQ(WithoutTraceFields(received.HeaderLines), header);
    EXPECT_EQ(received.BodyLines, body);
}

TEST(RealSmtpServer, RelayingWithoutAuthenticationIsRefused) {
    REQUIRE_MAIL_SERVERS();
    // Proves that the deliveries above went through because AUTH LOGIN worked.
    SmtpClient client;
    ConnectSmtpAs(client, "erin", SmtpAuthentication::None);
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    message.HeaderLines = {"Subject: unauthenticated"};
    message.BodyLines = {"x"};
    client.EnvelopeTo = AddressOf("erin");
    try {
        client.SendWithEnvelope(message);
        ADD_FAILURE() << "the server relayed for an unauthenticated client";
    } catch (const MailTransportError& error) {
        EXPECT_NE(std::string(error.what()).find("Access denied"), std::string::npos) << error.what();
    }
    client.Disconnect();
}

// Postfix's SMTPS ports with certificates that cannot be trusted: each is
// refused with OpenSSL's reason before a command is sent, so no password.
TEST(RealSmtpServer, UntrustedCertificatesAreRefusedBeforeAnyCommand) {
    REQUIRE_MAIL_SERVERS();
    TrustServersCa trust;
    struct Case {
        std::string host, portKey, reason;
    };
    const Case cases[] = {
        {"localhost", "SMTPS_PORT", "hostname mismatch"}, // the certificate names 127.0.0.1 only
        {"127.0.0.1", "SMTPS_EXPIRED_PORT", "certificate has expired"},
        {"127.0.0.1", "SMTPS_UNKNOWN_CA_PORT", "unable to get local issuer certificate"},
    };
    for (const Case& c : cases) {
        Lines sent;
        SetProtocolTranscript([&](const std::string& line) {
            if (line.rfind("C: ", 0) == 0)
                sent.push_back(line);
        });
        SmtpClient client;
        client.Host = c.host;
        client.Port = Servers().Number(c.portKey);
        client.Security = ConnectionSecurity::Tls;
        client.Username = "erin";
        client.Password = Servers()["PASSWORD"];
        client.Authentication = SmtpAuthentication::Login;
        try {
            client.Connect(20000);
            ADD_FAILURE() << c.portKey << ": the certificate was accepted";
        } catch (const MailTransportError& error) {
            EXPECT_EQ(std::string(error.what()), "certificate verify failed: " + c.reason) << c.portKey;
        }
        SetProtocolTranscript(nullptr);
        EXPECT_TRUE(sent.empty()) << c.portKey << ::testing::PrintToString(sent);
    }
}

} // namespace
