#pragma once
// The full-screen saver window: black, borderless, above every other window
// (except in debug mode). Every monitor gets a canvas of its own with its
// own PictureChange, which draws the pictures off screen; the window
// repaints the parts it is told. The primary monitor's canvas ("picDisp")
// and change are this window's own; the monitors of other X screens lie in
// one window per screen. Any key, click or real mouse movement, on any of
// them, ends the saver, after the password check when protection is on.

#include "PictureChange.h"
#include "SaverLogic.h"
#include "platform/Monitors.h"

#include <QImage>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QEventLoop;
class QWindow;

namespace skyloom::platform {
class ScreenCover;
class MonitorWatch;
} // namespace skyloom::platform

namespace skyloom::saver {

class SaverCanvas;
class ScreenWindow;

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

    /// The pictures the primary monitor shows, and the settings.
    PictureChange& change() { return change_; }
    /// Every monitor's change, the primary's first.
    std::vector<PictureChange*> changes();
    /// The canvas (device pixels) the window shows.
    const QImage& canvas() const { return change_.canvas(); }
    const WebLinks& webLinks() { return change_.webLinks(); }
    /// Ends the saver: nothing more is drawn, and the window closes.
    void CloseSaver();
    /// Stops the picture clocks while a password is asked for elsewhere,
    /// or lets them run again.
    void holdClocks(bool hold);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
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
    void Form_Unload();
    void setMemoryStatus(const QString& text);

    // One monitor's canvas (frmSaverScreens.cpp).
    struct Surface;
    /// The monitors to give canvases to; empty when the window has one
    /// canvas of its own size (a daemon's window, debug mode).
    std::vector<platform::Monitor> monitorsToCover() const;
    /// Makes, keeps or drops canvases and screen windows to match the
    /// monitors, and lays them out.
    void syncSurfaces();
    void layoutSurfaces();
    Surface& addSurface(const platform::Monitor& monitor, QWidget* window);
    void canvasChanged(Surface& surface, const QRegion& part);
    QWidget* windowForScreen(const platform::Monitor& monitor);
    /// Shows a window that covers monitors: full screen on its output
    /// where the compositor places windows, else at its own geometry.
    void showCovering(QWidget& window);
    friend class ScreenWindow;

    PictureChange change_;
    std::shared_ptr<PictureHandOut> handOut_;
    std::vector<std::unique_ptr<Surface>> surfaces_; // the primary's first
    std::vector<std::unique_ptr<ScreenWindow>> screenWindows_;
    std::unique_ptr<platform::MonitorWatch> watch_;
    QTimer monitorsChanged_; // gathers a burst of monitor changes into one
    bool started_ = false;
    QRect coveredArea_; // every part of the desktop covered so far
    MouseTracker mouse_;
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
