// The header scan's POP3 conversation with a real Dovecot (started on
// loopback by tests/integration/mail_servers.sh, which needs root), driven
// through Pop3Session as the scan drives it: Connect, STAT, ReadAhead, TOP
// n 0 for 2000 messages, QUIT. Each iteration reads every header one
// command at a time (AllowPipelining = false) and then pipelined, on the
// same mailbox; the manual time is the pipelined session's.
//   HeaderScan/delay_ms:0    straight to the server over loopback
//   HeaderScan/delay_ms:10   through a proxy that holds every chunk 10 ms
//                            each way, as a distant server would
// Counters, in seconds: sequential_s and pipelined_s for the whole session,
// and ratio (pipelined / sequential); sequential_tops_s, pipelined_tops_s
// and tops_ratio for the headers alone, from ReadAhead to the last one, as
// the login (a fixed cost, the same either way) is left out.
// Build with -DQUORVANE_BUILD_BENCH=ON and run build/bench/pop3_pipeline_bench.

#include "bench_servers.h"
#include "delaying_proxy.h"

#include "mail/mail_message.h"
#include "mail/pop3_session.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

const std::string User = "dave";
const int Messages = 2000;

// Seeded once for every benchmark of the run.
void SeedOnce() {
    static bool seeded = false;
    if (!seeded)
        Seed(User, Messages, "pipeline", 3000, "carol@example.test,erin@example.test");
    seeded = true;
}

struct Timing {
    double Session = 0; // Connect to Disconnect
    double Headers = 0; // ReadAhead to the last header

    Timing& operator+=(const Timing& other) {
        Session += other.Session;
        Headers += other.Headers;
        return *this;
    }
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reads every header of the mailbox on port.
Timing ReadAllHeaders(int port, bool pipelining) {
    Pop3Settings settings{"127.0.0.1", port, User, Servers()["PASSWORD"], 60000};
    settings.AllowPipelining = pipelining;
    auto started = std::chrono::steady_clock::now();
    Pop3Session session(settings);
    session.Connect();
    if (session.Pipelining() != pipelining)
        throw std::runtime_error("the server does not announce PIPELINING");
    int count = session.CountMessages();
    if (count != Messages)
        throw std::runtime_error("the mailbox holds " + std::to_string(count) + " messages");
    auto headersStarted = std::chrono::steady_clock::now();
    session.ReadAhead(count);
    for (int number = 1; number <= count; ++number) {
        MailMessage header;
        header.RawRead = header.RawWrite = true;
        session.RetrieveHeader(number, header);
        benchmark::DoNotOptimize(header.HeaderLines.size());
    }
    Timing timing;
    timing.Headers = SecondsSince(headersStarted);
    session.Disconnect();
    timing.Session = SecondsSince(started);
    return timing;
}

void HeaderScan(benchmark::State& state) {
    if (!Servers().Problem().empty()) {
        state.SkipWithError(Servers().Problem().c_str());
        return;
    }
    SeedOnce();
    std::chrono::milliseconds delay(state.range(0));
    int port = std::stoi(Servers()["POP3_PORT"]);
    std::unique_ptr<DelayingProxy> proxy;
    if (delay.count() > 0) {
        proxy = std::make_unique<DelayingProxy>(port, delay);
        port = proxy->Port();
    }
    Timing sequential, pipelined;
    for (auto _ : state) {
        Timing one = ReadAllHeaders(port, false);
        Timing window = ReadAllHeaders(port, true);
        state.SetIterationTime(window.Session);
        sequential += one;
        pipelined += window;
    }
    double runs = static_cast<double>(state.iterations());
    state.counters["messages"] = Messages;
    state.counters["sequential_s"] = sequential.Session / runs;
    state.counters["pipelined_s"] = pipelined.Session / runs;
    state.counters["ratio"] = pipelined.Session / sequential.Session;
    state.counters["sequential_tops_s"] = sequential.Headers / runs;
    state.counters["pipelined_tops_s"] = pipelined.Headers / runs;
    state.counters["tops_ratio"] = pipelined.Headers / sequential.Headers;
}
BENCHMARK(HeaderScan)->ArgName("delay_ms")->Arg(0)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
// About 2000 round trips of 20 ms one at a time: one iteration.
BENCHMARK(HeaderScan)->ArgName("delay_ms")->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
