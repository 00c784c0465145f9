#include "scan/scan_delivery_context.h"

#include "scan/scan_state.h"
#include "scan/scan_view.h"

DeliveryContext ScanDeliveryContext(ScanView& view) {
    DeliveryContext context;
    context.Log = [](const std::string& line) { ScanState.ScanLog.Add(line); };
    context.UserPresent = !ScanState.Unattended;
    // Remembers whether the question stopped the clock, so only then is it
    // started again.
    context.WaitingForUser = [&view, paused = false](bool waiting) mutable {
        if (waiting) {
            paused = view.ScanPageShowing() && ScanState.Clock.Running();
            if (paused)
                SetElapsedTimeRunning(ScanState, view, false);
        } else if (paused) {
            SetElapsedTimeRunning(ScanState, view, true);
            paused = false;
        }
    };
    return context;
}
