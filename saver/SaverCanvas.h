#pragma once
// The saver's visible canvases and the windows of further X screens.

#include "frmSaver.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <memory>

namespace skyloom::saver {

// The visible canvas of one monitor: shows the off-screen image it is given.
class SaverCanvas : public QWidget {
public:
    SaverCanvas(QWidget* parent, const QImage* image) : QWidget(parent), image_(image) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        const QRect r = event->rect();
        if (image_->isNull() || width() <= 0 || height() <= 0) {
            p.fillRect(r, Qt::black);
            return;
        }
        // The image is in device pixels; drawn into the logical rectangle it
        // lands one to one on the screen's pixels. Only the part asked for
        // is drawn, so a transition step costs what it changed.
        const qreal sx = qreal(image_->width()) / width();
        const qreal sy = qreal(image_->height()) / height();
        p.drawImage(QRectF(r), *image_,
                    QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy));
    }

private:
    const QImage* image_;
};

// Where no canvas lies (the margins, a monitor taken away) the window is
// black: painted so, or the old pixels would stay in the backing store.
inline void paintBlack(QWidget& window, const QRegion& region) {
    QPainter p(&window);
    for (const QRect& r : region)
        p.fillRect(r, Qt::black);
}

// A black, borderless window over the monitors of an X screen other than
// the primary one's (on Wayland: over one output other than the primary).
// Its input ends the saver like the saver window's.
class ScreenWindow : public QWidget {
public:
    ScreenWindow(frmSaver& saver, Qt::WindowFlags flags);
    QString group; // the monitors' window group

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    frmSaver& saver_;
};

struct frmSaver::Surface {
    platform::Monitor monitor; // empty name and geometry: the whole window
    bool whole = false;
    PictureChange* change = nullptr;
    std::unique_ptr<PictureChange> own; // every change but the primary's
    QPointer<SaverCanvas> widget;       // a child of its window
    QWidget* window = nullptr;
    SaverLayout layout;
    qreal scale = 0;
    bool laidOut = false;

    ~Surface() {
        if (change)
            change->drawRequested = nullptr;
        own.reset();
        delete widget.data();
    }
};

} // namespace skyloom::saver
