#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// WelcomeDialog: "Welcome to Quorvane", shown over the main window while the
// first-run setup is due. Its "OK" (m_setupButton) runs the setup the window was
// given, with the button disabled meanwhile, and then closes.
class WelcomeDialog : public QDialog {
    Q_OBJECT
public:
    WelcomeDialog(std::function<void()> setup, QWidget* parent = nullptr);

protected:
    void reject() override; // no way out but OK

private:
    void RunSetup();

    QLabel* m_messageLabel;
    QPushButton* m_setupButton;
    std::function<void()> m_setup;
};

// How the main window shows the welcome: by default the modal WelcomeDialog.
// Tests that do not look at the first run replace it (with nullptr the
// default comes back).
using WelcomeRunner = std::function<void(std::function<void()> setup, QWidget* owner)>;
void SetWelcomeRunner(WelcomeRunner runner);
void RunWelcome(std::function<void()> setup, QWidget* owner);
