#include "frmSaver.h"

#include "Cursor.h"
#include "common/Log.h"
#include "platform/Registry.h"
#include "platform/ScreenCover.h"
#include "platform/System.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <cstdio>

namespace skyloom::saver {

// The visible canvas: shows the off-screen image it is given.
class SaverCanvas : public QWidget {
public:
    SaverCanvas(QWidget* parent, const QImage* image) : QWidget(parent), image_(image) {
        setObjectName("picDisp");
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

frmSaver::frmSaver(QWidget* parent) : QWidget(parent) {
    setObjectName("frmSaver");
    Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint;
    if (!debugMode()) {
        // Above everything and outside the window manager's control, so one
        // window can span every screen.
        flags |= Qt::WindowStaysOnTopHint | Qt::BypassWindowManagerHint;
    }
    setWindowFlags(flags);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);

    // The diagnostics sit at the top-left corner under the canvas: they show
    // only in the margin around a centred canvas.
    lblStartMem_ = new QLabel(this);
    lblStartMem_->setObjectName("lblStartMem");
    lblMemStatus_ = new QLabel(this);
    lblMemStatus_->setObjectName("lblMemStatus");
    for (QLabel* l : {lblStartMem_, lblMemStatus_}) {
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->setPalette(pal);
        l->move(0, 0);
    }
    picDisp_ = new SaverCanvas(this, &change_.canvas());
    change_.drawRequested = [this](const QRegion& part) { canvasChanged(part); };
    change_.memoryStatus = [this](const QString& text) { setMemoryStatus(text); };
    change_.pictureShown = [this](PictureChange&) {
        if (pictureShown)
            pictureShown(*this);
    };
}

frmSaver::~frmSaver() {
    if (declaredRunning_)
        platform::setScreenSaverRunning(false);
}

void frmSaver::InitiSaver(const SaverSettings& settings, bool bAsMinutes) {
    change_.InitiSaver(settings, bAsMinutes);
}

void frmSaver::Form_Load() {
    // A lock's picture renderer leaves this to the guard, which outlives it.
    if (!debugMode() && !embedded_) {
        platform::setScreenSaverRunning(true);
        declaredRunning_ = true;
    }
    change_.Load(platform::GetProgramPath());
}

void frmSaver::embedInto(WId parent) {
    embedded_ = true;
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    host_ = QWindow::fromWinId(parent);
    winId();
    windowHandle()->setParent(host_);
}

void frmSaver::setOffscreen(const QSize& size) {
    offscreen_ = true;
    setAttribute(Qt::WA_DontShowOnScreen);
    resize(size);
}

QRect frmSaver::primaryArea() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || offscreen_ || debugMode())
        return rect();
    // The window spans the whole desktop; the pictures go on the primary
    // screen, the other screens stay black.
    return screen->geometry().translated(-screen->virtualGeometry().topLeft()).intersected(rect());
}

void frmSaver::coverScreens() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || offscreen_)
        return;
    if (debugMode())
        setGeometry(screen->geometry());
    else if (embedded_)
        setGeometry(QRect(QPoint(0, 0), screen->virtualSize()));
    else
        setGeometry(screen->virtualGeometry());
    if (cover_)
        cover_->setArea(geometry());
}

void frmSaver::showModal() {
    Form_Load();
    coverScreens();
    if (!offscreen_ && !debugMode()) {
        // Screens plugged in or out while the saver runs are covered at once.
        connect(qApp, &QGuiApplication::screenAdded, this, &frmSaver::coverScreens);
        connect(qApp, &QGuiApplication::screenRemoved, this, &frmSaver::coverScreens);
        connect(qApp, &QGuiApplication::primaryScreenChanged, this, &frmSaver::coverScreens);
        if (QScreen* s = QGuiApplication::primaryScreen())
            connect(s, &QScreen::virtualGeometryChanged, this, &frmSaver::coverScreens);
    }
    const auto mem = platform::globalMemoryStatus();
    lblStartMem_->setText(
        QString::fromStdString(startMemoryText(mem.totalPhysical, mem.availablePhysical)));
    lblStartMem_->adjustSize();
    show();
    raise();
    activateWindow();
    if (!debugMode() && !embedded_ && !offscreen_) {
        // A saver owns the keyboard: keys end it whatever window had focus.
        grabKeyboard();
        if (QGuiApplication::platformName() == "xcb") {
            cover_ = std::make_unique<platform::ScreenCover>(winId(), geometry());
            if (!cover_->start(true))
                cover_.reset();
        }
    }
    // Tests and bug reports follow the saver's progress by these lines.
    logInfo("saver", "window shown");
    if (shown)
        shown();
    change_.start();
    if (unloaded_)
        return;
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
}

