#pragma once

#include "demo/demo_mail_store.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// One login of the demo's POP3 service.
struct DemoMailUser {
    std::string Login;
    std::string Password;
    // The mailbox (address) the login reads.
    std::string Address;
};

// The server side of one POP3 conversation (RFC 1939) over a DemoMailStore:
// USER, PASS, STAT, LIST, UIDL, TOP, RETR, DELE, RSET, NOOP, CAPA and QUIT.
// The mailbox is fixed at login; messages marked with DELE are removed only
// by QUIT, so a dropped connection removes nothing.
class DemoPop3Conversation {
public:
    DemoPop3Conversation(DemoMailStore& store, std::vector<DemoMailUser> users);

    std::string Greeting() const { return "+OK Quorvane demo POP3 service ready\r\n"; }
    // Answers one command line (without its CR LF): the whole reply,
    // dot-stuffed and terminated where it is multi-line.
    std::string OnLine(const std::string& line);
    // QUIT has been answered: the connection is to be closed.
    bool Finished() const { return m_finished; }

private:
    std::string Authorization(const std::string& verb, const std::string& argument);
    std::string Transaction(const std::string& verb, const std::string& argument);
    // The index of message "n", or -1 for a number that names no message
    // or one marked as deleted.
    int MessageIndex(const std::string& argument) const;
    std::string MessageText(int index) const;
    std::string Top(int index, int bodyLines) const;
    std::string Quit();

    DemoMailStore& m_store;
    std::vector<DemoMailUser> m_users;
    std::string m_user;
    std::string m_mailbox;
    bool m_loggedIn = false;
    bool m_finished = false;
    std::vector<std::string> m_messages;
    std::set<int> m_deleted;
};
