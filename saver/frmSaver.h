#pragma once
// The full-screen saver window: black, borderless, above every other window
// (except in debug mode), with a canvas ("picDisp") that pictures are drawn
// into off screen and that the window repaints from. A one-second clock
// changes the picture; any key, click or real mouse movement ends it.

#include "SaverLogic.h"
#include "imagesets/PlayList.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QEventLoop;
class QWindow;

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
    /// Prepares and shows the next picture (called by DoTrans with the
    /// clock stopped). Unset: the change is only logged.
    std::function<void(frmSaver&)> pictureChange;
    /// Told whenever something was drawn into the canvas.
    std::function<void()> canvasDrawn;
    /// Told once the window is on the screen.
    std::function<void()> shown;
    /// Told after every picture change (the web links may have changed).
    std::function<void(frmSaver&)> pictureShown;

    /// Off-screen canvas; call canvasChanged() after drawing into it.
    QImage& canvas() { return canvas_; }
    void canvasChanged();

    const SaverSettings& settings() const { return settings_; }
    SaverSettings& settings() { return settings_; }
    const SaverLayout& layout() const { return layout_; }
    /// The pictures to show, and the title page the list starts with.
    imagesets::clsImageList& playList() { return playList_; }
    const imagesets::TitlePage& titlePage() const { return titlePage_; }
    WebLinks& webLinks() { return links_; }
    const SaverClock& clock() const { return clock_; }
    /// Set when the user ends the saver; long drawing loops test it.
    bool aborted() const { return abort_; }
    QTimer& tmrTrans() { return tmrTrans_; }
    QTimer& tmrInfo() { return tmrInfo_; }
    void setMemoryStatus(const QString& text);

    void DoTrans();
    void CloseSaver();
    /// True when the saver may close: asks for the password when
    /// protection is on, with both clocks stopped meanwhile.
    bool PasswordCheck();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void coverScreens();
    QRect primaryArea() const;
    void Form_Unload();
    void onTick();
    void drawNotice();
    void printOnCanvas(const QStringList& lines, const QColor& colour, bool clearFirst);

    void buildPlayList(bool fallBackToAllSets);

    SaverSettings settings_;
    imagesets::clsImageList playList_;
    imagesets::TitlePage titlePage_;
    SaverLayout layout_;
    SaverClock clock_{false, 60};
    MouseTracker mouse_;
    WebLinks links_;
    QImage canvas_;
    SaverCanvas* picDisp_ = nullptr;
    QLabel* lblStartMem_ = nullptr;
    QLabel* lblMemStatus_ = nullptr;
    QTimer tmrTrans_;
    QTimer tmrInfo_;
    QEventLoop* loop_ = nullptr;
    bool abort_ = false;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool declaredRunning_ = false;
    bool embedded_ = false;
    bool offscreen_ = false;
    QWindow* host_ = nullptr;
};

} // namespace skyloom::saver
