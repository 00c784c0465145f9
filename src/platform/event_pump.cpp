#include "platform/event_pump.h"

namespace {
std::function<void()>& Hook() {
    static std::function<void()> hook;
    return hook;
}
} // namespace

void SetEventPump(std::function<void()> pump) {
    Hook() = std::move(pump);
}

void Pump() {
    if (Hook())
        Hook()();
}
