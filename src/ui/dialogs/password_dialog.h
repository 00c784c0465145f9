#pragma once

#include <QDialog>

class QLineEdit;

// PasswordDialog: "Enter Password", one field m_passwordEdit shown as "*" and the
// default button "OK"; always on top, centred on the screen.
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit PasswordDialog(QWidget* parent = nullptr);

    QString Password() const;

private:
    QLineEdit* m_passwordEdit;
};

// The password gate of the quarantine and the settings: true when
// "PasswordProtect" is off, or when the dialog closes with OK and the typed
// text equals the stored password exactly. Otherwise "The password you have
// entered is incorrect." (caption "Incorrect password") and false.
bool PassPasswordGate(QWidget* parent);
