#include "QtMessageBox.h"

#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

namespace skyloom::config {

namespace {

using platform::MsgButtons;
using platform::MsgResult;

MsgResult showBox(const std::string& caption, const std::string& text, MsgButtons buttons,
                  MsgResult def, const std::function<void()>& beforeBox) {
    if (beforeBox)
        beforeBox();
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
}

} // namespace

void installQtMessageBoxes(std::function<void()> beforeBox) {
    platform::setMessageBoxHandler([beforeBox](const std::string& caption, const std::string& text,
                                               MsgButtons buttons, MsgResult def) {
        // Work running on a thread of its own (the unattended wallpaper
        // run) asks through the user-interface thread and waits there.
        QCoreApplication* app = QCoreApplication::instance();
        if (app && QThread::currentThread() != app->thread()) {
            MsgResult answer = def;
            QMetaObject::invokeMethod(
                app, [&] { answer = showBox(caption, text, buttons, def, beforeBox); },
                Qt::BlockingQueuedConnection);
            return answer;
        }
        return showBox(caption, text, buttons, def, beforeBox);
    });
}

} // namespace skyloom::config
