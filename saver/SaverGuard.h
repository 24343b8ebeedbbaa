#pragma once
// The lock of a password-protected saver.
//
// A small process shows a black window over every screen, has the desktop's
// screen locker hold it on top with the keyboard and pointer, and checks
// the password. The pictures are drawn by a second process (the renderer:
// this program again, started through the locker) inside the guard's
// window. If the renderer crashes or is killed, the guard's black window
// still covers the screen and a new renderer is started; only an accepted
// password ends the guard.

#include "PasswordPrompt.h"
#include "SaverLogic.h"
#include "platform/Password.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <memory>
#include <thread>
#include <vector>

class QEventLoop;
class QWindow;

namespace skyloom::platform {
class ScreenLocker;
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
    void readRenderer(const std::string& line);
    QWindow* promptWindow();
    void askForPassword(int pendingKey);
    void submit();
    void onChecked(platform::PasswordGate::Result result);
    void closePrompt();
    void showLockout();
    void unlock();

    PasswordPrompt prompt_;
    PromptPanel* panel_ = nullptr;
    QTimer restartTimer_;
    QTimer promptIdle_;
    QTimer regrab_;
    QTimer lockoutTick_;
    std::unique_ptr<platform::ScreenLocker> locker_;
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
    // Black windows over the X screens besides the primary monitor's: the
    // renderer's pictures go above them, and they stay if it ends.
    std::vector<std::unique_ptr<QWidget>> screenCovers_;
    void coverOtherScreens();
};

} // namespace skyloom::saver
