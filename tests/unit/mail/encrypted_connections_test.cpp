// POP3 and SMTP over TLS against the loopback servers, with certificates of
// a test CA: both ways of starting TLS, certificates that must be refused
// before any password leaves, servers that cannot encrypt, and the POP3
// pipeline.

#include "mail/mail_message.h"
#include "mail/pop3_session.h"
#include "mail/smtp_client.h"
#include "support/fake_pop3_server.h"
#include "support/fake_smtp_server.h"
#include "support/loopback_server.h"
#include "support/test_certificates.h"
#include "support/transport_errors.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Lines = std::vector<std::string>;

const std::string Message = "From: ann@example.com\r\nSubject: hello\r\n\r\nBody.\r\n";

ServerTls Valid() {
    return {Certificates().ServerCertificate, Certificates().ServerKey};
}

Pop3Settings Pop3To(const FakePop3Server& server, ConnectionSecurity security, const std::string& host = "localhost") {
    Pop3Settings settings{host, server.Port(), FakePop3Server::User, FakePop3Server::Password, 10000};
    settings.Security = security;
    return settings;
}

void ConfigureSmtp(SmtpClient& client, const FakeSmtpServer& server, ConnectionSecurity security) {
    client.Host = "localhost";
    client.Port = server.Port();
    client.ReadTimeout = 10000;
    client.HeloName = "client.example";
    client.Username = "user";
    client.Password = "secret";
    client.Authentication = SmtpAuthentication::Login;
    client.Security = security;
    client.EnvelopeTo = "me@example.com";
}

