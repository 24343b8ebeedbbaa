#include "frmChangePassword.h"

#include "LockReadiness.h"
#include "platform/Password.h"
#include "platform/Registry.h"

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
    auto* intro = new QLabel(
        QString::fromStdString(changePasswordIntro(platform::screenSaveUsePassword())), this);
    intro->setObjectName("lblIntro");
    intro->setWordWrap(true);
    intro->setTextInteractionFlags(Qt::TextSelectableByMouse); // the command can be copied
    layout->addWidget(intro);
    auto* form = new QFormLayout;
    auto field = [&](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(static_cast<int>(platform::kMaxPasswordLength));
        return e;
    };
    if (const std::string label = currentPasswordLabel(); !label.empty()) {
        txtCurrent_ = field("txtCurrent");
        form->addRow(QString::fromStdString(label), txtCurrent_);
    }
    txtNew_ = field("txtNew");
    txtConfirm_ = field("txtConfirm");
    form->addRow(tr("New password:"), txtNew_);
    form->addRow(tr("Confirm new password:"), txtConfirm_);
    layout->addLayout(form);
    lblMessage_ = new QLabel(this);
    lblMessage_->setObjectName("lblMessage");
    lblMessage_->setWordWrap(true);
    lblMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblMessage_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmChangePassword::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void frmChangePassword::showEvent(QShowEvent* event) {
    fitTexts();
    QDialog::showEvent(event);
}

void frmChangePassword::fitTexts() {
    // The wrapped texts get the height they need at the dialog's width
    // (long paths, a large font or a 2x screen), instead of being cut off.
    auto* intro = findChild<QLabel*>("lblIntro");
    intro->setMinimumWidth(intro->fontMetrics().averageCharWidth() * 50);
    layout()->activate();
    const int w = std::max(width(), layout()->minimumSize().width());
    const int h = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(w)
                                                : layout()->sizeHint().height();
    setMinimumSize(layout()->minimumSize().width(), h);
    resize(w, std::max(h, height()));
}

std::string frmChangePassword::apply(const std::string& current, const std::string& newPassword,
                                     const std::string& confirm) {
    return applyPasswordChange(current, newPassword, confirm, platform::screenSaveUsePassword());
}

void frmChangePassword::accept() {
    const std::string error =
        apply(txtCurrent_ ? txtCurrent_->text().toStdString() : std::string(),
              txtNew_->text().toStdString(), txtConfirm_->text().toStdString());
    if (!error.empty()) {
        lblMessage_->setText(QString::fromStdString(error));
        fitTexts();
        return;
    }
    QDialog::accept();
}

} // namespace skyloom::config
