#pragma once
// The full-screen saver window: black, borderless, above every other window
// (except in debug mode). It owns one PictureChange, which draws the
// pictures into its canvas off screen, and repaints the parts it is told
// ("picDisp"). Any key, click or real mouse movement ends it, after the
// password check when protection is on.

#include "PictureChange.h"
#include "SaverLogic.h"

#include <QImage>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QEventLoop;
class QWindow;

namespace skyloom::platform {
class ScreenCover;
}

namespace skyloom::saver {

class SaverCanvas;

class frmSaver : public QWidget {
    Q_OBJECT
public:
    explicit frmSaver(QWidget* parent = nullptr);
    ~frmSaver() override;

    /// Presets the settings before the window is shown (the dialog's
    /// preview); the window then reads no settings of its own.
    void InitiSaver(const SaverSettings& settings, bool bAsMinutes);

    /// Loads, shows the window full screen and returns when it has closed.
    void showModal();

    /// Draws inside another program's window (the lock's guard) instead of
    /// covering the screen itself; input then belongs to that program.
    void embedInto(WId parent);
    /// Never shows a window of its own: the canvas, of a window of `size`,
    /// is copied elsewhere through canvasDrawn (another program's window).
    void setOffscreen(const QSize& size);

    /// The verifier asked when password protection is on: true for the
    /// right password. Unset, a protected saver accepts nothing.
    std::function<bool()> passwordCheck;
    /// Told whenever something was drawn into the canvas.
    std::function<void()> canvasDrawn;
    /// Told once the window is on the screen.
    std::function<void()> shown;
    /// Told after every picture change (the web links may have changed).
    std::function<void(frmSaver&)> pictureShown;

    /// The pictures this window shows, and their settings.
    PictureChange& change() { return change_; }
    /// The canvas (device pixels) the window shows.
    const QImage& canvas() const { return change_.canvas(); }
    const WebLinks& webLinks() { return change_.webLinks(); }
    /// Ends the saver: nothing more is drawn, and the window closes.
    void CloseSaver();
    /// Stops the picture clocks while a password is asked for elsewhere,
    /// or lets them run again.
    void holdClocks(bool hold) { change_.holdClocks(hold); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    /// True when the saver may close: asks for the password when
    /// protection is on, with both clocks stopped meanwhile.
    bool PasswordCheck();
    void Form_Load();
    void coverScreens();
    QRect primaryArea() const;
    void Form_Unload();
    void canvasChanged(const QRegion& part);
    void setMemoryStatus(const QString& text);

    PictureChange change_;
    SaverLayout layout_;
    MouseTracker mouse_;
    SaverCanvas* picDisp_ = nullptr;
    QLabel* lblStartMem_ = nullptr;
    QLabel* lblMemStatus_ = nullptr;
    QEventLoop* loop_ = nullptr;
    bool unloaded_ = false;
    bool declaredRunning_ = false;
    bool embedded_ = false;
    bool offscreen_ = false;
    QWindow* host_ = nullptr;
    // Keeps the full-screen window above windows mapped after it.
    std::unique_ptr<platform::ScreenCover> cover_;
};

} // namespace skyloom::saver
