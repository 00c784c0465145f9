#include "real_mail_servers.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <thread>

#include <unistd.h>

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

void DeliverToMaildir(const std::string& user, const std::string& text) {
    static int counter = 0;
    std::string name =
        std::to_string(::time(nullptr)) + ".M" + std::to_string(++counter) + "P" + std::to_string(::getpid()) + ".test";
    std::string folder = Servers()["MAILDIR_ROOT"] + "/" + user;
    std::string temporary = folder + "/tmp/" + name;
    {
        std::ofstream out(temporary, std::ios::binary);
        out << text;
    }
    if (::chown(temporary.c_str(), static_cast<uid_t>(Servers().Number("MAIL_UID")),
                static_cast<gid_t>(Servers().Number("MAIL_GID"))) != 0 ||
        ::rename(temporary.c_str(), (folder + "/new/" + name).c_str()) != 0)
        throw std::runtime_error("Cannot deliver into " + folder);
}
