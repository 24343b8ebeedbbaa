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
    picDispDC_ = std::make_unique<graphics::DeviceContext>(1, 1);
    picStretchDC_ = std::make_unique<graphics::DeviceContext>(0, 0);
    picConvertDC_ = std::make_unique<graphics::DeviceContext>(0, 0);
    picDisp_ = new SaverCanvas(this, &picDispDC_->image());

    tmrTrans_.setObjectName("tmrTrans");
    tmrTrans_.setInterval(1);
    connect(&tmrTrans_, &QTimer::timeout, this, &frmSaver::onTick);
    tmrInfo_.setObjectName("tmrInfo");
    tmrInfo_.setInterval(100);
    connect(&tmrInfo_, &QTimer::timeout, this, &frmSaver::infoTick);
    tmrPan_.setObjectName("tmrPan");
    tmrPan_.setTimerType(Qt::PreciseTimer);
    connect(&tmrPan_, &QTimer::timeout, this, &frmSaver::panStep);
    tmrStep_.setSingleShot(true);
    tmrStep_.setTimerType(Qt::PreciseTimer);
    tmrStep_.setInterval(kTransitionStepMs);
    connect(&tmrStep_, &QTimer::timeout, this, &frmSaver::transitionStep);
}

frmSaver::~frmSaver() {
    if (declaredRunning_)
        platform::setScreenSaverRunning(false);
}

void frmSaver::InitiSaver(const SaverSettings& settings, bool bAsMinutes) {
    settings_ = settings;
    settings_.bPreset = true;
    if (bAsMinutes)
        settings_.nTimeBetween *= 60;
    buildPlayList(false);
}

void frmSaver::buildPlayList(bool fallBackToAllSets) {
    const imagesets::PlayListSource source{settings_.szImagePath, settings_.szINI,
                                           settings_.nTimeBetween};
    if (fallBackToAllSets) {
        const auto choice =
            imagesets::ChoosePlayList(playList_, source, settings_.bUseAll, settings_.szCurrentSet);
        settings_.bListFromAllSets = choice.fromAllSets;
        settings_.bUseAll = choice.fromAllSets;
        titlePage_ = choice.title;
        return;
    }
    // The dialog's preview shows exactly what it asked for: no fall-back.
    playList_.Clear();
    settings_.bListFromAllSets = settings_.bUseAll;
    titlePage_ = settings_.bUseAll
                     ? imagesets::BuildAllSetsPlayList(playList_, source)
                     : imagesets::BuildSetPlayList(playList_, source, settings_.szCurrentSet);
}

void frmSaver::Form_Load() {
    loaded_ = true;
    // A lock's picture renderer leaves this to the guard, which outlives it.
    if (!debugMode() && !embedded_) {
        platform::setScreenSaverRunning(true);
        declaredRunning_ = true;
    }
    abort_ = false;
    if (settings_.bPreset) {
        settings_.bSetUp = true;
    } else {
        settings_ = loadSaverSettings(platform::GetProgramPath());
        buildPlayList(true);
    }
    clock_ = SaverClock(settings_.bSetUp, settings_.nTimeBetween);
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
    tmrTrans_.start();
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
                            settings_.bStretch2Fit);
    const Rect& r = layout_.picDisp;
    picDisp_->setGeometry(
        QRectF(area.x() + r.x / dpr, area.y() + r.y / dpr, r.width / dpr, r.height / dpr).toRect());
    picDispDC_->resize(std::max(1, r.width), std::max(1, r.height));
    trans_.InitTrasitions(picDispDC_->hdc(), picDispDC_->width(), picDispDC_->height(),
                          settings_.szImagePath);
    trans_.BlindSize(layout_.blindSize);
    // The text panels are darkened with black of the canvas's size: the
    // panel, and a title strip of a long title, never reach beyond it.
    hDescBitmap_.reset(rasterkit::CreateBitMap(picDispDC_->width(), picDispDC_->height(), 0, 0, 0));
    lblMemStatus_->move(0, lblStartMem_->height());
    if (loaded_ && settings_.bSetUp)
        printOnCanvas({tr("Initializing Screen Saver...")}, Qt::white, false);
    canvasChanged();
}

