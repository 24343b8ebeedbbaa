#pragma once
// The "/a" dialog: sets, changes or removes the saver password. Without a
// saver password the saver asks for the user's login password.

#include <QDialog>

class QLineEdit;
class QLabel;

namespace skyloom::config {

class frmChangePassword : public QDialog {
    Q_OBJECT
public:
    explicit frmChangePassword(QWidget* parent = nullptr);

    /// Checks the answers and stores the new password; the text to show
    /// when that is refused, "" on success.
    static std::string apply(const std::string& current, const std::string& newPassword,
                             const std::string& confirm);

private:
    void accept() override;
    void showEvent(QShowEvent* event) override;
    void fitTexts();
    QLineEdit* txtCurrent_ = nullptr;
    QLineEdit* txtNew_ = nullptr;
    QLineEdit* txtConfirm_ = nullptr;
    QLabel* lblMessage_ = nullptr;
};

} // namespace skyloom::config
