#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// TframeGeneralOptions, the settings tab "Challenge Email": the challenge
// and post-response texts, copied into their templates as they are typed,
// and "Reset to defaults".
class TframeGeneralOptions : public QWidget {
    Q_OBJECT
public:
    explicit TframeGeneralOptions(QWidget* parent = nullptr);

    void Load();

    QPlainTextEdit* memoChallenge;
    QPlainTextEdit* memoPostResponse;
    QPushButton* btnResetDefaults;

private:
    void ResetToDefaults();

    bool m_loading = false;
};
