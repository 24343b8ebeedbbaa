#pragma once
// The full-screen saver window: black, borderless, above every other window
// (except in debug mode), with a canvas ("picDisp") that pictures are drawn
// into off screen and that the window repaints from. A one-second clock
// changes the picture; any key, click or real mouse movement ends it.

#include "Pan.h"
#include "SaverLogic.h"
#include "Transition.h"
#include "calendar/CalendarClass.h"
#include "graphics/rasterkit/DeviceContext.h"
#include "graphics/rasterkit/Rasterkit.h"
#include "imagesets/PlayList.h"
#include "saver/PrepImageLogic.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QLabel;
class QEventLoop;
class QWindow;

namespace skyloom::platform {
class ScreenCover;
}

namespace skyloom::saver {

class SaverCanvas;

/// Minimum time between two transition steps.
inline constexpr int kTransitionStepMs = 13;

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
    /// Replaces the built-in picture change (called by DoTrans with the
    /// clock stopped, which restarts it afterwards). Unset: DoTrans prepares
    /// the next picture and reveals it with a transition.
    std::function<void(frmSaver&)> pictureChange;
    /// Told whenever something was drawn into the canvas.
    std::function<void()> canvasDrawn;
    /// Told once the window is on the screen.
    std::function<void()> shown;
    /// Told after every picture change (the web links may have changed).
    std::function<void(frmSaver&)> pictureShown;

    /// Off-screen canvas; call canvasChanged() after drawing into it.
    QImage& canvas() { return picDispDC_->image(); }
    void canvasChanged();
    /// Repaints only the given part of the canvas (canvas pixels).
    void canvasChanged(const QRegion& part);
    /// The canvas as a drawing surface ("picDisp").
    graphics::HDC picDispDC() const { return picDispDC_->hdc(); }
    /// The prepared picture of the current change ("picStretch").
    graphics::DeviceContext& picStretch() { return *picStretchDC_; }
    TransitionClass& transition() { return trans_; }

    /// The picture on show, as the steps after the transition need it.
    struct CurrentPicture {
        std::string relativePath; ///< play-list path, below the program folder
        std::string label;        ///< play-list label ("NULL" for a title page)
        std::string panDirection; ///< "" when the picture does not move
        int panoramicOrigin = 0;
        int width = 0, height = 0; ///< source size, cut-out or letterbox window
        int panMode = 0;           ///< 0 none, 1 down, 2 up, 4 right, 8 left
        int panX = 0, panY = 0;    ///< the first view's place in picStretch
        bool titleShowing = false;
        int index = 0; ///< play-list position
    };
    const CurrentPicture& currentPicture() const { return current_; }

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
    /// Chooses, loads and prepares the next picture into picStretch; false
    /// when nothing new could be prepared (or the user ended the saver).
    bool PrepImage();
    /// Runs the transition's steps from a timer, at least 13 ms apart.
    void ExecuteTrans();
    /// After the transition: the description panel, then AfterDescription.
    void ShowDescription();
    /// Title strip, calendar, then the panoramic motion or the wait.
    void AfterDescription();
    /// Pans a panorama; calls FinishPictureChange when it has ended.
    void ExecutePan();
    /// The change is over: the display time starts.
    void FinishPictureChange();
    /// Draws the title strip at the bottom of the canvas (with titles on).
    void DispTitle();
    /// The pan of the picture on show (tests and measurements read it).
    const PanState& panState() const { return pan_; }
    /// The description panel on the canvas; empty when none shows.
    QRect descriptionPanel() const { return panelShown_ ? panelRect_ : QRect(); }
    /// The lines of the panel on show (or last shown).
    const std::vector<QString>& descriptionLines() const { return panelLines_; }
    /// Where the title strip was last drawn; empty when none.
    QRect titleStrip() const { return titleRect_; }
    /// The fonts of the panel and of the title strip.
    QFont panelFont() const;
    QFont titleFont() const;
    void CloseSaver();
    /// Stops the picture and panel clocks (a password is being asked for
    /// elsewhere) or lets them run again as they were; a picture change
    /// under way still finishes, and its clock waits.
    void holdClocks(bool hold);
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
    void panStep();
    void infoTick();
    void darken(const QRect& area);
    std::string descriptionNfo() const;
    void transitionStep();
    void chooseFirstView();

    SaverSettings settings_;
    imagesets::clsImageList playList_;
    imagesets::TitlePage titlePage_;
    SaverLayout layout_;
    SaverClock clock_{false, 60};
    MouseTracker mouse_;
    WebLinks links_;
    std::unique_ptr<graphics::DeviceContext> picDispDC_;
    std::unique_ptr<graphics::DeviceContext> picStretchDC_;
    std::unique_ptr<graphics::DeviceContext> picConvertDC_;
    TransitionClass trans_;
    QTimer tmrStep_; // paces the transition steps
    RandomSource random_;
    std::optional<PictureChooser> chooser_;
    PictureChooser::Timing timing_;
    LayerChooser layers_;
    CurrentPicture current_;
    int transitionCycle_ = 0;
    bool pictureOnShow_ = false;
    SaverCanvas* picDisp_ = nullptr;
    QLabel* lblStartMem_ = nullptr;
    QLabel* lblMemStatus_ = nullptr;
    QTimer tmrTrans_;
    QTimer tmrInfo_;
    QTimer tmrPan_; // paces the panoramic motion
    PanState pan_;
    // The black bitmap the text panels are darkened with, canvas-sized.
    struct OwnedBitmap {
        rasterkit::Handle h = -1;
        OwnedBitmap() = default;
        OwnedBitmap(const OwnedBitmap&) = delete;
        OwnedBitmap& operator=(const OwnedBitmap&) = delete;
        ~OwnedBitmap() { reset(); }
        void reset(rasterkit::Handle n = -1) {
            if (h >= 0)
                rasterkit::UnloadBitMap(h);
            h = n;
        }
    } hDescBitmap_;
    QString descriptionTitle_; // cleared for every picture
    std::vector<QString> panelLines_;
    QRect panelRect_;
    QImage underPanel_; // the canvas under the panel, put back when it goes
    bool panelShown_ = false;
    int infoCountdown_ = 0;
    QRect titleRect_;
    calendar::CalendarClass calendar_;
    QEventLoop* loop_ = nullptr;
    bool abort_ = false;
    bool loaded_ = false;
    bool unloaded_ = false;
    bool declaredRunning_ = false;
    // Clocks held by holdClocks(), and which of them were to run.
    bool clocksHeld_ = false;
    bool transDue_ = false;
    bool infoDue_ = false;
    void startClock(QTimer& clock);
    bool embedded_ = false;
    bool offscreen_ = false;
    QWindow* host_ = nullptr;
    // Keeps the full-screen window above windows mapped after it.
    std::unique_ptr<platform::ScreenCover> cover_;
};

} // namespace skyloom::saver
