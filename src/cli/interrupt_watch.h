#pragma once

// Turns Ctrl+C (SIGINT) into a request the program handles at its next
// event pump, like a press of the Cancel button, instead of ending the
// process. Three presses that nobody handled end the process the usual
// way, so a hung program can still be stopped. Installed for the lifetime
// of the object; the previous handling is restored afterwards.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // True once for every press since the last call.
    static bool TakeInterrupt();
    // Raises an interrupt as a press would (tests).
    static void Simulate();
};
