#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// PreferencesTab, the settings tab "Preferences": the mail client, the
// background scan, the expiry of quarantined mail, the quarantine password
// and the two approval choices. Every control stores its setting as it
// changes.
class PreferencesTab : public QWidget {
    Q_OBJECT
public:
    explicit PreferencesTab(QWidget* parent = nullptr);

    // Fills the controls from the settings, storing nothing meanwhile.
    void Load();

private:
    // The mail client, the expiry and the password are stored together.
    void StoreClientExpiryAndPassword();
    void UpdateEnabling();
    void Browse();

    QLineEdit* m_mailClientEdit;
    QPushButton* m_browseButton;
    QCheckBox* m_autoScanCheckBox;
    QSpinBox* m_scanMinutesSpin;
    QCheckBox* m_autoDeleteCheckBox;
    QSpinBox* m_deleteDaysSpin;
    QCheckBox* m_passwordProtectCheckBox;
    QLineEdit* m_protectPasswordEdit;
    QCheckBox* m_approveWithoutAskingCheckBox;
    QCheckBox* m_noChallengeCheckBox;
    QLabel* m_minutes;
    QLabel* m_days;
    bool m_loading = false;
};
