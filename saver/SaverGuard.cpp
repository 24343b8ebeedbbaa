#include "SaverGuard.h"

#include "Cursor.h"
#include "common/Log.h"
#include "platform/MessageBox.h"
#include "platform/Monitors.h"
#include "platform/Registry.h"
#include "platform/ScreenLocker.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cstdio>

namespace skyloom::saver {

// The prompt: a native child window, so it can be raised above the
// renderer's window inside the guard.
class PromptPanel : public QWidget {
public:
    PromptPanel(QWidget* parent, const PasswordPrompt& prompt) : QWidget(parent), prompt_(prompt) {
        setObjectName("PasswordPrompt");
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFixedSize(460, 150);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(24, 24, 32));
        p.setPen(QColor(90, 90, 110));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        QFont font("Liberation Sans");
        font.setPixelSize(15);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRect(20, 14, width() - 40, 24), Qt::AlignLeft,
                   QCoreApplication::translate("skyloom::saver::SaverGuard",
                                               "Type your password to end the screen saver."));
        const QRect field(20, 48, width() - 40, 30);
        p.fillRect(field, QColor(250, 250, 250));
        p.setPen(Qt::black);
        const int shown = std::min(prompt_.typedLength(), 40);
        p.drawText(field.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QString(shown, QChar(0x25CF)));
        p.setPen(QColor(255, 200, 120));
        const QString message =
            prompt_.checking()
                ? QCoreApplication::translate("skyloom::saver::SaverGuard", "Checking...")
                : QString::fromStdString(prompt_.message());
        p.drawText(QRect(20, 90, width() - 40, 44), Qt::AlignLeft | Qt::TextWordWrap, message);
    }

private:
    const PasswordPrompt& prompt_;
};

namespace {

constexpr int kMaxRestartsPerMinute = 20;
constexpr int kPromptIdleMs = 30000;

} // namespace

SaverGuard::SaverGuard(QWidget* parent) : QWidget(parent), locker_(platform::makeScreenLocker()) {
    setObjectName("frmGuard");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::BypassWindowManagerHint);
    setAttribute(Qt::WA_NativeWindow);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);
    panel_ = new PromptPanel(this, prompt_);
    if (locker_) {
        locker_->inputLost = [this] { grabAgain(); };
        locker_->coverLost = [this] {
            // Without a cover the pictures stop at once; then the cover is
            // built anew (later: this runs inside the cover's own event
            // handling).
            restartTimer_.stop();
            stopRenderer();
            QTimer::singleShot(0, this, &SaverGuard::rebuildCover);
        };
        locker_->rendererStarted = [this] {
            if (prompt_.isOpen())
                tellRenderer("hold");
        };
        locker_->rendererSaid = [this](const std::string& line) { readRenderer(line); };
        locker_->rendererEnded = [this] { onRendererFinished(); };
    }

    restartTimer_.setSingleShot(true);
    restartTimer_.setInterval(1000);
    connect(&restartTimer_, &QTimer::timeout, this, &SaverGuard::startRenderer);
    promptIdle_.setSingleShot(true);
    promptIdle_.setInterval(kPromptIdleMs);
    connect(&promptIdle_, &QTimer::timeout, this, [this] {
        if (!prompt_.checking())
            closePrompt();
    });
    // Another program that unmaps the cover for a moment breaks the grabs;
    // they are taken again when the cover is back, and checked every second.
    lockoutTick_.setInterval(1000);
    connect(&lockoutTick_, &QTimer::timeout, this, [this] {
        if (prompt_.isOpen())
            showLockout();
        else
            lockoutTick_.stop();
    });
    regrab_.setInterval(1000);
    connect(&regrab_, &QTimer::timeout, this, &SaverGuard::grabAgain);
    clock_.start();
}

SaverGuard::~SaverGuard() {
    if (check_.joinable())
        check_.join();
    stopRenderer();
}

