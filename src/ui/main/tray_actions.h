#pragma once

#include "scan/scan_view.h"

#include <QObject>

class MainWindow;
class QAction;
class QIcon;
class QMenu;

// The tray menu: "Open E-Mail" (bold), the four pages, Help, About and Exit.
// A page opens only when the window lets it be opened from outside (no scan,
// action or open settings page holds it, no dialog of the program is
// active); the window then shows with that page.
class TrayActions : public QObject {
    Q_OBJECT
public:
    explicit TrayActions(MainWindow& window);

    QMenu* Menu() const { return m_menu; }
    // "Open E-Mail" shows the mail client's icon.
    void SetMailClientIcon(const QIcon& icon);

private:
    QAction* Add(const char* name, const QString& caption, const char* image);
    // The window shown at a page, when the guard of guardPage allows it.
    void OpenPage(ScanControl guardPage, void (MainWindow::*showPage)());

    MainWindow& m_window;
    QMenu* m_menu;
    QAction* m_openEmailAction = nullptr;
};
