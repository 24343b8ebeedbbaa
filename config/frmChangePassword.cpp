#include "frmChangePassword.h"

#include "platform/Password.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace skyloom::config {

frmChangePassword::frmChangePassword(QWidget* parent) : QDialog(parent) {
    setObjectName("frmChangePassword");
    setWindowTitle("Change Screen Saver Password");
    auto* layout = new QVBoxLayout(this);
    const auto state = platform::saverPasswordState();
    auto* intro =
        new QLabel(state == platform::SaverPasswordState::None
                       ? "The screen saver now asks for your login password. Set a screen saver "
                         "password to ask for that instead."
                       : "Leave the new password empty to use your login password again.",
                   this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    auto field = [&](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(static_cast<int>(platform::kMaxPasswordLength));
        return e;
    };
    if (state != platform::SaverPasswordState::None) {
        txtCurrent_ = field("txtCurrent");
        form->addRow("Current password:", txtCurrent_);
    }
    txtNew_ = field("txtNew");
    txtConfirm_ = field("txtConfirm");
    form->addRow("New password:", txtNew_);
    form->addRow("Confirm new password:", txtConfirm_);
    layout->addLayout(form);
    lblMessage_ = new QLabel(this);
    lblMessage_->setObjectName("lblMessage");
    lblMessage_->setWordWrap(true);
    layout->addWidget(lblMessage_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmChangePassword::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

std::string frmChangePassword::apply(const std::string& current, const std::string& newPassword,
                                     const std::string& confirm) {
    const auto state = platform::saverPasswordState();
    if (state == platform::SaverPasswordState::Set && !platform::checkSaverPassword(current))
        return "The current password is not correct.";
    if (state == platform::SaverPasswordState::Corrupt)
        return "The stored screen saver password is damaged. Remove the file " +
               platform::saverPasswordFilePath() + " to set a new one.";
    if (newPassword != confirm)
        return "The new passwords do not match.";
    if (newPassword.size() > platform::kMaxPasswordLength)
        return "The new password is too long.";
    if (!platform::setSaverPassword(newPassword))
        return "The password could not be saved in " + platform::saverPasswordFilePath() + ".";
    return {};
}

void frmChangePassword::accept() {
    const std::string error =
        apply(txtCurrent_ ? txtCurrent_->text().toStdString() : std::string(),
              txtNew_->text().toStdString(), txtConfirm_->text().toStdString());
    if (!error.empty()) {
        lblMessage_->setText(QString::fromStdString(error));
        return;
    }
    QDialog::accept();
}

} // namespace skyloom::config
