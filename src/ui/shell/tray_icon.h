#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

class QMenu;
class QTimer;

// The notification-area icon: hint "Quorvane", the tray menu on a left click
// as on the context click, two images that alternate every 500 ms while a
// scan is connected, and balloons. Where the desktop has no notification
// area, nothing is shown and Available() is false.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(QMenu* menu, QObject* parent = nullptr);

    static bool Available();

    void Show();
    // While not reactive (the first-run welcome is open) clicks do nothing.
    void SetReactive(bool reactive);
    bool Reactive() const { return m_reactive; }

    void StartAnimation();
    void StopAnimation();
    // Back to the first image.
    void Reset();
    bool Animating() const;
    // 0 for the normal image, 1 for the second one.
    int ImageIndex() const { return m_imageIndex; }

    // The title is cut to 63 characters and the text to 255.
    void ShowBalloon(const QString& title, const QString& text, int seconds);
    // The balloon that asks to open the mail client through this icon.
    void ShowOpenEmailNotice();

    QSystemTrayIcon* Icon() const { return m_icon; }

public slots:
    // What a click on the icon does; a slot of its own so that it can be
    // driven where no tray exists.
    void OnActivated(QSystemTrayIcon::ActivationReason reason);

private:
    void ShowImage(int index);

    QSystemTrayIcon* m_icon;
    QMenu* m_menu;
    QTimer* m_animation;
    QIcon m_images[2];
    int m_imageIndex = 0;
    bool m_reactive = true;
};
