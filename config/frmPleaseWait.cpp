#include "frmPleaseWait.h"

#include <QLabel>

namespace skyloom::config {

frmPleaseWait::frmPleaseWait(QWidget* parent) : QWidget(parent) {
    setObjectName("frmPleaseWait");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(180, 48);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(pal);
    setAutoFillBackground(true);
    QFont font("Liberation Sans");
    font.setPointSizeF(8.25);
    font.setBold(true);
    // The white text with a one-pixel black shadow to its lower right.
    const QString text = tr("Setting WallPaper,\nOne Moment Please");
    struct {
        const char* name;
        QColor colour;
        int x, y;
    } labels[] = {{"lblShadow", Qt::black, 1, 6}, {"lblText", Qt::white, 0, 5}};
    for (const auto& l : labels) {
        auto* label = new QLabel(text, this);
        label->setObjectName(l.name);
        label->setFont(font);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        QPalette lp = label->palette();
        lp.setColor(QPalette::WindowText, l.colour);
        label->setPalette(lp);
        label->setGeometry(l.x, l.y, width(), height());
    }
}

} // namespace skyloom::config
