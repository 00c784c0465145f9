#include "scan/elapsed_clock.h"

namespace {
std::chrono::milliseconds SteadyNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}
} // namespace

ElapsedClock::ElapsedClock() : m_source(SteadyNow) {}

void ElapsedClock::Reset() {
    m_accumulated = std::chrono::milliseconds(0);
    m_running = false;
}

void ElapsedClock::Start() {
    if (m_running)
        return;
    m_startedAt = m_source();
    m_running = true;
}

void ElapsedClock::Stop() {
    if (!m_running)
        return;
    m_accumulated = Measured();
    m_running = false;
}

std::chrono::milliseconds ElapsedClock::Measured() const {
    if (!m_running)
        return m_accumulated;
    return m_accumulated + (m_source() - m_startedAt);
}

std::int32_t ElapsedClock::Seconds() const {
    return static_cast<std::int32_t>(Measured().count() / 1000);
}