bool Has(const Lines& lines, const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

TEST(EncryptedConnections, Pop3OverImplicitTlsAndStls) {
    TrustTestCa trust;
    for (bool implicit : {true, false}) {
        FakePop3Server server({Message});
        server.UseTls(Valid(), implicit);
        Pop3Session session(Pop3To(server, implicit ? ConnectionSecurity::Tls : ConnectionSecurity::StartTls));
        session.Connect();
        ASSERT_EQ(session.CountMessages(), 1);
        MailMessage header;
        session.RetrieveHeader(1, header);
        EXPECT_EQ(header.Subject, "hello");
        session.DeleteMessage(1);
        session.Disconnect();
        server.Stop();
        EXPECT_TRUE(server.Mailbox().empty());
        Lines expected = {"USER user", "PASS secret", "CAPA", "STAT", "TOP 1 0", "DELE 1", "QUIT"};
        if (!implicit)
            expected.insert(expected.begin(), {"CAPA", "STLS"});
        EXPECT_EQ(server.Commands(), expected) << implicit;
    }
}

TEST(EncryptedConnections, SmtpOverImplicitTlsAndStartTls) {
    TrustTestCa trust;
    for (bool implicit : {true, false}) {
        FakeSmtpOptions options;
        options.Tls = Valid();
        options.ImplicitTls = implicit;
        FakeSmtpServer server(options);
        SmtpClient client;
        ConfigureSmtp(client, server, implicit ? ConnectionSecurity::Tls : ConnectionSecurity::StartTls);
        client.Connect(10000);
        MailMessage message;
        message.RawRead = message.RawWrite = true;
        message.ReadFromText(Message);
        client.SendWithEnvelope(message);
        client.Disconnect();
        server.Stop();
        ASSERT_EQ(server.Messages().size(), 1u) << implicit;
        Lines expected = {"EHLO client.example",
                          "RSET",
                          "AUTH PLAIN AHVzZXIAc2VjcmV0",
                          "MAIL FROM:<>",
                          "RCPT TO:<me@example.com>",
                          "DATA",
                          "QUIT"};
        if (!implicit)
            expected.insert(expected.begin(), {"EHLO client.example", "STARTTLS"});
        EXPECT_EQ(server.Commands(), expected) << implicit;
    }
}

// A certificate that fails is refused with its reason before the login,
// so no password ever reaches such a server.
TEST(EncryptedConnections, CertificatesThatFailAreRefusedBeforeTheLogin) {
    TrustTestCa trust;
    const TestCertificates& files = Certificates();
    struct Case {
        ServerTls tls;
        std::string host;
        std::string error;
    };
    const Case cases[] = {
        {{files.WrongNameCertificate, files.WrongNameKey}, "localhost", "certificate verify failed: hostname mismatch"},
        {{files.WrongNameCertificate, files.WrongNameKey},
         "127.0.0.1",
         "certificate verify failed: IP address mismatch"},
        {{files.ExpiredCertificate, files.ExpiredKey},
         "localhost",
         "certificate verify failed: certificate has expired"},
        {{files.UnknownCaCertificate, files.UnknownCaKey},
         "localhost",
         "certificate verify failed: unable to get local issuer certificate"},
    };
    for (const Case& c : cases) {
        for (bool implicit : {true, false}) {
            FakePop3Server pop3({Message});
            pop3.UseTls(c.tls, implicit);
            Pop3Session session(
                Pop3To(pop3, implicit ? ConnectionSecurity::Tls : ConnectionSecurity::StartTls, c.host));
            EXPECT_EQ(ErrorOf([&] { session.Connect(); }), c.error) << c.host << " " << implicit;
            pop3.Stop();
            EXPECT_FALSE(Has(pop3.Commands(), "PASS")) << c.error;

            FakeSmtpOptions options;
            options.Tls = c.tls;
            options.ImplicitTls = implicit;
            FakeSmtpServer smtp(options);
            SmtpClient client;
            ConfigureSmtp(client, smtp, implicit ? ConnectionSecurity::Tls : ConnectionSecurity::StartTls);
            client.Host = c.host;
            EXPECT_EQ(ErrorOf([&] { client.Connect(10000); }), c.error) << c.host << " " << implicit;
            smtp.Stop();
            EXPECT_FALSE(Has(smtp.Commands(), "AUTH")) << c.error;
        }
    }
}

// Asked to upgrade, a server that cannot is left before anything secret is
// said: never a quiet fall-back to clear text.
TEST(EncryptedConnections, AServerThatCannotUpgradeIsRefused) {
    FakePop3Server pop3({Message});
    pop3.Announce({"TOP", "UIDL"});
    Pop3Session session(Pop3To(pop3, ConnectionSecurity::StartTls));
    EXPECT_EQ(ErrorOf([&] { session.Connect(); }), "The POP3 server does not offer STLS.");
    pop3.Stop();
    EXPECT_EQ(pop3.Commands(), Lines{"CAPA"});

    FakeSmtpServer smtp;
    SmtpClient client;
    ConfigureSmtp(client, smtp, ConnectionSecurity::StartTls);
    EXPECT_EQ(ErrorOf([&] { client.Connect(10000); }), "The SMTP server does not offer STARTTLS.");
    EXPECT_FALSE(client.Connected());
    smtp.Stop();
    EXPECT_EQ(smtp.Commands(), Lines{"EHLO client.example"});
}

// With PIPELINING the TOP commands go out ahead in a bounded window, and RETR
// and DELE join the queue; the session hands back the same results in the
// same order as one command at a time.
TEST(EncryptedConnections, PipeliningKeepsAWindowInFlightAndTheOrder) {
    std::vector<std::string> messages;
    for (int i = 1; i <= 40; ++i)
        messages.push_back("From: s" + std::to_string(i) + "@example.com\r\nSubject: m" + std::to_string(i) +
                           "\r\n\r\nBody " + std::to_string(i) + ".\r\n");
    FakePop3Server server(messages);
    server.Announce({"TOP", "PIPELINING"});
    Pop3Session session(Pop3To(server, ConnectionSecurity::None, "127.0.0.1"));
    session.Connect();
    ASSERT_TRUE(session.Pipelining());
    int count = session.CountMessages();
    session.ReadAhead(count);
    std::vector<int> quarantined;
    for (int n = 1; n <= count; ++n) {
        MailMessage header;
        session.RetrieveHeader(n, header);
        EXPECT_EQ(header.Subject, "m" + std::to_string(n));
        if (n % 3 == 0) {
            MailMessage whole;
            ASSERT_TRUE(session.RetrieveMessage(n, whole));
            EXPECT_EQ(whole.BodyLines, Lines{"Body " + std::to_string(n) + "."});
            quarantined.push_back(n);
        }
    }
    std::vector<int> deleted;
    session.DeleteMessages(quarantined, [&](int n, const std::string& error) {
        EXPECT_EQ(error, "");
        deleted.push_back(n);
    });
    EXPECT_EQ(deleted, quarantined);
    session.Disconnect();
    server.Stop();
    EXPECT_EQ(server.Mailbox().size(), 40u - quarantined.size());
    Lines commands = server.Commands();
    // The first header came after the whole window had been asked for.
    ASSERT_GE(commands.size(), 36u);
    EXPECT_EQ(Lines(commands.begin() + 4, commands.begin() + 6), (Lines{"TOP 1 0", "TOP 2 0"}));
    // Each header taken makes room for one more: RETR 3 follows the window
    // and the two TOP commands sent as headers 2 and 3 were taken.
    auto firstRetr = std::find(commands.begin(), commands.end(), "RETR 3");
    EXPECT_EQ(firstRetr - commands.begin(), 4 + static_cast<long>(Pop3Session::Window) + 2);
}

// Writing into an encrypted connection the server has closed fails that
// connection with an error and leaves it closed.
TEST(EncryptedConnections, AServerGoneMidWriteFailsTheConnection) {
    TrustTestCa trust;
    LoopbackServer server([](ServerConnection& connection) {
        if (connection.StartTls(Valid()))
            connection.Close();
    });
    TcpSocket socket;
    socket.SetReadTimeout(10000);
    socket.Connect("localhost", server.Port(), 10000);
    socket.StartTls("localhost");
    std::string error = ErrorOf([&] {
        for (int i = 0; i < 1000; ++i)
            socket.Write(std::string(16384, 'x'));
    });
    EXPECT_NE(error, "(no error)");
    EXPECT_FALSE(socket.Connected());
}

} // namespace
