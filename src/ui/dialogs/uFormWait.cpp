#include "ui/dialogs/uFormWait.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

TfrmWait::TfrmWait(QWidget* mainWindow)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_mainWindow(mainWindow) {
    setObjectName("TfrmWait");
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* first = new QLabel("Please wait while the requested action is being performed...", frame);
    first->setObjectName("lblWait");
    auto* second = new QLabel("(This may take up to a few minutes)", frame);
    second->setObjectName("lblWaitTime");
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

void TfrmWait::ShowOver() {
    QRect area = m_mainWindow && m_mainWindow->isVisible() ? m_mainWindow->frameGeometry()
                                                           : QGuiApplication::primaryScreen()->availableGeometry();
    move(area.center() - rect().center());
    show();
    raise();
    QCoreApplication::processEvents();
}
