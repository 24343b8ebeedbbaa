#pragma once
// One canvas's pictures, one change after another, without a window: the
// settings snapshot, the play list and the choosers, the prepared picture,
// the transition, the description panel, the title strip, the calendar and
// the panoramic motion, each step started by a timer of its own. Whoever
// shows the canvas is told which parts changed (drawRequested) and paints
// them. Every canvas may run its own PictureChange: nothing here is shared.
//
// The road of one change: the clock (tmrTrans) calls DoTrans → PrepImage
// (choose the next picture and prepare it into picStretch, on a worker
// thread; entryPrepared comes back with it) → the first view
// → ExecuteTrans (one transition step per tmrStep tick) → ShowDescription
// (the panel, taken down by tmrInfo) → AfterDescription (DispTitle,
// DispCalender) → ExecutePan (one PanStep per tmrPan tick) →
// FinishPictureChange, which starts the clock for the display time.

#include "Pan.h"
#include "SaverLogic.h"
#include "SmoothTransition.h"
#include "Transition.h"
#include "calendar/CalendarClass.h"
#include "graphics/rasterkit/DeviceContext.h"
#include "imagesets/PlayList.h"
#include "imagesets/SetFiles.h"
#include "saver/PictureHandOut.h"
#include "saver/PrepImage.h"
#include "saver/PrepImageLogic.h"

#include <QElapsedTimer>
#include <QFont>
#include <QFutureWatcher>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QRegion>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace skyloom::saver {

/// Minimum time between two transition steps.
inline constexpr int kTransitionStepMs = 13;

class PictureChange : public QObject {
    Q_OBJECT
public:
    explicit PictureChange(QObject* parent = nullptr);
    ~PictureChange() override;

    /// Presets the settings (the dialog's preview): Load then reads no
    /// settings file, and the play list is built from them now.
    void InitiSaver(const SaverSettings& settings, bool bAsMinutes);
    /// Takes the settings for the run: the preset ones, or those stored in
    /// the program folder `programPath` (then the play list too). Every
    /// step of every change uses this one snapshot.
    void Load(const std::string& programPath);
    const SaverSettings& settings() const { return settings_; }
    SaverSettings& settings() { return settings_; }
    /// Takes the loaded settings and the play list of `first` (another
    /// monitor's change) instead of loading them again.
    void LoadFrom(const PictureChange& first);

    /// Shares the play list's entries with the changes of other monitors
    /// (before start). Without one the change makes its own at the first
    /// picture.
    void setHandOut(std::shared_ptr<PictureHandOut> handOut);
    const std::shared_ptr<PictureHandOut>& handOut() const { return handOut_; }
    /// The calendar goes on one monitor only (on by default).
    void setCalendarShown(bool shown) { calendarShown_ = shown; }
    bool calendarShown() const { return calendarShown_; }

    /// Sizes the canvas for a window laid out as `layout` (device pixels);
    /// `scale` is device pixels per logical pixel, for the notices' text.
    void setCanvas(const SaverLayout& layout, qreal scale);
    /// The canvas ("picDisp"), in device pixels.
    QImage& canvas() { return picDispDC_->image(); }
    const QImage& canvas() const { return picDispDC_->image(); }
    /// The prepared picture of the current change ("picStretch").
    graphics::DeviceContext& picStretch() { return *picStretchDC_; }

    /// Told the parts of the canvas that changed (canvas pixels).
    std::function<void(const QRegion&)> drawRequested;
    /// Replaces the built-in picture change (called by DoTrans with the
    /// clock stopped, which restarts it afterwards).
    std::function<void(PictureChange&)> replaceChange;
    /// Told after every picture change (the web links may have changed).
    std::function<void(PictureChange&)> pictureShown;
    /// Told the memory figures to show after a picture was prepared.
    std::function<void(const QString&)> memoryStatus;