void SaverGuard::coverScreens() {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary)
        return;
    setGeometry(primary->virtualGeometry());
    const QRect p = primary->geometry().translated(-primary->virtualGeometry().topLeft());
    // Kept here rather than read back from the panel: Qt follows whatever
    // geometry another program gives the panel's window.
    const QSize size = panel_->minimumSize();
    promptRect_ =
        QRect(QPoint(p.center().x() - size.width() / 2, p.center().y() - size.height() / 2), size);
    panel_->setGeometry(promptRect_);
    if (locker_) {
        locker_->setArea(geometry());
        locker_->setPrompt(promptWindow(), promptRect_, panel_->isVisible());
    }
    coverOtherScreens();
}

void SaverGuard::coverOtherScreens() {
    const std::vector<platform::Monitor> monitors = platform::listMonitors();
    const int primary = monitors.empty() ? 0 : monitors.front().screenNumber;
    std::vector<std::unique_ptr<QWidget>> kept;
    for (const platform::Monitor& m : monitors) {
        if (m.screenNumber == primary)
            continue;
        const auto known = std::find_if(kept.begin(), kept.end(), [&m](const auto& w) {
            return w->property("screenNumber").toInt() == m.screenNumber;
        });
        if (known != kept.end())
            continue;
        QRect area;
        for (const platform::Monitor& o : monitors)
            if (o.screenNumber == m.screenNumber)
                area = area.united(o.geometry);
        auto old = std::find_if(screenCovers_.begin(), screenCovers_.end(), [&m](const auto& w) {
            return w && w->property("screenNumber").toInt() == m.screenNumber;
        });
        std::unique_ptr<QWidget> w;
        if (old != screenCovers_.end()) {
            w = std::move(*old);
        } else {
            w = std::make_unique<QWidget>(nullptr, windowFlags());
            w->setObjectName("frmGuardScreen");
            w->setProperty("screenNumber", m.screenNumber);
            w->setPalette(palette());
            w->setAutoFillBackground(true);
            if (m.screen)
                w->setScreen(m.screen);
        }
        w->setGeometry(area);
        w->show();
        w->raise();
        kept.push_back(std::move(w));
    }
    screenCovers_ = std::move(kept);
}

QWindow* SaverGuard::promptWindow() {
    panel_->winId(); // makes the native window when there is none yet
    return panel_->windowHandle();
}

void SaverGuard::tellRenderer(const char* command) {
    if (locker_)
        locker_->tellRenderer(command);
}

void SaverGuard::showPrompt(bool shown) {
    // No picture change while the user is asked; the pictures go on where
    // they were when the prompt closes without unlocking.
    tellRenderer(shown ? "hold" : "release");
    // The cover must know first: it would map a hidden prompt again, or
    // leave a shown one to whoever unmaps it.
    if (locker_)
        locker_->setPrompt(promptWindow(), promptRect_, shown);
    panel_->setVisible(shown);
    if (shown)
        panel_->raise();
}

bool SaverGuard::startCover() {
    winId(); // makes the native window when there is none yet
    return locker_->cover(windowHandle(), geometry());
}

void SaverGuard::rebuildCover() {
    if (unlocked_)
        return;
    // Another program destroyed the window (or the overlay it lived in):
    // Qt's window is gone on the server, so a new one takes its place.
    logWarning("saver", "the screen cover was destroyed; covering the screen again");
    locker_->uncover();
    stopRenderer();
    destroy(true, true);
    create();
    show();
    raise();
    QCoreApplication::processEvents();
    if (!startCover())
        return;
    coverScreens();
    if (prompt_.isOpen())
        showPrompt(true);
    grabAgain();
    startRenderer();
}

void SaverGuard::grabAgain() {
    if (unlocked_ || !locker_)
        return;
    if (!locker_->grabAgain())
        logWarning("saver", "another program holds the keyboard or the pointer; trying again");
}

bool SaverGuard::grabInput() {
    if (!locker_->grabInput())
        return false;
    grabKeyboard(); // and route every key to this widget inside Qt
    return true;
}

