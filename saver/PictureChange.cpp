// The picture change's settings, clocks and first half: choose and prepare
// the next picture, reveal it with a transition driven by a timer, and the
// wait for the next change.

#include "PictureChange.h"

#include "PrepImage.h"
#include "common/Log.h"
#include "graphics/rasterkit/Rasterkit.h"
#include "imagesets/SetFiles.h"
#include "platform/System.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace skyloom::saver {
namespace {

QString memoryStatusText() {
    const auto mem = platform::globalMemoryStatus();
    return QString("Total Physical: %1\r\nTotal Physical Available: %2\r\nTimer Calls: 1")
        .arg(mem.totalPhysical)
        .arg(mem.availablePhysical);
}

} // namespace

PictureChange::PictureChange(QObject* parent)
    : QObject(parent), picDispDC_(std::make_unique<graphics::DeviceContext>(1, 1)),
      picStretchDC_(std::make_unique<graphics::DeviceContext>(0, 0)),
      picConvertDC_(std::make_unique<graphics::DeviceContext>(0, 0)) {
    tmrTrans_.setObjectName("tmrTrans");
    tmrTrans_.setInterval(1);
    connect(&tmrTrans_, &QTimer::timeout, this, &PictureChange::onTick);
    tmrInfo_.setObjectName("tmrInfo");
    tmrInfo_.setInterval(100);
    connect(&tmrInfo_, &QTimer::timeout, this, &PictureChange::infoTick);
    tmrPan_.setObjectName("tmrPan");
    tmrPan_.setTimerType(Qt::PreciseTimer);
    connect(&tmrPan_, &QTimer::timeout, this, &PictureChange::PanStep);
    tmrStep_.setSingleShot(true);
    tmrStep_.setTimerType(Qt::PreciseTimer);
    tmrStep_.setInterval(kTransitionStepMs);
    connect(&tmrStep_, &QTimer::timeout, this, &PictureChange::transitionStep);
    tmrFrame_.setObjectName("tmrFrame");
    tmrFrame_.setTimerType(Qt::PreciseTimer);
    connect(&tmrFrame_, &QTimer::timeout, this, &PictureChange::smoothFrame);
    tmrZoom_.setObjectName("tmrZoom");
    tmrZoom_.setTimerType(Qt::PreciseTimer);
    connect(&tmrZoom_, &QTimer::timeout, this, &PictureChange::zoomFrame);
    connect(&prepWatcher_, &QFutureWatcher<PrepResult>::finished, this,
            &PictureChange::entryPrepared);
}

PictureChange::~PictureChange() {
    // A preparation still on the worker is told to stop, and waited for:
    // nothing of it may run on once the program is ending.
    abortFlag_->store(true);
    if (preparing_ && preparing_->load())
        rasterkit::KillFilter();
    prepWatcher_.waitForFinished();
    nextWindow_.waitForFinished();
    if (handOut_)
        handOut_->leave(handOutId_);
}

void PictureChange::setHandOut(std::shared_ptr<PictureHandOut> handOut) {
    if (handOut_)
        handOut_->leave(handOutId_);
    handOut_ = std::move(handOut);
    handOutId_ = handOut_ ? handOut_->join() : 0;
}

void PictureChange::LoadFrom(const PictureChange& first) {
    loaded_ = true;
    resetAbort();
    settings_ = first.settings_;
    playList_ = first.playList_;
    titlePage_ = first.titlePage_;
    clock_ = SaverClock(settings_.bSetUp, settings_.nTimeBetween);
}

void PictureChange::InitiSaver(const SaverSettings& settings, bool bAsMinutes) {
    settings_ = settings;
    settings_.bPreset = true;
    if (bAsMinutes)
        settings_.nTimeBetween *= 60;
    buildPlayList(false);
}

void PictureChange::buildPlayList(bool fallBackToAllSets) {
    const imagesets::PlayListSource source{settings_.szImagePath, settings_.szINI,
                                           settings_.nTimeBetween};
    if (fallBackToAllSets) {
        const auto choice =
            imagesets::ChoosePlayList(playList_, source, settings_.bUseAll, settings_.szCurrentSet);
        settings_.bListFromAllSets = choice.fromAllSets;
        settings_.bUseAll = choice.fromAllSets;
        titlePage_ = choice.title;
        return;
    }
    // The dialog's preview shows exactly what it asked for: no fall-back.
    playList_.Clear();
    settings_.bListFromAllSets = settings_.bUseAll;
    titlePage_ = settings_.bUseAll
                     ? imagesets::BuildAllSetsPlayList(playList_, source)
                     : imagesets::BuildSetPlayList(playList_, source, settings_.szCurrentSet);
}

