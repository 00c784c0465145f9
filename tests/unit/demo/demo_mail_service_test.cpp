#include "demo/demo_mail_service.h"
#include "demo/demo_smtp_conversation.h"

#include "mail/mail_message.h"
#include "mail/pop3_session.h"
#include "mail/smtp_client.h"
#include "platform/mail_transport_error.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

const std::vector<DemoMailUser> Users = {{"me", "secret", "me@demo.test"}};

// Drives a conversation line by line and returns every reply joined.
template <typename Conversation> std::string Talk(Conversation& conversation, const std::vector<std::string>& lines) {
    std::string replies;
    for (const std::string& line : lines)
        replies += conversation.OnLine(line);
    return replies;
}

TEST(DemoMailStore, MailboxNamesCannotLeaveTheStore) {
    EXPECT_EQ(DemoMailStore::MailboxOf("Me@Demo.TEST"), "me@demo.test");
    EXPECT_EQ(DemoMailStore::MailboxOf("../etc@x"), "");
    EXPECT_EQ(DemoMailStore::MailboxOf("a/b@x"), "");
    EXPECT_EQ(DemoMailStore::MailboxOf(""), "");
}

TEST(DemoSmtpConversation, StoresEachRecipientsCopyUnstuffed) {
    TempFolder folder;
    DemoMailStore store(folder.Path());
    DemoSmtpConversation smtp(store);
    std::string replies = Talk(smtp, {"EHLO client", "MAIL FROM:<>", "RCPT TO:<Ann@Outside.test>", "RCPT TO:<../x@y>",
                                      "DATA", "Subject: hi", "", "..dot", "body", "."});
    EXPECT_NE(replies.find("550 5.1.1"), std::string::npos);
    EXPECT_NE(replies.find("250 2.0.0 Ok: delivered"), std::string::npos);
    std::vector<std::string> names = store.MessageNames("ann@outside.test");
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(store.Read("ann@outside.test", names[0]),
              "Return-Path: <>\r\nDelivered-To: ann@outside.test\r\nSubject: hi\r\n\r\n.dot\r\nbody\r\n");
}

TEST(DemoSmtpConversation, RefusesOutOfOrderCommands) {
    TempFolder folder;
    DemoMailStore store(folder.Path());
    DemoSmtpConversation smtp(store);
    EXPECT_EQ(smtp.OnLine("MAIL FROM:<a@b>").substr(0, 3), "503");
    smtp.OnLine("HELO x");
    EXPECT_EQ(smtp.OnLine("RCPT TO:<a@b>").substr(0, 3), "503");
    EXPECT_EQ(smtp.OnLine("DATA").substr(0, 3), "503");
    EXPECT_EQ(smtp.OnLine("MAIL FROM:a@b").substr(0, 3), "501");
}

TEST(DemoPop3Conversation, DeletesOnlyAtQuit) {
    TempFolder folder;
    DemoMailStore store(folder.Path());
    store.Deliver("a@b.test", "me@demo.test", "Subject: one\r\n\r\nfirst\r\n");
    store.Deliver("a@b.test", "me@demo.test", "Subject: two\r\n\r\n.leading dot\r\n");
    {
        DemoPop3Conversation pop3(store, Users);
        EXPECT_EQ(pop3.OnLine("USER me"), "+OK send your password\r\n");
        EXPECT_EQ(pop3.OnLine("PASS wrong"), "-ERR authentication failed\r\n");
        EXPECT_EQ(pop3.OnLine("STAT").substr(0, 4), "-ERR");
        Talk(pop3, {"USER me", "PASS secret"});
        EXPECT_EQ(pop3.OnLine("RETR 2"),
                  "+OK message follows\r\nReturn-Path: <a@b.test>\r\nDelivered-To: me@demo.test\r\nSubject: "
                  "two\r\n\r\n..leading dot\r\n.\r\n");
        EXPECT_EQ(pop3.OnLine("TOP 1 0"), "+OK top of message follows\r\nReturn-Path: <a@b.test>\r\nDelivered-To: "
                                          "me@demo.test\r\nSubject: one\r\n\r\n.\r\n");
        EXPECT_EQ(pop3.OnLine("DELE 1"), "+OK marked\r\n");
        EXPECT_EQ(pop3.OnLine("RETR 1"), "-ERR no such message\r\n");
        EXPECT_EQ(pop3.OnLine("DELE 3"), "-ERR no such message\r\n");
        // The connection drops here, without QUIT.
    }
    EXPECT_EQ(store.MessageNames("me@demo.test").size(), 2u);
    DemoPop3Conversation pop3(store, Users);
    Talk(pop3, {"USER me", "PASS secret", "DELE 1"});
    EXPECT_EQ(pop3.OnLine("QUIT"), "+OK bye, 1 messages removed\r\n");
    EXPECT_TRUE(pop3.Finished());
    ASSERT_EQ(store.MessageNames("me@demo.test").size(), 1u);
    EXPECT_NE(store.Read("me@demo.test", store.MessageNames("me@demo.test")[0]).find("Subject: two"),
              std::string::npos);
}

// The service as the program uses it: its own process, the mail layer's
// clients on loopback.
TEST(DemoMailService, SmtpDeliveryReachesPop3InAnotherProcess) {
    TempFolder folder;
    DemoMailService service(folder.Path(), Users);
    service.Start();
    ASSERT_TRUE(service.Running());

    SmtpClient smtp;
    smtp.Host = "127.0.0.1";
    smtp.Port = service.SmtpPort();
    smtp.Connect(5000);
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    message.ReadFromText("From: ann@outside.test\r\nSubject: Hello\r\n\r\nHi there\r\n.\r\n");
    smtp.EnvelopeFrom = "ann@outside.test";
    smtp.EnvelopeTo = "me@demo.test";
    smtp.SendWithEnvelope(message);
    smtp.Disconnect();

    Pop3Session pop3({"127.0.0.1", service.Pop3Port(), "me", "secret", 5000});
    pop3.Connect();
    ASSERT_EQ(pop3.CountMessages(), 1);
    MailMessage received;
    received.RawRead = received.RawWrite = true;
    ASSERT_TRUE(pop3.RetrieveMessage(1, received));
    EXPECT_EQ(received.HeaderValue("Delivered-To"), "me@demo.test");
    EXPECT_EQ(received.Subject, "Hello");
    EXPECT_EQ(received.BodyLines, std::vector<std::string>{"Hi there"});
    pop3.DeleteMessage(1);
    pop3.Disconnect();

    Pop3Session again({"127.0.0.1", service.Pop3Port(), "me", "secret", 5000});
    again.Connect();
    EXPECT_EQ(again.CountMessages(), 0);
    again.Disconnect();

    service.Stop();
    EXPECT_FALSE(service.Running());
    Pop3Session refused({"127.0.0.1", service.Pop3Port(), "me", "secret", 2000});
    EXPECT_THROW(refused.Connect(), MailTransportError);
}

} // namespace
