#pragma once

#include "demo/demo_pop3_conversation.h"

#include <string>
#include <sys/types.h>
#include <vector>

// The demo's private mail service: POP3 and SMTP on 127.0.0.1, at ports the
// system picks, over one DemoMailStore, so that SMTP deliveries land in the
// mailboxes POP3 serves. It runs in a child process of its own: the program
// stays single-threaded, and the scan waits on the service as on any other
// server. The child ends when the service object is stopped or destroyed,
// and also when its parent dies.
class DemoMailService {
public:
    DemoMailService(std::string storeFolder, std::vector<DemoMailUser> users);
    ~DemoMailService() { Stop(); }
    DemoMailService(const DemoMailService&) = delete;
    DemoMailService& operator=(const DemoMailService&) = delete;

    // Listens on both ports and starts the child. Throws std::runtime_error
    // when a port cannot be opened or the child cannot be started.
    void Start();
    // Ends the child and waits for it; nothing happens when it is not running.
    void Stop();

    bool Running() const { return m_child > 0; }
    int Pop3Port() const { return m_pop3Port; }
    int SmtpPort() const { return m_smtpPort; }

private:
    std::string m_storeFolder;
    std::vector<DemoMailUser> m_users;
    int m_pop3Port = 0;
    int m_smtpPort = 0;
    pid_t m_child = -1;
};

// Serves both listening sockets until the process is ended: any number of
// connections at a time, each a POP3 or SMTP conversation over the store.
// Used by the child of DemoMailService; never returns.
[[noreturn]] void ServeDemoMail(int pop3Listener, int smtpListener, DemoMailStore& store,
                                const std::vector<DemoMailUser>& users);
