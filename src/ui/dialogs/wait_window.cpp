#include "ui/dialogs/wait_window.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

WaitWindow::WaitWindow(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_mainWindow(mainWindow) {
    setObjectName("WaitWindow");
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* first = new QLabel("Please wait while the requested action is being performed...", frame);
    first->setObjectName("waitLabel");
    auto* second = new QLabel("(This may take up to a few minutes)", frame);
    second->setObjectName("waitTimeLabel");
    for (QLabel* label : {first, second})
        label->setAlignment(Qt::AlignCenter);
    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(28, 22, 28, 22);
    inner->setSpacing(8);
    inner->addWidget(first);
    inner->addWidget(second);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame);
    setFixedSize(sizeHint());
}

void WaitWindow::ShowOver() {
    QRect area = m_mainWindow && m_mainWindow->isVisible() ? m_mainWindow->frameGeometry()
                                                           : QGuiApplication::primaryScreen()->availableGeometry();
    move(area.center() - rect().center());
    show();
    raise();
    QCoreApplication::processEvents();
}
