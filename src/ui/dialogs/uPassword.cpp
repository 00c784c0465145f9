#include "ui/dialogs/uPassword.h"

#include "platform/message_box.h"
#include "records/program_settings.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TfrmPassword::TfrmPassword(QWidget* parent) : QDialog(parent), edPass(new QLineEdit(this)) {
    setObjectName("TfrmPassword");
    setWindowTitle("Enter Password");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    edPass->setObjectName("edPass");
    edPass->setEchoMode(QLineEdit::Password);
    edPass->setStyleSheet("lineedit-password-character: 42;"); // "*"
    edPass->setMinimumWidth(220);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName("btnOK");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Password:", this));
    layout->addWidget(edPass);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString TfrmPassword::Password() const {
    return edPass->text();
}

bool PassPasswordGate(QWidget* parent) {
    if (!ProgramSettings.PasswordProtect)
        return true;
    TfrmPassword dialog(parent);
    if (dialog.exec() == QDialog::Accepted && dialog.Password().toStdString() == ProgramSettings.Password)
        return true;
    ShowMessageBox("The password you have entered is incorrect.", "Incorrect password", MsgButtons::Ok,
                   MsgIcon::Warning);
    return false;
}
