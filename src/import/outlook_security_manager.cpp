#include "import/outlook_security_manager.h"

namespace {

// Kinds of warnings the component suppresses.
constexpr int KindWithoutApplication = 0;
constexpr int KindWithApplication = 3;

class AbsentSecurityManagerHost : public SecurityManagerHost {
public:
    std::unique_ptr<SecurityManagerComponent> CreateComponent() override { return nullptr; }
    void RegisterServerLibrary() override {}
};

SecurityManagerHost*& InstalledHost() {
    static SecurityManagerHost* host = nullptr;
    return host;
}

std::unique_ptr<SecurityManagerComponent> TryCreate(SecurityManagerHost& host) {
    try {
        return host.CreateComponent();
    } catch (const std::exception&) {
        return nullptr;
    }
}

} // namespace

SecurityManagerHost& DefaultSecurityManagerHost() {
    if (InstalledHost())
        return *InstalledHost();
    static AbsentSecurityManagerHost absent;
    return absent;
}

void SetSecurityManagerHost(SecurityManagerHost* host) {
    InstalledHost() = host;
}

OutlookSecurityManager::OutlookSecurityManager() : OutlookSecurityManager(DefaultSecurityManagerHost()) {}

OutlookSecurityManager::OutlookSecurityManager(SecurityManagerHost& host) {
    m_component = TryCreate(host);
    if (m_component)
        return;
    try {
        host.RegisterServerLibrary();
    } catch (const std::exception&) {
        return;
    }
    m_component = TryCreate(host);
}

OutlookSecurityManager::~OutlookSecurityManager() = default;

void OutlookSecurityManager::AttachApplication(OutlookApplication& application) {
    if (!m_component)
        throw SecurityManagerError(SecurityManagerNotFound);
    m_applicationAttached = true;
    m_component->ConnectTo(application);
}

void OutlookSecurityManager::SetSuppressWarnings(bool on) {
    if (on == m_suppressWarnings)
        return;
    if (!m_component)
        throw SecurityManagerError(SecurityManagerNotFound);
    int kind = m_applicationAttached ? KindWithApplication : KindWithoutApplication;
    if (m_component->ReadState(kind) == 0)
        m_component->WriteSuppression(kind, on);
    m_suppressWarnings = on;
}
