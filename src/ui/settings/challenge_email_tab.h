#pragma once

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

// ChallengeEmailTab, the settings tab "Challenge Email": the challenge
// and post-response texts, copied into their templates as they are typed,
// and "Reset to defaults".
class ChallengeEmailTab : public QWidget {
    Q_OBJECT
public:
    explicit ChallengeEmailTab(QWidget* parent = nullptr);

    void Load();

private:
    void ResetToDefaults();

    QPlainTextEdit* m_challengeText;
    QPlainTextEdit* m_postResponseText;
    QPushButton* m_resetButton;
    bool m_loading = false;
};
