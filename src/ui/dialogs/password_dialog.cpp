#include "ui/dialogs/password_dialog.h"

#include "platform/message_box.h"
#include "records/program_settings.h"
#include "ui/shell/window_placement.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

PasswordDialog::PasswordDialog(QWidget* parent) : QDialog(parent), m_passwordEdit(new QLineEdit(this)) {
    setObjectName("PasswordDialog");
    setWindowTitle("Enter Password");
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    m_passwordEdit->setObjectName("enteredPasswordEdit");
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    m_passwordEdit->setStyleSheet("lineedit-password-character: 42;"); // "*"
    m_passwordEdit->setMinimumWidth(220);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName("passwordOkButton");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Password:", this));
    layout->addWidget(m_passwordEdit);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());

    CentreOnScreen(*this);
}

QString PasswordDialog::Password() const {
    return m_passwordEdit->text();
}

bool PassPasswordGate(QWidget* parent) {
    if (!ProgramSettings.PasswordProtect)
        return true;
    PasswordDialog dialog(parent);
    if (dialog.exec() == QDialog::Accepted && dialog.Password().toStdString() == ProgramSettings.Password)
        return true;
    ShowMessageBox("The password you have entered is incorrect.", "Incorrect password", MsgButtons::Ok,
                   MsgIcon::Warning);
    return false;
}
