#pragma once
// The small notice shown while a wallpaper is made.

#include <QWidget>

namespace skyloom::config {

class frmPleaseWait : public QWidget {
    Q_OBJECT
public:
    explicit frmPleaseWait(QWidget* parent = nullptr);
};

} // namespace skyloom::config
