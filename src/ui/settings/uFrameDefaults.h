#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// TframeDefaults, the settings tab "Preferences": the mail client, the
// background scan, the expiry of quarantined mail, the quarantine password
// and the two approval choices. Every control stores its setting as it
// changes.
class TframeDefaults : public QWidget {
    Q_OBJECT
public:
    explicit TframeDefaults(QWidget* parent = nullptr);

    // Fills the controls from the settings, storing nothing meanwhile.
    void Load();

    QLineEdit* edProgram;
    QPushButton* btnBrowse;
    QCheckBox* chkAutoScan;
    QSpinBox* edBackgroundScan;
    QCheckBox* chkAutoDelSpam;
    QSpinBox* edtSpamXDays;
    QCheckBox* chkPasswordProtect;
    QLineEdit* edProtectPassword;
    QCheckBox* chkNoAskApprove;
    QCheckBox* chkNoChallenge;

private:
    // The mail client, the expiry and the password are stored together.
    void StoreClientExpiryAndPassword();
    void UpdateEnabling();
    void Browse();

    QLabel* m_minutes;
    QLabel* m_days;
    bool m_loading = false;
};
