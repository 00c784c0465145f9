#include "real_mail_servers.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

std::string MailServers::operator[](const std::string& key) const {
    auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
}

int MailServers::Number(const std::string& key) const {
    return std::atoi((*this)[key].c_str());
}

const MailServers& Servers() {
    static MailServers servers = [] {
        MailServers read;
        const char* path = std::getenv("QUORVANE_MAIL_SERVERS");
        std::ifstream in(path ? path : "");
        if (!in)
            read.values["SKIP"] = "the mail servers were not started (run the tests through ctest)";
        std::string line;
        while (std::getline(in, line)) {
            std::size_t equals = line.find('=');
            if (equals != std::string::npos)
                read.values[line.substr(0, equals)] = line.substr(equals + 1);
        }
        return read;
    }();
    return servers;
}

bool UnderCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

std::string AddressOf(const std::string& user) {
    return user + "@" + Servers()["DOMAIN"];
}

Pop3Settings Pop3For(const std::string& user) {
    return {"127.0.0.1", Servers().Number("POP3_PORT"), user, Servers()["PASSWORD"], 20000};
}

int CountOf(const std::string& user) {
    Pop3Session session(Pop3For(user));
    session.Connect();
    int count = session.CountMessages();
    session.Disconnect();
    return count;
}

int WaitForCount(const std::string& user, int count) {
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int seen = CountOf(user);
    while (seen != count && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        seen = CountOf(user);
    }
    return seen;
}
