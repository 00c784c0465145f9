#include "cli/interrupt_watch.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<int> pending{0};
struct sigaction previous {};

constexpr int PressesThatEndTheProcess = 3;

void OnInterrupt(int) {
    if (pending.fetch_add(1) + 1 >= PressesThatEndTheProcess) {
        ::signal(SIGINT, SIG_DFL);
        ::raise(SIGINT);
    }
}

} // namespace

InterruptWatch::InterruptWatch() {
    pending = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a read waiting for an answer wakes up.
    action.sa_flags = 0;
    ::sigaction(SIGINT, &action, &previous);
}

InterruptWatch::~InterruptWatch() {
    ::sigaction(SIGINT, &previous, nullptr);
    pending = 0;
}

bool InterruptWatch::TakeInterrupt() {
    int count = pending.load();
    while (count > 0) {
        if (pending.compare_exchange_weak(count, count - 1))
            return true;
    }
    return false;
}

void InterruptWatch::Simulate() {
    OnInterrupt(SIGINT);
}
