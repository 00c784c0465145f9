#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class LinkLabel;

// The About page: "About Quorvane", the version label, the support and
// feedback links, "License Agreement", "Check for update" and the MD5
// acknowledgement.
class AboutPage : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* VersionText = "Version 1.1.1";
    static constexpr const char* SupportAddress = "https://www.belvantis.com/quorvane/support";
    static constexpr const char* FeedbackAddress = "https://www.belvantis.com/quorvane/feedback";

    explicit AboutPage(QWidget* parent = nullptr);

    // The version label shows VersionText afresh.
    void ShowVersion();

signals:
    void CheckForUpdateRequested();

private:
    QLabel* m_versionLabel;
    LinkLabel* m_supportLink;
    LinkLabel* m_feedbackLink;
    LinkLabel* m_licenseLink;
    QPushButton* m_checkUpdateButton;
};
