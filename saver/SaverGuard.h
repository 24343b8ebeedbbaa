#pragma once
// The lock of a password-protected saver on X11.
//
// A small process owns the keyboard and pointer grabs and a black window
// over every screen, and checks the password. The pictures are drawn by a
// second process (the renderer: this program again, told by
// SKYLOOM_RENDER_INTO which window to draw into) whose window lies inside the
// guard's. If the renderer crashes or is killed, the guard's black window
// still covers the screen and a new renderer is started; only an accepted
// password ends the guard.

#include "PasswordPrompt.h"
#include "SaverLogic.h"
#include "platform/Password.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <memory>
#include <thread>

class QEventLoop;

namespace skyloom::platform {
class ScreenCover;
}

namespace skyloom::saver {

class PromptPanel;

class SaverGuard : public QWidget {
    Q_OBJECT
public:
    explicit SaverGuard(QWidget* parent = nullptr);
    ~SaverGuard() override;

    /// Locks the screen until the password is accepted. False (with the
    /// reason on stderr) when the screen could not be locked.
    bool run();

    /// Ignores every signal that could end the guard (all but SIGKILL and
    /// SIGSTOP, which cannot be caught).
    static void ignoreSignals();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    bool grabInput();
    void grabAgain();
    bool startCover();
    void rebuildCover();
    void showPrompt(bool shown);
    void tellRenderer(const char* command);
    void coverScreens();
    void startRenderer();
    void stopRenderer();
    void onRendererFinished();
    void readRenderer();
    void askForPassword(int pendingKey);
    void submit();
    void onChecked(platform::PasswordGate::Result result);
    void closePrompt();
    void showLockout();
    void unlock();

    PasswordPrompt prompt_;
    PromptPanel* panel_ = nullptr;
    QProcess* renderer_ = nullptr;
    QTimer restartTimer_;
    QTimer promptIdle_;
    QTimer regrab_;
    QTimer lockoutTick_;
    std::unique_ptr<platform::ScreenCover> cover_;
    QRect promptRect_;
    std::deque<qint64> restarts_;
    QElapsedTimer clock_;
    platform::PasswordGate gate_;
    std::thread check_;
    MouseTracker mouse_;
    WebLinks links_;
    int pendingKey_ = 0;
    bool stopping_ = false;
    bool unlocked_ = false;
    QEventLoop* loop_ = nullptr;
};

} // namespace skyloom::saver
