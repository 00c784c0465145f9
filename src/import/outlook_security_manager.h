#pragma once

#include "import/outlook_automation.h"

#include <memory>
#include <stdexcept>
#include <string>

// The Outlook Security Manager (secman.dll): while its suppression is on,
// Outlook does not stop the reading of contacts' e-mail addresses with its
// security prompt.

// The component's interface {66EEF543-A9AC-4A9D-AA3C-1ED148AC8EEE}, of class
// {826D7151-8D99-434B-8540-082B8C2AE556}: its first three methods.
class SecurityManagerComponent {
public:
    virtual ~SecurityManagerComponent() = default;
    // First method: the component's state for a kind of warning (0: free to set).
    virtual int ReadState(int kind) = 0;
    // Second method: switches the suppression of that kind of warning.
    virtual void WriteSuppression(int kind, bool on) = 0;
    // Third method: connects the component to the Outlook application object
    // (held by the caller for as long as the component is in use).
    virtual void ConnectTo(OutlookApplication& application) = 0;
};

// How the component is reached: creating its class (in-process or local
// server), and registering "secman.dll" (load it from the library search
// path without the file-error box, call "DllRegisterServer" when it has one,
// unload it). Both may throw or fail.
class SecurityManagerHost {
public:
    virtual ~SecurityManagerHost() = default;
    // The component, or null when the class cannot be created.
    virtual std::unique_ptr<SecurityManagerComponent> CreateComponent() = 0;
    virtual void RegisterServerLibrary() = 0;
};

// The host the manager uses by default. On this platform there is neither
// COM nor secman.dll: the built-in host creates nothing. Tests (or another
// platform's backend) install their own, which must outlive its use; null
// restores the built-in host.
SecurityManagerHost& DefaultSecurityManagerHost();
void SetSecurityManagerHost(SecurityManagerHost* host);

// The error the manager raises without its component. Its text is internal
// and never shown.
class SecurityManagerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr char SecurityManagerNotFound[] = "Outlook Security Manager is not found.";

class OutlookSecurityManager {
public:
    // Creates the component; when the class cannot be created, registers
    // "secman.dll" and creates it again. Any failure leaves the manager
    // without a component; nothing is thrown.
    OutlookSecurityManager();
    explicit OutlookSecurityManager(SecurityManagerHost& host);
    ~OutlookSecurityManager();
    OutlookSecurityManager(const OutlookSecurityManager&) = delete;
    OutlookSecurityManager& operator=(const OutlookSecurityManager&) = delete;

    bool HasComponent() const { return m_component != nullptr; }

    // Connects the component to the application object. Throws SecurityManagerError
    // without a component.
    void AttachApplication(OutlookApplication& application);

    // Switches the suppression of Outlook's warnings (kind 3 with an
    // attached application, kind 0 without). Does nothing when on is the
    // value set last; otherwise throws SecurityManagerError without a component.
    void SetSuppressWarnings(bool on);
    bool SuppressWarnings() const { return m_suppressWarnings; }

private:
    std::unique_ptr<SecurityManagerComponent> m_component;
    bool m_applicationAttached = false;
    bool m_suppressWarnings = false;
};
