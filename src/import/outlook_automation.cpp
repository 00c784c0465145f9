#include "import/outlook_automation.h"

#include <stdexcept>

namespace {

AutomationObjectFactory& InstalledFactory() {
    static AutomationObjectFactory factory;
    return factory;
}

} // namespace

std::unique_ptr<OutlookApplication> CreateAutomationObject(const std::string& programmaticId) {
    if (InstalledFactory()) {
        auto object = InstalledFactory()(programmaticId);
        if (object)
            return object;
    }
    // There is no COM here: Outlook, if present at all, runs inside Wine,
    // out of reach of this process.
    throw std::runtime_error("Invalid class string: " + programmaticId);
}

void SetAutomationObjectFactory(AutomationObjectFactory factory) {
    InstalledFactory() = std::move(factory);
}