bool SaverGuard::run() {
    if (!locker_) {
        std::fprintf(stderr,
                     "skyloom: password protection needs an X11 session; it is not "
                     "available on this desktop (%s). The saver does not start.\n",
                     qPrintable(QGuiApplication::platformName()));
        return false;
    }
    if (std::string why; !platform::passwordVerifierReady(why)) {
        // Said where the user looks, not only on stderr: the screen does not
        // lock although "Password protected" is on.
        //: %1 is why no password could end the lock, a clause that follows "but".
        platform::MessageBox(tr("Password protection is on, but %1. The screen saver does not "
                                "start, so the screen is not locked.")
                                 .arg(QString::fromStdString(why))
                                 .toStdString());
        return false;
    }
    platform::ignoreEndingSignals();
    coverScreens();
    show();
    raise();
    QCoreApplication::processEvents();
    if (!startCover()) {
        std::fprintf(stderr, "skyloom: cannot watch the screen cover; the saver does not "
                             "start rather than pretend to lock.\n");
        hide();
        return false;
    }
    coverScreens();
    if (!grabInput()) {
        std::fprintf(stderr,
                     "skyloom: another program holds the keyboard or the pointer, so the screen "
                     "cannot be locked; the saver does not start rather than pretend to lock.\n");
        hide();
        return false;
    }
    platform::setScreenSaverRunning(true);
    regrab_.start();
    logInfo("saver", "screen locked");
    HideCursor();
    auto recover = [this] {
        coverScreens();
        stopRenderer();
        startRenderer();
    };
    connect(qApp, &QGuiApplication::screenAdded, this, recover);
    if (QScreen* s = QGuiApplication::primaryScreen())
        connect(s, &QScreen::virtualGeometryChanged, this, recover);
    startRenderer();

    QEventLoop loop;
    loop_ = &loop;
    loop.exec();
    loop_ = nullptr;
    platform::setScreenSaverRunning(false);
    return true;
}

void SaverGuard::startRenderer() {
    if (stopping_ || !locker_ || locker_->rendererActive())
        return;
    if (!locker_->startRenderer({QCoreApplication::applicationFilePath().toStdString(), "/s"}))
        return;
    logInfo("saver", "picture renderer started");
    if (panel_->isVisible())
        panel_->raise();
}

void SaverGuard::stopRenderer() {
    if (locker_)
        locker_->stopRenderer();
}

void SaverGuard::onRendererFinished() {
    if (stopping_)
        return;
    // The screen stays covered by the guard; draw pictures again soon, but
    // do not spin when the renderer cannot run at all.
    const qint64 now = clock_.elapsed();
    restarts_.push_back(now);
    while (!restarts_.empty() && now - restarts_.front() > 60000)
        restarts_.pop_front();
    if (static_cast<int>(restarts_.size()) > kMaxRestartsPerMinute) {
        logWarning("saver", "the picture renderer keeps failing; the screen stays black");
        restartTimer_.start(60000);
        return;
    }
    logWarning("saver", "the picture renderer ended; starting it again");
    restartTimer_.start();
}

void SaverGuard::readRenderer(const std::string& text) {
    const QString line = QString::fromStdString(text).trimmed();
    const QStringList f = line.split('\t');
    if (line == "shown" && panel_->isVisible()) {
        // A new renderer window lies above the prompt: lift the prompt
        // again once the window is mapped.
        panel_->raise();
        QTimer::singleShot(200, panel_, [this] { panel_->raise(); });
    } else if (f.size() == 7 && f[0] == "links") {
        links_.pictureUrl = f[1].toStdString();
        links_.setUrl = f[2].toStdString();
        links_.companyUrl = f[3].toStdString();
        links_.saverUrl = f[4].toStdString();
        links_.webLinkEnabled = f[5] == "1";
        links_.saverWebLinkEnabled = f[6] == "1";
    }
}

