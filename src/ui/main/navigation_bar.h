#pragma once

#include "scan/scan_view.h"

#include <QWidget>

#include <vector>

class QToolButton;

// The column of six buttons at the window's left: Scan, Quarantine, Approved
// Senders, Settings, Help and About. A click asks for the page; which page
// shows is the window's choice, and the window marks it back here.
class NavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit NavigationBar(QWidget* parent = nullptr);

    // The button of Scan, Quarantine, ApprovedSenders, Settings, Help or
    // About; nullptr for the scan page's own controls.
    QToolButton* Button(ScanControl control) const;
    // Keeps the button of the page shown pressed (Help never stays pressed);
    // ScanControl::Start presses none.
    void MarkPage(ScanControl page);
    // Gives each button the grey image it shows while disabled.
    void UseDisabledImages();

signals:
    void PageRequested(ScanControl page);

private:
    struct Entry {
        ScanControl Page;
        QToolButton* Button;
        const char* Image;
    };

    std::vector<Entry> m_entries;
};
