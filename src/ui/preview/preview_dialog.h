#pragma once

#include "mail/mail_message.h"

#include <QDialog>

#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class MessageTextView;

// PreviewDialog: the secure preview of one quarantined message. Only header
// fields and the first plain-text part are shown; HTML is never rendered,
// nothing is loaded, attachments are only mentioned. Escape closes it; its
// geometry is kept in the settings file; the attachment files decoding left
// behind are deleted when it goes.
class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit PreviewDialog(QWidget* parent = nullptr);
    ~PreviewDialog() override;

    // LoadFromFile and ShowPreviewMessage. Raises MailTransportError when the
    // file cannot be loaded.
    void LoadMessage(const std::string& path);

    void LoadPreviewGeometry();
    void SavePreviewGeometry();

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPreviewMessage();
    QLineEdit* AddHeaderRow(const char* caption, const char* name);

    MailMessage m_message;
    bool m_loaded = false;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QLineEdit* m_cc;
    QLineEdit* m_date;
    QLineEdit* m_subject;
    QLabel* m_ccCaption;
    QLabel* m_attachmentNotice;
    MessageTextView* m_bodyView;
    class QGridLayout* m_header;
};

// PreviewSelected for the quarantine file at path: the preview shown
// modally, or "Error previewing message:" and the error when the file cannot
// be loaded.
void ShowPreview(QWidget* parent, const std::string& path);