void PictureChange::Load(const std::string& programPath) {
    loaded_ = true;
    resetAbort();
    if (settings_.bPreset) {
        settings_.bSetUp = true;
    } else {
        settings_ = loadSaverSettings(programPath);
        buildPlayList(true);
    }
    clock_ = SaverClock(settings_.bSetUp, settings_.nTimeBetween);
}

void PictureChange::setCanvas(const SaverLayout& layout, qreal scale) {
    scale_ = scale;
    panelNominalWidth_ = layout.panelNominalWidth;
    picDispDC_->resize(std::max(1, layout.picDisp.width), std::max(1, layout.picDisp.height));
    trans_.InitTrasitions(picDispDC_->hdc(), picDispDC_->width(), picDispDC_->height(),
                          settings_.szImagePath);
    trans_.BlindSize(layout.blindSize);
    if (loaded_ && settings_.bSetUp)
        printOnCanvas({tr("Initializing Screen Saver...")}, Qt::white, false);
    requestDraw(QRegion(canvas().rect()));
}

void PictureChange::requestDraw(const QRegion& part) {
    if (drawRequested)
        drawRequested(part);
}

void PictureChange::printOnCanvas(const QStringList& lines, const QColor& colour, bool clearFirst) {
    QPainter p(&canvas());
    QFont font("Liberation Sans");
    font.setPixelSize(qRound(16 * scale_));
    font.setBold(true);
    p.setFont(font);
    const QFontMetrics fm(font);
    int width = 0;
    for (const QString& l : lines)
        width = std::max(width, fm.horizontalAdvance(l));
    const QRect area(0, 0, width + 2, fm.lineSpacing() * static_cast<int>(lines.size()) + 2);
    // A shorter notice must not leave the end of a longer one on the screen.
    if (clearFirst)
        p.fillRect(area.united(noticeArea_), Qt::black);
    noticeArea_ = area;
    p.setPen(colour);
    int y = fm.ascent();
    for (const QString& l : lines) {
        p.drawText(0, y, l);
        y += fm.lineSpacing();
    }
    p.end();
    requestDraw(QRegion(canvas().rect()));
}

void PictureChange::drawNotice() {
    const int g = clock_.grey();
    printOnCanvas(tr("Screen Saver has not been set up.\nPlease select 'Settings' from the\n"
                     "Properties Dialog.")
                      .split(u'\n'),
                  QColor(g, g, g), true);
}

void PictureChange::onTick() {
    switch (clock_.tick()) {
    case SaverClock::Action::DoTrans:
        DoTrans();
        break;
    case SaverClock::Action::DrawNotice:
        drawNotice();
        break;
    case SaverClock::Action::None:
        break;
    }
    if (clock_.requestedInterval() > 0 && tmrTrans_.interval() != clock_.requestedInterval())
        tmrTrans_.setInterval(clock_.requestedInterval());
}

void PictureChange::Abort() {
    abort_ = true;
    abortFlag_->store(true);
    // Another canvas's change may be smoothing its picture while this one
    // ends: its filter is not this change's to stop.
    if (preparing_ && preparing_->load())
        rasterkit::KillFilter();
    tmrTrans_.stop();
    tmrInfo_.stop();
    tmrStep_.stop();
    tmrPan_.stop();
    tmrFrame_.stop();
    tmrZoom_.stop();
}

PictureChange::Clocks PictureChange::stopClocks() {
    const Clocks was{tmrTrans_.isActive(), tmrInfo_.isActive()};
    tmrTrans_.stop();
    tmrInfo_.stop();
    return was;
}

void PictureChange::restartClocks(Clocks clocks) {
    if (clocks.trans)
        tmrTrans_.start();
    if (clocks.info)
        tmrInfo_.start();
}