void frmSaver::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The canvas is laid out in device pixels: a 3840 x 2160 screen at 200 %
    // gets a canvas of its real size, not a quarter of it scaled up.
    const QRect area = primaryArea();
    const qreal dpr = devicePixelRatioF();
    layout_ = computeLayout(qRound(area.width() * dpr), qRound(area.height() * dpr),
                            change_.settings().bStretch2Fit);
    const Rect& r = layout_.picDisp;
    picDisp_->setGeometry(
        QRectF(area.x() + r.x / dpr, area.y() + r.y / dpr, r.width / dpr, r.height / dpr).toRect());
    lblMemStatus_->move(0, lblStartMem_->height());
    // The blending effects draw one frame per refresh of the screen.
    if (const QScreen* s = screen())
        change_.setFrameInterval(screenFrameInterval(s->refreshRate()));
    change_.setCanvas(layout_, dpr); // asks for the whole canvas to be painted
}

void frmSaver::canvasChanged(const QRegion& part) {
    const QImage& c = canvas();
    if (c.width() <= 0 || c.height() <= 0)
        return;
    // Canvas pixels to the widget's logical pixels, rounded outwards.
    const qreal sx = qreal(picDisp_->width()) / c.width();
    const qreal sy = qreal(picDisp_->height()) / c.height();
    QRegion logical;
    for (const QRect& r : part)
        logical += QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy).toAlignedRect();
    picDisp_->update(logical);
    if (canvasDrawn)
        canvasDrawn();
}

void frmSaver::setMemoryStatus(const QString& text) {
    lblMemStatus_->setText(text);
    lblMemStatus_->adjustSize();
}

bool frmSaver::PasswordCheck() {
    const PictureChange::Clocks running = change_.stopClocks();
    RestoreCursor();
    if (!change_.settings().bUsePassword)
        return true;
    // Without a verifier nothing unlocks a protected saver.
    if (passwordCheck && passwordCheck())
        return true;
    HideCursor();
    change_.restartClocks(running);
    return false;
}

void frmSaver::CloseSaver() {
    change_.Abort();
    close();
}

void frmSaver::keyPressEvent(QKeyEvent* event) {
    if (embedded_)
        return;
    const int key = event->key();
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt) {
        if (PasswordCheck())
            CloseSaver();
        return;
    }
    int ch = 0;
    if (key == Qt::Key_Tab)
        ch = kKeyTab;
    else if (key == Qt::Key_Escape)
        ch = kKeyEsc;
    else if (!event->text().isEmpty())
        ch = event->text().at(0).unicode();
    if (ch == 0)
        return; // keys without a character (arrows, function keys) are ignored
    if (!PasswordCheck())
        return;
    const std::string url = urlForKey(ch, change_.webLinks());
    if (!url.empty())
        platform::openUrl(url);
    CloseSaver();
}

void frmSaver::mousePressEvent(QMouseEvent*) {
    if (embedded_)
        return;
    if (PasswordCheck())
        CloseSaver();
}

void frmSaver::mouseMoveEvent(QMouseEvent* event) {
    if (debugMode() || embedded_)
        return;
    const QPoint p = event->position().toPoint();
    if (!mouse_.moved(p.x(), p.y()))
        return;
    const bool ok = PasswordCheck();
    mouse_.reset();
    if (ok)
        CloseSaver();
}

void frmSaver::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
    if (loop_)
        loop_->quit();
}

void frmSaver::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    change_.Abort();
    cover_.reset(); // before the window goes, or it would be put back
    releaseKeyboard();
    // The work file of the picture preparation; only inside a known folder.
    const std::string& folder = change_.settings().szImagePath;
    if (!folder.empty())
        std::remove((folder + "sstemp.bmp").c_str());
    platform::setScreenSaverRunning(false);
}

} // namespace skyloom::saver