    /// Panoramas whose prepared picture has more pixels than `inMemoryPixels`
    /// are shown through windows holding `windowAhead` rows or columns
    /// beyond the view (for tests and measurements; see PrepRequest).
    void setPanoramaWindows(std::int64_t inMemoryPixels, int windowAhead) {
        inMemoryPixels_ = inMemoryPixels;
        windowAhead_ = windowAhead;
    }

    /// The screen's frame time (ms), which paces the blending effects.
    void setFrameInterval(int ms) { frameIntervalMs_ = std::max(1, ms); }
    int frameInterval() const { return frameIntervalMs_; }
    /// The slow zoom of the picture on show (inactive when none runs).
    const SlowZoom& slowZoom() const { return zoom_; }
    QTimer& tmrFrame() { return tmrFrame_; }
    QTimer& tmrZoom() { return tmrZoom_; }

    /// Starts the clock (the first tick comes at once).
    void start() { tmrTrans_.start(); }
    /// Sets the abort flag, stops the smoothing filter and every timer:
    /// nothing more is drawn.
    void Abort();
    /// Set when the user ends the saver; long drawing loops test it.
    bool aborted() const { return abort_; }
    /// Stops the picture and panel clocks (a password is being asked for
    /// elsewhere) or lets them run again as they were; a change under way
    /// still finishes, and its clock waits.
    void holdClocks(bool hold);
    /// Which clocks ran when stopClocks stopped them.
    struct Clocks {
        bool trans = false, info = false;
    };
    Clocks stopClocks();
    void restartClocks(Clocks clocks);

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
    /// The pictures to show.
    imagesets::clsImageList& playList() { return playList_; }
    WebLinks& webLinks() { return links_; }
    const SaverClock& clock() const { return clock_; }
    QTimer& tmrTrans() { return tmrTrans_; }
    QTimer& tmrInfo() { return tmrInfo_; }
    const PanState& panState() const { return pan_; }
    /// The description panel on the canvas; empty when none shows.
    QRect descriptionPanel() const { return panelShown_ ? panelRect_ : QRect(); }
    /// The lines of the panel on show (or last shown).
    const std::vector<QString>& descriptionLines() const { return panelLines_; }
    /// Where the title strip was last drawn; empty when none.
    QRect titleStrip() const { return titleRect_; }
    /// Where the calendar was last drawn; empty when none.
    QRect calendarFrame() const { return calendarRect_; }

    void DoTrans();
    /// Chooses the next picture and has it loaded and prepared into
    /// picStretch off the user-interface thread; the change goes on when it
    /// is ready (or with the notice when nothing could be prepared).
    void PrepImage();
    /// A picture is being chosen or prepared.
    bool preparingPicture() const;
    /// Waits for the worker's preparation to end (after Abort it stops
    /// soon): nothing of this change runs on the worker after it.
    void waitForPreparation();
    /// Runs the transition's steps from a timer, at least 13 ms apart.
    void ExecuteTrans();
    /// After the transition: the description panel, then AfterDescription.
    void ShowDescription();
    /// Title strip, calendar, then the panoramic motion or the wait.
    void AfterDescription();
    /// Draws the title strip at the bottom of the canvas (with titles on).
    void DispTitle();
    /// Draws the calendar, with the snapshot's calendar settings.
    void DispCalender();
    /// Pans a panorama; calls FinishPictureChange when it has ended.
    void ExecutePan();
    /// One step of the motion (tmrPan).
    void PanStep();
    /// The change is over: the display time starts.
    void FinishPictureChange();

private:
    graphics::HDC picDispDC() const { return picDispDC_->hdc(); }
    QFont panelFont() const;
    QFont titleFont() const;
    void onTick();
    void drawNotice();
    void printOnCanvas(const QStringList& lines, const QColor& colour, bool clearFirst);
    void requestDraw(const QRegion& part);
    void buildPlayList(bool fallBackToAllSets);
    // One pass over the play list for one change.
    struct PreparePass {
        PictureHandOut::Choice choice;
        int attempt = 0;
        int count = 0;
        bool hasTitle = false;
        int missing = 0;
        imagesets::PathResolver resolver; // each set folder listed once per pass
        std::string entry;
        std::string file;
        PictureSettings settings;
        Size display;
    };
    void tryEntries();
    bool startEntry();
    void entryPrepared();
    void acceptEntry(PrepResult result);
    void endPass(bool shown);
    void preparationEnded(bool prepared);
    void resetAbort();
    void chooseFirstView();
    /// The whole prepared picture's size (picStretch may hold a window of it).
    Size preparedSize() const;
    /// Where picStretch's pixels lie in the prepared picture.
    QPoint windowOffset() const;
    QRect windowArea(PanWindow w) const;
    bool followWindow();
    void readWindow(PanWindow w);
    void transitionStep();
    void startSmoothTransition();
    void smoothFrame();
    void startSlowZoom();
    void zoomFrame();
    void stopSlowZoom();
    void drawPanel(const QFont& font);
    void infoTick();
    void darken(const QRect& area);
    std::string descriptionNfo() const;
    void startClock(QTimer& clock);

