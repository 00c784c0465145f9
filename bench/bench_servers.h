#pragma once

// What the benchmarks against real servers share: programs run to their
// end, and Dovecot and Postfix started on loopback by
// tests/integration/mail_servers.sh (which needs root) for the whole run of
// a benchmark program, in a folder of its own, stopped at exit.

#include <map>
#include <string>
#include <vector>

struct Run {
    int Status = -1;
    double Seconds = 0;
    long PeakKilobytes = 0; // the child's own peak resident set
};

// Runs a program to its end with its output sent to outputPath.
Run Spawn(const std::vector<std::string>& arguments, const std::string& outputPath = "/dev/null",
          const std::string& input = "");

class MailServers {
public:
    MailServers();
    ~MailServers();
    MailServers(const MailServers&) = delete;
    MailServers& operator=(const MailServers&) = delete;

    // Why the servers cannot be used; empty when they run.
    std::string Problem() const;
    std::string operator[](const std::string& key) const;
    const std::string& State() const { return m_state; }
    std::string Folder(const std::string& name) const;

private:
    std::string m_folder;
    std::string m_state;
    std::map<std::string, std::string> m_values;
};

// Started on first use.
MailServers& Servers();

// The path of tests/integration/mail_fixture.py.
std::string MailFixture();

// Puts count messages of about size bytes from the given senders (comma
// separated) straight into user's Maildir; raises when that fails.
void Seed(const std::string& user, int count, const std::string& tag, int size, const std::string& senders);
