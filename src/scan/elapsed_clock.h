#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

// Measures the elapsed time of a scan run, leaving out the spans while it is
// stopped (a message box waiting for the user). The time source is
// injectable so tests need no real waiting.
class ElapsedClock {
public:
    // A monotonic "now".
    using Source = std::function<std::chrono::milliseconds()>;

    ElapsedClock();
    explicit ElapsedClock(Source source) : m_source(std::move(source)) {}

    // Back to zero, stopped.
    void Reset();
    void Start();
    void Stop();
    bool Running() const { return m_running; }

    // Whole seconds measured so far.
    std::int32_t Seconds() const;

private:
    std::chrono::milliseconds Measured() const;

    Source m_source;
    std::chrono::milliseconds m_accumulated{0};
    std::chrono::milliseconds m_startedAt{0};
    bool m_running = false;
};