void SaverGuard::askForPassword(int pendingKey) {
    if (prompt_.isOpen())
        return;
    pendingKey_ = pendingKey;
    prompt_.open();
    showLockout();
    showPrompt(true);
    panel_->update();
    promptIdle_.start();
    logInfo("saver", "password prompt open");
}

void SaverGuard::showLockout() {
    // Counts down each second while the prompt is open; the notice goes
    // when the prompt takes passwords again.
    const long long left = gate_.lockRemaining().count();
    if (left > 0) {
        prompt_.setMessage(lockoutMessage(left));
        if (!lockoutTick_.isActive())
            lockoutTick_.start();
    } else {
        if (lockoutTick_.isActive())
            prompt_.setMessage({});
        lockoutTick_.stop();
    }
    panel_->update();
}

void SaverGuard::closePrompt() {
    if (prompt_.isOpen())
        logInfo("saver", "password prompt closed");
    prompt_.close();
    showPrompt(false);
    promptIdle_.stop();
    mouse_.reset();
    pendingKey_ = 0;
}

void SaverGuard::submit() {
    std::string password = prompt_.takePassword();
    prompt_.setChecking(true);
    panel_->update();
    promptIdle_.stop();
    if (check_.joinable())
        check_.join();
    check_ = std::thread([this, password = std::move(password)]() mutable {
        const auto result = gate_.verify(password);
        std::fill(password.begin(), password.end(), '\0');
        QMetaObject::invokeMethod(
            this, [this, result] { onChecked(result); }, Qt::QueuedConnection);
    });
}

void SaverGuard::onChecked(platform::PasswordGate::Result result) {
    prompt_.setChecking(false);
    using R = platform::PasswordGate::Result;
    if (result == R::Accepted) {
        unlock();
        return;
    }
    if (result == R::LockedOut)
        showLockout();
    else
        prompt_.setMessage(tr("Wrong password. Try again.").toStdString());
    logInfo("saver", "password refused");
    panel_->update();
    promptIdle_.start();
}

void SaverGuard::unlock() {
    if (unlocked_)
        return;
    unlocked_ = true;
    stopping_ = true;
    const std::string url = urlForKey(pendingKey_, links_);
    closePrompt();
    restartTimer_.stop();
    regrab_.stop();
    if (locker_)
        locker_->uncover(); // before hiding, or the cover would be put back
    stopRenderer();
    releaseKeyboard();
    if (locker_)
        locker_->releaseInput();
    if (!url.empty())
        platform::openUrl(url);
    screenCovers_.clear();
    hide();
    if (loop_)
        loop_->quit();
}

void SaverGuard::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (!prompt_.isOpen()) {
        int ch = 0;
        if (key == Qt::Key_Tab)
            ch = kKeyTab;
        else if (key == Qt::Key_Escape)
            ch = kKeyEsc;
        if (ch || key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt ||
            !event->text().isEmpty())
            askForPassword(ch);
        return;
    }
    PasswordPrompt::Key k = PasswordPrompt::Key::Other;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        k = PasswordPrompt::Key::Enter;
    else if (key == Qt::Key_Escape)
        k = PasswordPrompt::Key::Escape;
    else if (key == Qt::Key_Backspace)
        k = PasswordPrompt::Key::Backspace;
    switch (prompt_.key(k, event->text().toStdString())) {
    case PasswordPrompt::Outcome::Submit:
        submit();
        break;
    case PasswordPrompt::Outcome::Cancel:
        closePrompt();
        break;
    case PasswordPrompt::Outcome::None:
        panel_->update();
        promptIdle_.start();
        break;
    }
}

void SaverGuard::mousePressEvent(QMouseEvent*) {
    askForPassword(0);
}

void SaverGuard::mouseMoveEvent(QMouseEvent* event) {
    if (prompt_.isOpen())
        return;
    const QPoint p = event->position().toPoint();
    if (mouse_.moved(p.x(), p.y()))
        askForPassword(0);
}

} // namespace skyloom::saver
