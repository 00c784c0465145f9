#include "platform/tcp_socket.h"

#include "platform/event_pump.h"
#include "platform/mail_transport_error.h"
#include "support/loopback_server.h"
#include "support/transport_errors.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int Generous = 10000;

struct PumpGuard {
    explicit PumpGuard(std::function<void()> pump) { SetEventPump(std::move(pump)); }
    ~PumpGuard() { SetEventPump(nullptr); }
};

struct TranscriptGuard {
    explicit TranscriptGuard(ProtocolTranscript sink) { SetProtocolTranscript(std::move(sink)); }
    ~TranscriptGuard() { SetProtocolTranscript(nullptr); }
};

struct LineCase {
    const char* name;
    std::string sent;
    std::vector<std::string> expected;
};

class TcpSocketLines : public testing::TestWithParam<LineCase> {};

TEST_P(TcpSocketLines, ArriveAsSent) {
    const LineCase& c = GetParam();
    LoopbackServer server([&](ServerConnection& connection) {
        connection.Send(c.sent);
        connection.Stall();
    });
    TcpSocket socket;
    socket.SetReadTimeout(Generous);
    socket.Connect("127.0.0.1", server.Port(), Generous);
    for (const std::string& expected : c.expected)
        EXPECT_EQ(socket.ReadLine(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, TcpSocketLines,
    testing::Values(
        LineCase{"CrLf", "+OK one\r\ntwo\r\n", {"+OK one", "two"}}, LineCase{"BareLf", "a\nb\r\nc\n", {"a", "b", "c"}},
        LineCase{"EmptyLines", "\r\n\n.\r\n", {"", "", "."}}, LineCase{"CrInsideLineKept", "a\rb\r\n", {"a\rb"}},
        LineCase{"ExactlyTheLimit", std::string(16384, 'x') + "\r\nnext\r\n", {std::string(16384, 'x'), "next"}},
        LineCase{"OneOverTheLimit", std::string(16385, 'y') + "\r\n", {std::string(16384, 'y'), "y"}}),
    [](const testing::TestParamInfo<LineCase>& info) { return info.param.name; });

TEST(TcpSocket, SplitsALongLineAndMarksTheContinuations) {
    LoopbackServer server([](ServerConnection& connection) {
        connection.Send(std::string(40000, 'z') + "\r\n..next\r\n");
        connection.Stall();
    });
    TcpSocket socket;
    socket.SetReadTimeout(Generous);
    socket.Connect("127.0.0.1", server.Port(), Generous);
    std::vector<std::size_t> lengths;
    std::vector<bool> continued;
    for (int i = 0; i < 4; ++i) {
        lengths.push_back(socket.ReadLine().size());
        continued.push_back(socket.LastLineContinued());
    }
    EXPECT_EQ(lengths, (std::vector<std::size_t>{16384, 16384, 7232, 6}));
    EXPECT_EQ(continued, (std::vector<bool>{false, true, true, false}));
}

TEST(TcpSocket, SendsLinesWithCrLfAndBytesAsGiven) {
    std::vector<std::string> received;
    LoopbackServer server([&](ServerConnection& connection) {
        while (auto line = connection.ReadLine())
            received.push_back(*line);
    });
    {
        TcpSocket socket;
        socket.Connect("127.0.0.1", server.Port(), Generous);
        socket.WriteLine("USER me");
        socket.Write("raw\r\n.\r\n");
    }
    server.Stop();
    EXPECT_EQ(received, (std::vector<std::string>{"USER me", "raw", "."}));
}

TEST(TcpSocket, FallsBackToTheNextAddressOfTheName) {
    // "localhost" may resolve to ::1 first, where nothing listens here.
    LoopbackServer server([](ServerConnection& connection) { connection.SendLine("hello"); });
    TcpSocket socket;
    socket.SetReadTimeout(Generous);
    socket.Connect("localhost", server.Port(), Generous);
    EXPECT_EQ(socket.ReadLine(), "hello");
}

TEST(TcpSocket, ConnectsOverIpv6) {
    std::unique_ptr<LoopbackServer> server;
    try {
        server =
            std::make_unique<LoopbackServer>([](ServerConnection& connection) { connection.SendLine("six"); }, true);
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "this machine has no IPv6 loopback";
    }
    TcpSocket socket;
    socket.SetReadTimeout(Generous);
    socket.Connect("::1", server->Port(), Generous);
    EXPECT_EQ(socket.ReadLine(), "six");
}

TEST(TcpSocket, LocalEndAsAnAddressLiteral) {
    TcpSocket socket;
    EXPECT_EQ(socket.LocalAddressLiteral(), "");
    LoopbackServer four([](ServerConnection& connection) { connection.SendLine("four"); });
    socket.Connect("127.0.0.1", four.Port(), Generous);
    EXPECT_EQ(socket.LocalAddressLiteral(), "[127.0.0.1]");
    try {
        LoopbackServer six([](ServerConnection& connection) { connection.SendLine("six"); }, true);
        socket.Connect("::1", six.Port(), Generous);
        EXPECT_EQ(socket.LocalAddressLiteral(), "[IPv6:::1]");
    } catch (const std::runtime_error&) {
        // No IPv6 loopback on this machine.
    }
}

TEST(TcpSocket, PeerClosingIsReportedGracefully) {
    LoopbackServer server([](ServerConnection& connection) { connection.Send("partial line"); });
    TcpSocket socket;
    socket.SetReadTimeout(Generous);
    socket.Connect("127.0.0.1", server.Port(), Generous);
    EXPECT_EQ(ErrorOf([&] { socket.ReadLine(); }), "Connection Closed Gracefully.");
    EXPECT_FALSE(socket.Connected());
}

TEST(TcpSocket, SilenceBeyondTheReadTimeoutFailsAndCloses) {
    LoopbackServer server([](ServerConnection& connection) { connection.Stall(); });
    TcpSocket socket;
    socket.SetReadTimeout(300);
    socket.Connect("127.0.0.1", server.Port(), Generous);
    EXPECT_EQ(ErrorOf([&] { socket.ReadLine(); }), "Read Timeout");
    EXPECT_FALSE(socket.Connected());
    EXPECT_EQ(ErrorOf([&] { socket.WriteLine("QUIT"); }), "Not connected.");
}

TEST(TcpSocket, RefusedConnectionGivesTheSocketErrorText) {
    TcpSocket socket;
    EXPECT_EQ(ErrorOf([&] { socket.Connect("127.0.0.1", UnusedLoopbackPort(), Generous); }),
              "Socket Error # 111\r\nConnection refused.");
    EXPECT_FALSE(socket.Connected());
}

TEST(TcpSocket, UnresolvableNamesAreNotFound) {
    for (const char* host : {"", "no such host!"}) {
        TcpSocket socket;
        EXPECT_EQ(ErrorOf([&] { socket.Connect(host, 110, Generous); }), "Host not found.") << host;
    }
}

TEST(TcpSocket, ConnectGivesUpAtTheTimeLimit) {
    // A listener whose accept queue is full drops further SYNs, so the
    // connect stays pending.
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 2; ++i) {
        int filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(filler);
    }
    TcpSocket socket;
    EXPECT_EQ(ErrorOf([&] { socket.Connect("127.0.0.1", ntohs(address.sin_port), 600); }), "Connect timed out.");
    for (int filler : fillers)
        ::close(filler);
    ::close(listener);
}

TEST(TcpSocket, PumpsEventsWhileWaitingForData) {
    std::atomic<int> pumps{0};
    std::atomic<bool> released{false};
    LoopbackServer server([&](ServerConnection& connection) {
        // Nothing is sent until the client's event pump has run three times.
        while (!released)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        connection.SendLine("+OK after pumping");
        connection.Stall();
    });
    PumpGuard pump([&] {
        if (++pumps >= 3)
            released = true;
    });
    TcpSocket socket;
    socket.SetReadTimeout(Generous);
    socket.Connect("127.0.0.1", server.Port(), Generous);
    EXPECT_EQ(socket.ReadLine(), "+OK after pumping");
    EXPECT_GE(pumps.load(), 3);
}

TEST(TcpSocket, TranscriptShowsMaskedTextButSendsTheLine) {
    std::vector<std::string> transcript;
    std::vector<std::string> received;
    LoopbackServer server([&](ServerConnection& connection) {
        connection.SendLine("+OK ready");
        while (auto line = connection.ReadLine())
            received.push_back(*line);
    });
    {
        TranscriptGuard guard([&](const std::string& line) { transcript.push_back(line); });
        TcpSocket socket;
        socket.SetReadTimeout(Generous);
        socket.Connect("127.0.0.1", server.Port(), Generous);
        socket.ReadLine();
        socket.WriteLine("USER me");
        socket.WriteLineMasked("PASS secret", "PASS ****");
    }
    server.Stop();
    EXPECT_EQ(received, (std::vector<std::string>{"USER me", "PASS secret"}));
    EXPECT_EQ(transcript, (std::vector<std::string>{"S: +OK ready", "C: USER me", "C: PASS ****"}));
}

} // namespace
