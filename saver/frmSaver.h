#pragma once
// The full-screen saver window: black, borderless, above every other window
// (except in debug mode), with a canvas ("picDisp") that pictures are drawn
// into off screen and that the window repaints from. A one-second clock
// changes the picture; any key, click or real mouse movement ends it.

#include "SaverLogic.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QEventLoop;

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

    /// Asked before the saver closes; false keeps it running. Unset: true.
    std::function<bool()> passwordCheck;
    /// Prepares and shows the next picture (called by DoTrans with the
    /// clock stopped). Unset: the change is only logged.
    std::function<void(frmSaver&)> pictureChange;

    /// Off-screen canvas; call canvasChanged() after drawing into it.
    QImage& canvas() { return canvas_; }
    void canvasChanged();

    const SaverSettings& settings() const { return settings_; }
    SaverSettings& settings() { return settings_; }
    const SaverLayout& layout() const { return layout_; }
    WebLinks& webLinks() { return links_; }
    const SaverClock& clock() const { return clock_; }
    /// Set when the user ends the saver; long drawing loops test it.
    bool aborted() const { return abort_; }
    QTimer& tmrTrans() { return tmrTrans_; }
    QTimer& tmrInfo() { return tmrInfo_; }
    void setMemoryStatus(const QString& text);

    void DoTrans();
    void CloseSaver();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void onTick();
    void drawNotice();
    void printOnCanvas(const QStringList& lines, const QColor& colour, bool clearFirst);
    bool askPassword();

    SaverSettings settings_;
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
};

} // namespace skyloom::saver
