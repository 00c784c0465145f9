#pragma once

#include "mail/delivery_passes.h"

class ScanView;

// The delivery context of an operation reported through view (a scan's
// follow-up steps, an approve or release): lines go to ScanState.ScanLog,
// nobody is asked during an unattended scan, and while the reconnect
// question waits, the elapsed time of a run showing on the scan page stands
// still. The view must outlive the context.
DeliveryContext ScanDeliveryContext(ScanView& view);
