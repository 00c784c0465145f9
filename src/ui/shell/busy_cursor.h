#pragma once

// The program's busy cursor as a switch: on puts the busy cursor over the
// whole application, off takes back exactly what this switch put there, and
// a switch that is destroyed while on turns itself off.
class BusyCursorSwitch {
public:
    BusyCursorSwitch() = default;
    ~BusyCursorSwitch() { Set(false); }
    BusyCursorSwitch(const BusyCursorSwitch&) = delete;
    BusyCursorSwitch& operator=(const BusyCursorSwitch&) = delete;

    void Set(bool busy);
    bool Busy() const { return m_busy; }

private:
    bool m_busy = false;
};
