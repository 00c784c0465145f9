#pragma once

#include <functional>

// The one process-wide hook that lets a user interface run while the
// single thread waits on the network or works through a long job. The GUI
// sets it to process its events; the command line and tests may leave it
// empty or use it to inject a Cancel.
void SetEventPump(std::function<void()> pump);

// Runs the hook, when one is set.
void Pump();
