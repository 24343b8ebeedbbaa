#include "frmSaver.h"

#include "Cursor.h"
#include "SaverCanvas.h"
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
    change_.memoryStatus = [this](const QString& text) { setMemoryStatus(text); };
    change_.pictureShown = [this](PictureChange&) {
        if (pictureShown)
            pictureShown(*this);
    };
}

frmSaver::~frmSaver() {
    if (declaredRunning_)
        platform::setScreenSaverRunning(false);
    // The other monitors' changes and windows go before the primary's.
    surfaces_.clear();
    screenWindows_.clear();
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
    // Every monitor takes its pictures from this one hand-out.
    const SaverSettings& s = change_.settings();
    handOut_ = std::make_shared<PictureHandOut>(s.szScrIni, s.bUseAll, clockSeededRandom(),
                                                s.bSameOnAllScreens);
    change_.setHandOut(handOut_);
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

void frmSaver::coverScreens() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || offscreen_)
        return;
    if (debugMode())
        setGeometry(screen->geometry());
    else if (embedded_)
        setGeometry(QRect(QPoint(0, 0), screen->virtualSize()));
    else if (platform::compositorPlacesWindows()) {
        // One full-screen window per output: this one on the primary
        // output, the others' windows come with their canvases.
        if (windowHandle() && windowHandle()->screen() != screen)
            windowHandle()->setScreen(screen);
        else if (!windowHandle())
            setScreen(screen);
        setGeometry(screen->geometry());
    } else {
        // A monitor taken away leaves its part covered in black: shrunk,
        // the window would leave behind it whatever the screen last showed
        // there (the composite overlay keeps the old pixels).
        coveredArea_ = coveredArea_.united(screen->virtualGeometry());
        setGeometry(coveredArea_);
    }
    if (cover_)
        cover_->setArea(geometry());
    syncSurfaces();
}

void frmSaver::showModal() {
    Form_Load();
    coverScreens();
    if (!offscreen_ && !debugMode()) {
        // Monitors plugged in or out while the saver runs are covered and
        // get pictures at once; a burst of changes is taken as one.
        watch_ = std::make_unique<platform::MonitorWatch>();
        monitorsChanged_.setSingleShot(true);
        monitorsChanged_.setInterval(100);
        connect(&monitorsChanged_, &QTimer::timeout, this, &frmSaver::coverScreens);
        connect(watch_.get(), &platform::MonitorWatch::changed, &monitorsChanged_,
                qOverload<>(&QTimer::start));
    }
    const auto mem = platform::globalMemoryStatus();
    lblStartMem_->setText(
        QString::fromStdString(startMemoryText(mem.totalPhysical, mem.availablePhysical)));
    lblStartMem_->adjustSize();
    showCovering(*this);
    raise();
    activateWindow();
    for (const auto& w : screenWindows_) {
        showCovering(*w);
        w->raise();
    }
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
    started_ = true;
    for (PictureChange* c : changes())
        c->start();
    if (unloaded_)
        return;
    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
}

void frmSaver::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    lblMemStatus_->move(0, lblStartMem_->height());
    if (surfaces_.empty())
        syncSurfaces();
    else
        layoutSurfaces();
}

void frmSaver::paintEvent(QPaintEvent* event) {
    paintBlack(*this, event->region());
}

void frmSaver::setMemoryStatus(const QString& text) {
    lblMemStatus_->setText(text);
    lblMemStatus_->adjustSize();
}

void frmSaver::holdClocks(bool hold) {
    for (PictureChange* c : changes())
        c->holdClocks(hold);
}

bool frmSaver::PasswordCheck() {
    const std::vector<PictureChange*> all = changes();
    std::vector<PictureChange::Clocks> running;
    for (PictureChange* c : all)
        running.push_back(c->stopClocks());
    RestoreCursor();
    if (!change_.settings().bUsePassword)
        return true;
    // Without a verifier nothing unlocks a protected saver.
    if (passwordCheck && passwordCheck())
        return true;
    HideCursor();
    for (std::size_t i = 0; i < all.size(); ++i)
        all[i]->restartClocks(running[i]);
    return false;
}

void frmSaver::CloseSaver() {
    for (PictureChange* c : changes())
        c->Abort();
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
    for (PictureChange* c : changes())
        c->Abort();
    watch_.reset();
    monitorsChanged_.stop();
    for (const auto& w : screenWindows_)
        w->hide();
    cover_.reset(); // before the window goes, or it would be put back
    releaseKeyboard();
    // A picture being prepared stops at its next row; the windows are gone
    // first, so the user does not wait for it.
    hide();
    for (PictureChange* c : changes())
        c->waitForPreparation();
    // The work file of the picture preparation; only inside a known folder.
    const std::string& folder = change_.settings().szImagePath;
    if (!folder.empty())
        std::remove((folder + "sstemp.bmp").c_str());
    platform::setScreenSaverRunning(false);
}

} // namespace skyloom::saver
