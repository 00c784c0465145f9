#include "ui/shell/tray_icon.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QTimer>

namespace {

constexpr int AnimationIntervalMs = 500;
constexpr int BalloonTitleLimit = 63;
constexpr int BalloonTextLimit = 255;

} // namespace

TrayIcon::TrayIcon(QMenu* menu, QObject* parent)
    : QObject(parent), m_icon(new QSystemTrayIcon(this)), m_menu(menu), m_animation(new QTimer(this)) {
    m_images[0] = QIcon(":/icons/tray-normal.svg");
    m_images[1] = QIcon(":/icons/tray-active.svg");
    m_icon->setObjectName("trayIcon");
    m_icon->setToolTip("Quorvane");
    m_icon->setContextMenu(m_menu);
    m_animation->setObjectName("trayAnimation");
    m_animation->setInterval(AnimationIntervalMs);
    connect(m_animation, &QTimer::timeout, this, [this] { ShowImage(1 - m_imageIndex); });
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::OnActivated);
    ShowImage(0);
}

bool TrayIcon::Available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::Show() {
    m_icon->show();
}

void TrayIcon::SetReactive(bool reactive) {
    m_reactive = reactive;
    m_icon->setContextMenu(reactive ? m_menu : nullptr);
}

void TrayIcon::StartAnimation() {
    if (!m_animation->isActive())
        m_animation->start();
}

void TrayIcon::StopAnimation() {
    m_animation->stop();
}

void TrayIcon::Reset() {
    ShowImage(0);
}

bool TrayIcon::Animating() const {
    return m_animation->isActive();
}

void TrayIcon::ShowBalloon(const QString& title, const QString& text, int seconds) {
    m_icon->showMessage(title.left(BalloonTitleLimit), text.left(BalloonTextLimit), QSystemTrayIcon::Information,
                        seconds * 1000);
}

void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    if (!m_reactive || reason != QSystemTrayIcon::Trigger)
        return;
    // Let whatever is pending (a window being shown or hidden) settle first,
    // so the menu acts on the window as it now is.
    QCoreApplication::processEvents();
    m_menu->popup(QCursor::pos());
}

void TrayIcon::ShowImage(int index) {
    m_imageIndex = index;
    m_icon->setIcon(m_images[index]);
}

void TrayIcon::ShowOpenEmailNotice() {
    ShowBalloon("Quorvane Notice",
                "Open your email client through this icon from now on.  This will ensure that Quorvane will scan "
                "your email accounts for spam every time you open your email.",
                60);
}
