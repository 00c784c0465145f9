#pragma once

#include <QObject>

class MainWindow;

// The first run, while no account exists: the welcome over the shown main
// window (the tray quiet meanwhile), whose OK syncs the address books, opens
// the account settings, detects the accounts and guides to the password or
// an empty account; and the end of the setup at the first confirmed settings.
class FirstRunSetup : public QObject {
    Q_OBJECT
public:
    explicit FirstRunSetup(MainWindow& window);

    bool Pending() const { return m_pending; }
    void SetPending(bool pending) { m_pending = pending; }

    // After the window is shown, so that the welcome stands over it.
    void ShowWelcomeSoon();
    // The setup completed: the notices, the getting-started guide, the
    // window hidden and the balloon that points to the tray icon.
    void Complete();

private:
    void ShowWelcome();
    void RunSetup();

    MainWindow& m_window;
    bool m_pending = false;
    bool m_welcomeOpen = false;
};
