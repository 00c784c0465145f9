// The scan at work on a real POP3 server (Dovecot and Postfix, started on
// loopback by tests/integration/mail_servers.sh, which needs root), and the
// start-up load of a large quarantine:
//   HeaderScan:      2000 messages, every sender approved: `quorvane scan
//                    --unattended` against a Python poplib loop of STAT and
//                    TOP n 0, on the same mailbox in the same run.
//   QuarantineScan:  500 messages of about 20 KB from unknown senders:
//                    seconds per message and the peak resident memory.
//   StartupLoad:     5 accounts with 10,000 quarantine entries each, loaded
//                    as the program starts (index load and purge).
// Build in a Release tree with -DQUORVANE_BUILD_BENCH=ON and run
// build-release/bench/scan_bench.

#include "bench_servers.h"

#include "challenge/quarantine_purge.h"
#include "platform/data_folder.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/account_store.h"
#include "records/program_settings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

const std::string Quorvane = QUORVANE_BINARY;

// A data folder with one account on the servers' mailbox of user.
std::string DataFolderFor(const std::string& user, const std::string& name) {
    MailServers& servers = Servers();
    std::string data = servers.Folder(name);
    std::filesystem::remove_all(data);
    Run added = Spawn({Quorvane,
                       "--data-dir",
                       data,
                       "accounts",
                       "add",
                       "--email",
                       user + "@" + servers["DOMAIN"],
                       "--display-name",
                       user,
                       "--server",
                       "127.0.0.1",
                       "--port",
                       servers["POP3_PORT"],
                       "--login",
                       user,
                       "--smtp-server",
                       "127.0.0.1",
                       "--smtp-port",
                       servers["SMTP_PORT"],
                       "--smtp-auth",
                       "--smtp-same-as-incoming"},
                      data + ".log", servers["PASSWORD"] + "\n");
    if (added.Status != 0)
        throw std::runtime_error("cannot add the account (see " + data + ".log)");
    return data;
}

Run Scan(const std::string& data) {
    return Spawn({Quorvane, "--data-dir", data, "scan", "--unattended"}, data + ".scan.log");
}

void HeaderScan(benchmark::State& state) {
    if (!Servers().Problem().empty()) {
        state.SkipWithError(Servers().Problem().c_str());
        return;
    }
    const int messages = 2000;
    std::string data = DataFolderFor("bob", "header-scan");
    std::ofstream(data + "/WhiteList.dat") << "*@example.test\r\n";
    Seed("bob", messages, "header", 3000, "carol@example.test,dave@example.test,erin@example.test");
    double quorvane = 0, python = 0;
    for (auto _ : state) {
        Run loop = Spawn({"python3", MailFixture(), "headers", Servers().State(), "bob"});
        Run scan = Scan(data);
        if (loop.Status != 0 || scan.Status != 0) {
            state.SkipWithError("a run failed");
            return;
        }
        state.SetIterationTime(scan.Seconds);
        quorvane += scan.Seconds;
        python += loop.Seconds;
    }
    double runs = static_cast<double>(state.iterations());
    state.counters["messages"] = messages;
    state.counters["quorvane_s"] = quorvane / runs;
    state.counters["python_s"] = python / runs;
    state.counters["ratio"] = quorvane / python;
}
BENCHMARK(HeaderScan)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

void QuarantineScan(benchmark::State& state) {
    if (!Servers().Problem().empty()) {
        state.SkipWithError(Servers().Problem().c_str());
        return;
    }
    const int messages = 500;
    double seconds = 0;
    long peak = 0;
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string data = DataFolderFor("carol", "quarantine-scan");
        Seed("carol", messages, "heavy" + std::to_string(++round), 20000,
             "bob@example.test,dave@example.test,erin@example.test");
        state.ResumeTiming();
        Run scan = Scan(data);
        if (scan.Status != 0) {
            state.SkipWithError("the scan failed");
            return;
        }
        state.SetIterationTime(scan.Seconds);
        seconds += scan.Seconds;
        peak = std::max(peak, scan.PeakKilobytes);
    }
    state.counters["messages"] = messages;
    state.counters["s_per_message"] = seconds / static_cast<double>(state.iterations()) / messages;
    state.counters["peak_rss_MB"] = static_cast<double>(peak) / 1024.0;
}
BENCHMARK(QuarantineScan)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// A data folder of 5 accounts with 10,000 quarantine entries and files each.
std::string LargeQuarantine() {
    static std::string folder;
    if (!folder.empty())
        return folder;
    folder = (std::filesystem::temp_directory_path() / ("quorvane-bench-load-" + std::to_string(::getpid()))).string();
    SetDataFolderOverride(folder);
    Accounts.Clear();
    for (int a = 1; a <= 5; ++a) {
        Account& account = AppendAccount();
        account.EmailAddress = "user" + std::to_string(a) + "@example.test";
        account.DisplayName = "User " + std::to_string(a);
        account.Server = "127.0.0.1";
        account.Port = 110;
        account.Enabled = true;
        account.ID = "{BE0C0000-0000-4000-8000-00000000000" + std::to_string(a) + "}";
        for (int i = 0; i < 10000; ++i) {
            std::string file = "{" + std::to_string(a) + "-" + std::to_string(i) + "}.dat";
            std::ofstream(AccountFolder(a - 1) + "/" + file) << "Subject: quarantined " << i << "\r\n\r\nbody\r\n.\r\n";
            account.Quarantine.Add("sender" + std::to_string(i) + "@example.org", "Sender " + std::to_string(i), i % 4,
                                   file, 46000.5 + i / 100.0, "Subject number " + std::to_string(i),
                                   account.EmailAddress);
        }
        SaveAccount(a);
        SaveIndex(account);
    }
    Accounts.Clear();
    return folder;
}

void StartupLoad(benchmark::State& state) {
    SetDataFolderOverride(LargeQuarantine());
    bool purge = state.range(0) != 0;
    for (auto _ : state) {
        LoadSettings();
        Accounts.Clear();
        for (int n = 1; n <= StoredAccountCount(); ++n) {
            AppendAccount();
            LoadAccount(n);
            LoadIndex(Accounts.Item(n - 1));
            if (purge)
                PurgeOldQuarantine(n - 1);
        }
        benchmark::DoNotOptimize(Accounts.Item(4).Quarantine.Count());
    }
    state.counters["entries"] = Accounts.Count() * Accounts.Item(0).Quarantine.Count();
    Accounts.Clear();
    SetDataFolderOverride("");
}
BENCHMARK(StartupLoad)->Arg(0)->Arg(1)->ArgName("with_purge")->Unit(benchmark::kMillisecond);

// The folders of this run go when it ends.
struct Cleanup {
    ~Cleanup() {
        std::error_code ignored;
        std::filesystem::remove_all(
            std::filesystem::temp_directory_path() / ("quorvane-bench-load-" + std::to_string(::getpid())), ignored);
    }
} cleanup;

} // namespace
