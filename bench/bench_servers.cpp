#include "bench_servers.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const std::string SourceDir = QUORVANE_SOURCE_DIR;
const std::string ServersScript = SourceDir + "/tests/integration/mail_servers.sh";
const std::string Fixture = SourceDir + "/tests/integration/mail_fixture.py";

} // namespace

Run Spawn(const std::vector<std::string>& arguments, const std::string& outputPath, const std::string& input) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::string inputPath = "/dev/null";
    if (!input.empty()) {
        inputPath = outputPath + ".in";
        std::ofstream(inputPath) << input;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inputPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    auto started = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Run run;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        ::wait4(pid, &status, 0, &usage);
        run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.PeakKilobytes = usage.ru_maxrss;
    }
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

MailServers::MailServers() {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("quorvane-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    m_folder = folder.string();
    m_state = (folder / "servers.env").string();
    Spawn({"bash", ServersScript, "start", m_state}, (folder / "servers.log").string());
    std::ifstream in(m_state);
    for (std::string line; std::getline(in, line);) {
        size_t equals = line.find('=');
        if (equals != std::string::npos)
            m_values[line.substr(0, equals)] = line.substr(equals + 1);
    }
}

MailServers::~MailServers() {
    Spawn({"bash", ServersScript, "stop", m_state});
    std::filesystem::remove_all(m_folder);
}

std::string MailServers::Problem() const {
    if (m_values.count("SKIP"))
        return m_values.at("SKIP");
    return m_values.count("POP3_PORT") ? "" : "the mail servers did not start (see servers.log)";
}

std::string MailServers::operator[](const std::string& key) const {
    auto found = m_values.find(key);
    return found == m_values.end() ? "" : found->second;
}

std::string MailServers::Folder(const std::string& name) const {
    return (std::filesystem::path(m_folder) / name).string();
}

MailServers& Servers() {
    static MailServers servers;
    return servers;
}

std::string MailFixture() {
    return Fixture;
}

void Seed(const std::string& user, int count, const std::string& tag, int size, const std::string& senders) {
    Run seeded = Spawn({"python3", Fixture, "seed", Servers().State(), user, std::to_string(count), tag, "--size",
                        std::to_string(size), "--senders", senders});
    if (seeded.Status != 0)
        throw std::runtime_error("cannot seed the mailbox");
}