void frmSaver::canvasChanged() {
    picDisp_->update();
    if (canvasDrawn)
        canvasDrawn();
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

void frmSaver::printOnCanvas(const QStringList& lines, const QColor& colour, bool clearFirst) {
    QPainter p(&canvas());
    QFont font("Liberation Sans");
    font.setPixelSize(qRound(16 * devicePixelRatioF()));
    font.setBold(true);
    p.setFont(font);
    const QFontMetrics fm(font);
    int width = 0;
    for (const QString& l : lines)
        width = std::max(width, fm.horizontalAdvance(l));
    const QRect area(0, 0, width + 2, fm.lineSpacing() * static_cast<int>(lines.size()) + 2);
    if (clearFirst)
        p.fillRect(area, Qt::black);
    p.setPen(colour);
    int y = fm.ascent();
    for (const QString& l : lines) {
        p.drawText(0, y, l);
        y += fm.lineSpacing();
    }
    p.end();
    canvasChanged();
}

void frmSaver::drawNotice() {
    const int g = clock_.grey();
    printOnCanvas(tr("Screen Saver has not been set up.\nPlease select 'Settings' from the\n"
                     "Properties Dialog.")
                      .split(u'\n'),
                  QColor(g, g, g), true);
}

void frmSaver::onTick() {
    switch (clock_.tick()) {
    case SaverClock::Action::DoTrans:
        DoTrans();
        break;
    case SaverClock::Action::DrawNotice:
        drawNotice();
        break;
    case SaverClock::Action::None:
        break;
    }
    if (clock_.requestedInterval() > 0 && tmrTrans_.interval() != clock_.requestedInterval())
        tmrTrans_.setInterval(clock_.requestedInterval());
}

bool frmSaver::PasswordCheck() {
    const bool transOn = tmrTrans_.isActive();
    const bool infoOn = tmrInfo_.isActive();
    tmrTrans_.stop();
    tmrInfo_.stop();
    RestoreCursor();
    if (!settings_.bUsePassword)
        return true;
    // Without a verifier nothing unlocks a protected saver.
    if (passwordCheck && passwordCheck())
        return true;
    HideCursor();
    if (transOn)
        tmrTrans_.start();
    if (infoOn)
        tmrInfo_.start();
    return false;
}

void frmSaver::holdClocks(bool hold) {
    if (hold == clocksHeld_)
        return;
    if (hold) {
        transDue_ = tmrTrans_.isActive();
        infoDue_ = tmrInfo_.isActive();
        tmrTrans_.stop();
        tmrInfo_.stop();
        clocksHeld_ = true;
        logInfo("saver", "picture clocks stopped");
        return;
    }
    clocksHeld_ = false;
    if (unloaded_)
        return;
    if (transDue_)
        tmrTrans_.start();
    if (infoDue_)
        tmrInfo_.start();
    logInfo("saver", "picture clocks running again");
}

void frmSaver::startClock(QTimer& clock) {
    if (!clocksHeld_) {
        clock.start();
        return;
    }
    (&clock == &tmrTrans_ ? transDue_ : infoDue_) = true;
}

void frmSaver::CloseSaver() {
    abort_ = true;
    rasterkit::KillFilter();
    tmrTrans_.stop();
    tmrInfo_.stop();
    tmrStep_.stop();
    tmrPan_.stop();
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
    const std::string url = urlForKey(ch, links_);
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
    abort_ = true;
    cover_.reset(); // before the window goes, or it would be put back
    tmrTrans_.stop();
    tmrInfo_.stop();
    tmrStep_.stop();
    tmrPan_.stop();
    releaseKeyboard();
    // The work file of the picture preparation; only inside a known folder.
    if (!settings_.szImagePath.empty())
        std::remove((settings_.szImagePath + "sstemp.bmp").c_str());
    platform::setScreenSaverRunning(false);
}

} // namespace skyloom::saver