    SaverSettings settings_;
    imagesets::clsImageList playList_;
    imagesets::TitlePage titlePage_;
    SaverClock clock_{false, 60};
    WebLinks links_;
    qreal scale_ = 1.0;
    QRect noticeArea_; // where the last notice was printed
    int panelNominalWidth_ = 0;
    std::unique_ptr<graphics::DeviceContext> picDispDC_;
    std::unique_ptr<graphics::DeviceContext> picStretchDC_;
    std::unique_ptr<graphics::DeviceContext> picConvertDC_;
    TransitionClass trans_;
    RandomSource random_;
    std::shared_ptr<PictureHandOut> handOut_;
    int handOutId_ = 0;
    bool calendarShown_ = true;
    PictureChooser::Timing timing_;
    bool timingSet_ = false;
    LayerChooser layers_;
    CurrentPicture current_;
    int transitionCycle_ = 0;
    bool pictureOnShow_ = false;
    bool loaded_ = false;
    bool abort_ = false;
    // The worker's view of abort_: a new one for every run.
    std::shared_ptr<std::atomic<bool>> abortFlag_ = std::make_shared<std::atomic<bool>>(false);
    // Set while this change's preparation runs on the worker (its smoothing
    // filter may run then).
    std::shared_ptr<std::atomic<bool>> preparing_;
    std::unique_ptr<PreparePass> pass_;
    QFutureWatcher<PrepResult> prepWatcher_;

    QTimer tmrTrans_;
    QTimer tmrInfo_;
    QTimer tmrStep_;  // paces the transition steps
    QTimer tmrPan_;   // paces the panoramic motion
    QTimer tmrFrame_; // paces the blending effects' frames by the screen
    QTimer tmrZoom_;  // paces the slow zoom's frames
    SmoothTransition smooth_;
    SlowZoom zoom_;
    QElapsedTimer effectClock_;
    int frameIntervalMs_ = 16;
    int zoomDurationMs_ = 0;
    double zoomCostMs_ = 0; // a running mean of one zoom frame's cost
    bool zoomNext_ = false; // the change under way ends in a slow zoom
    // Clocks held by holdClocks(), and which of them were to run.
    bool clocksHeld_ = false;
    Clocks due_;

    PanState pan_;
    // A prepared picture too large to hold: its file, the window of it that
    // picStretch holds, and the next window, read while the pan goes on.
    std::int64_t inMemoryPixels_ = kMaxPreparedPixels;
    int windowAhead_ = PrepRequest().windowAhead;
    std::shared_ptr<graphics::BmpStripFile> strips_;
    PanWindow window_;
    QFuture<QImage> nextWindow_;
    PanWindow nextWindowAt_;
    QString descriptionTitle_; // cleared for every picture
    std::vector<QString> panelLines_;
    QRect panelRect_;
    QImage underPanel_; // the canvas under the panel, put back when it goes
    bool panelShown_ = false;
    int infoCountdown_ = 0;
    QRect titleRect_;
    QRect calendarRect_;
    calendar::CalendarClass calendar_;
};

} // namespace skyloom::saver
