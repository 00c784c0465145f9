#include "ui/welcome/welcome_dialog.h"

#include "ui/shell/window_placement.h"
#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

WelcomeRunner g_runner;

} // namespace

WelcomeDialog::WelcomeDialog(std::function<void()> setup, QWidget* parent)
    : QDialog(parent), m_messageLabel(new QLabel(
                           "Congratulations, you are moments away from enjoying a spam-free inbox and a productive "
                           "emailing experience.\r\n\r\nQuorvane will now attempt to detect your email account "
                           "settings.\r\n\r\nPlease click OK to continue.",
                           this)),
      m_setupButton(new QPushButton("OK", this)), m_setup(std::move(setup)) {
    setObjectName("WelcomeDialog");
    setWindowTitle("Welcome to Quorvane");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    m_messageLabel->setObjectName("messageLabel");
    m_messageLabel->setWordWrap(true);
    m_messageLabel->setMinimumWidth(340);
    m_setupButton->setObjectName("setupButton");
    m_setupButton->setDefault(true);
    auto* picture = new QLabel(this);
    picture->setObjectName("welcomeLogo");
    picture->setPixmap(QIcon(":/icons/quorvane.svg").pixmap(96, 96));
    picture->setAlignment(Qt::AlignTop);

    auto* content = new QHBoxLayout;
    content->setSpacing(18);
    content->addWidget(picture);
    content->addWidget(m_messageLabel, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_setupButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(16);
    layout->addLayout(content);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
    CentreOnScreen(*this);
    connect(m_setupButton, &QPushButton::clicked, this, &WelcomeDialog::RunSetup);
}

void WelcomeDialog::reject() {}

void WelcomeDialog::RunSetup() {
    m_setupButton->setEnabled(false);
    if (m_setup)
        m_setup();
    accept();
}

void SetWelcomeRunner(WelcomeRunner runner) {
    g_runner = std::move(runner);
}

void RunWelcome(std::function<void()> setup, QWidget* owner) {
    if (g_runner) {
        g_runner(std::move(setup), owner);
        return;
    }
    WelcomeDialog welcome(std::move(setup), owner);
    welcome.exec();
}