void PictureChange::holdClocks(bool hold) {
    if (hold == clocksHeld_)
        return;
    if (hold) {
        due_ = stopClocks();
        clocksHeld_ = true;
        logInfo("saver", "picture clocks stopped");
        return;
    }
    clocksHeld_ = false;
    if (abort_)
        return;
    restartClocks(due_);
    logInfo("saver", "picture clocks running again");
}

void PictureChange::startClock(QTimer& clock) {
    if (!clocksHeld_) {
        clock.start();
        return;
    }
    (&clock == &tmrTrans_ ? due_.trans : due_.info) = true;
}

void PictureChange::DoTrans() {
    tmrTrans_.stop();
    tmrTrans_.setInterval(1000);
    stopSlowZoom(); // the next change starts from the view on screen
    if (replaceChange) {
        replaceChange(*this);
        FinishPictureChange();
        return;
    }
    if (pass_)
        return; // the picture before is still being prepared
    PrepImage();
}

void PictureChange::preparationEnded(bool prepared) {
    if (abort_)
        return;
    if (!prepared) {
        // Nothing new to show: the previous picture stays, or a notice
        // says why the screen is black; the next change tries again.
        if (!pictureOnShow_)
            printOnCanvas({tr("No pictures found")}, Qt::white, true);
        FinishPictureChange();
        return;
    }
    chooseFirstView();
    logInfo("saver",
            "showing picture " + std::to_string(current_.index) + ": " + current_.relativePath);
    trans_.TransType(nextTransitionType(settings_.nTransition, transitionCycle_));
    if (memoryStatus)
        memoryStatus(memoryStatusText());
    if (platform::displayBitsPerPixel() == 8) {
        // The prepared picture already carries its own 8-bit colours.
        picDispDC_->fill(qRgb(0, 0, 0));
        requestDraw(QRegion(canvas().rect()));
    }
    ExecuteTrans();
}

void PictureChange::chooseFirstView() {
    const Size display{canvas().width(), canvas().height()};
    const FirstView v = planFirstView(current_.panDirection, preparedSize(), display);
    current_.panMode = v.panMode;
    current_.panX = v.panX;
    current_.panY = v.panY;
    const QPoint off = windowOffset();
    if (v.fromPicture) {
        trans_.AddSourcePic(picStretchDC_->hdc(), v.areaWidth, v.areaHeight, v.panX - off.x(),
                            v.panY - off.y());
        return;
    }
    // The view is put together on black in picConvert first.
    picConvertDC_->resize(display.width, display.height);
    graphics::BitBlt(picConvertDC_->hdc(), v.atX, v.atY, v.windowWidth, v.windowHeight,
                     picStretchDC_->hdc(), v.windowX - off.x(), v.windowY - off.y(),
                     graphics::SRCCOPY);
    trans_.AddSourcePic(picConvertDC_->hdc(), v.areaWidth, v.areaHeight, 0, 0);
    if (v.letterbox) {
        current_.width = v.windowWidth;
        current_.height = v.windowHeight;
    }
}

void PictureChange::ExecuteTrans() {
    if (isSmoothTransition(trans_.TransType())) {
        startSmoothTransition();
        return;
    }
    // The effect's set-up (block shuffle, blinds) is done now, not in a step.
    trans_.Prepare();
    // Single shot, restarted after each step: steps are at least 13 ms
    // apart however long a step or its repaint takes.
    tmrStep_.start();
}

void PictureChange::transitionStep() {
    if (abort_)
        return;
    const bool done = trans_.Transition();
    const auto& changed = trans_.changed();
    if (!changed.empty()) {
        QRegion part;
        for (const StepRect& r : changed)
            part += QRect(r.x, r.y, r.width, r.height);
        requestDraw(part);
    }
    if (!done) {
        tmrStep_.start();
        return;
    }
    pictureOnShow_ = true;
    ShowDescription();
}

void PictureChange::FinishPictureChange() {
    if (abort_)
        return;
    if (pictureShown)
        pictureShown(*this);
    if (abort_) // ended by whoever was told
        return;
    logInfo("saver", "waiting for the next picture");
    startClock(tmrTrans_);
    // A panorama keeps its pan; a still picture of "Slow Zoom" moves slowly.
    if (std::exchange(zoomNext_, false) && current_.panDirection.empty())
        startSlowZoom();
    else
        smooth_.clear();
}

} // namespace skyloom::saver
