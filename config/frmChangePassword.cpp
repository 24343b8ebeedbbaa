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
    setWindowTitle(tr("Change Screen Saver Password"));
    auto* layout = new QVBoxLayout(this);
    const auto state = platform::saverPasswordState();
    auto* intro =
        new QLabel(state == platform::SaverPasswordState::None
                       ? tr("The screen saver now asks for your login password. Set a screen "
                            "saver password to ask for that instead.")
                       : tr("Leave the new password empty to use your login password again."),
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
        form->addRow(tr("Current password:"), txtCurrent_);
    }
    txtNew_ = field("txtNew");
    txtConfirm_ = field("txtConfirm");
    form->addRow(tr("New password:"), txtNew_);
    form->addRow(tr("Confirm new password:"), txtConfirm_);
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
        return tr("The current password is not correct.").toStdString();
    if (state == platform::SaverPasswordState::Corrupt)
        return tr("The stored screen saver password is damaged. Remove the file %1 to set a new "
                  "one.")
            .arg(QString::fromStdString(platform::saverPasswordFilePath()))
            .toStdString();
    if (newPassword != confirm)
        return tr("The new passwords do not match.").toStdString();
    if (newPassword.size() > platform::kMaxPasswordLength)
        return tr("The new password is too long.").toStdString();
    if (!platform::setSaverPassword(newPassword))
        return tr("The password could not be saved in %1.")
            .arg(QString::fromStdString(platform::saverPasswordFilePath()))
            .toStdString();
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
