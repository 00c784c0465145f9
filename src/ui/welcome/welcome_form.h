#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;

// TWelcomeForm: "Welcome to Quorvane", shown over the main window while the
// first-run setup is due. Its "OK" (Button1) runs the setup the window was
// given, with the button disabled meanwhile, and then closes.
class TWelcomeForm : public QDialog {
    Q_OBJECT
public:
    TWelcomeForm(std::function<void()> setup, QWidget* parent = nullptr);

    QLabel* Label3;
    QPushButton* Button1;

protected:
    void reject() override; // no way out but OK

private:
    void Button1Click();

    std::function<void()> m_setup;
};

// How the main window shows the welcome: by default the modal TWelcomeForm.
// Tests that do not look at the first run replace it (with nullptr the
// default comes back).
using WelcomeRunner = std::function<void(std::function<void()> setup, QWidget* owner)>;
void SetWelcomeRunner(WelcomeRunner runner);
void RunWelcome(std::function<void()> setup, QWidget* owner);
