#include "ui/welcome/welcome_form.h"

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

TWelcomeForm::TWelcomeForm(std::function<void()> setup, QWidget* parent)
    : QDialog(parent),
      Label3(new QLabel("Congratulations, you are moments away from enjoying a spam-free inbox and a productive "
                        "emailing experience.\r\n\r\nQuorvane will now attempt to detect your email account "
                        "settings.\r\n\r\nPlease click OK to continue.",
                        this)),
      Button1(new QPushButton("OK", this)), m_setup(std::move(setup)) {
    setObjectName("TWelcomeForm");
    setWindowTitle("Welcome to Quorvane");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(true);
    Label3->setObjectName("Label3");
    Label3->setWordWrap(true);
    Label3->setMinimumWidth(340);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setPixmap(QIcon(":/icons/quorvane.svg").pixmap(96, 96));
    picture->setAlignment(Qt::AlignTop);

    auto* content = new QHBoxLayout;
    content->setSpacing(18);
    content->addWidget(picture);
    content->addWidget(Label3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setSpacing(16);
    layout->addLayout(content);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    connect(Button1, &QPushButton::clicked, this, &TWelcomeForm::Button1Click);
}

void TWelcomeForm::reject() {}

void TWelcomeForm::Button1Click() {
    Button1->setEnabled(false);
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
    TWelcomeForm welcome(std::move(setup), owner);
    welcome.exec();
}
