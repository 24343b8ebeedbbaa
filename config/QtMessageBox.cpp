#include "QtMessageBox.h"

#include "platform/MessageBox.h"

#include <QMessageBox>

namespace skyloom::config {

void installQtMessageBoxes() {
    using namespace platform;
    setMessageBoxHandler(
        [](const std::string& caption, const std::string& text, MsgButtons buttons, MsgResult def) {
            QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                            QString::fromStdString(text));
            auto toQt = [](MsgResult r) {
                switch (r) {
                case MsgResult::Ok:
                    return QMessageBox::Ok;
                case MsgResult::Cancel:
                    return QMessageBox::Cancel;
                case MsgResult::Yes:
                    return QMessageBox::Yes;
                case MsgResult::No:
                    return QMessageBox::No;
                }
                return QMessageBox::Ok;
            };
            switch (buttons) {
            case MsgButtons::Ok:
                box.setStandardButtons(QMessageBox::Ok);
                break;
            case MsgButtons::OkCancel:
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                break;
            case MsgButtons::YesNo:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                break;
            }
            box.setDefaultButton(toQt(def));
            box.setWindowFlag(Qt::WindowStaysOnTopHint);
            switch (box.exec()) {
            case QMessageBox::Cancel:
                return MsgResult::Cancel;
            case QMessageBox::Yes:
                return MsgResult::Yes;
            case QMessageBox::No:
                return MsgResult::No;
            case QMessageBox::Ok:
                return MsgResult::Ok;
            default:
                // Closed without a button: the box's escape answer.
                return buttons == MsgButtons::YesNo      ? MsgResult::No
                       : buttons == MsgButtons::OkCancel ? MsgResult::Cancel
                                                         : MsgResult::Ok;
            }
        });
}

} // namespace skyloom::config
