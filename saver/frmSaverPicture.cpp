// The saver window's picture change: choose and prepare the next picture,
// reveal it with a transition driven by a timer, then the steps that follow
// (description panel, title, calendar, motion) and the wait for the next.

#include "frmSaver.h"

#include "PrepImage.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "platform/System.h"

#include <QRegion>

#include <algorithm>

namespace skyloom::saver {
namespace {

QString memoryStatusText() {
    const auto mem = platform::globalMemoryStatus();
    return QString("Total Physical: %1\r\nTotal Physical Available: %2\r\nTimer Calls: 1")
        .arg(mem.totalPhysical)
        .arg(mem.availablePhysical);
}

} // namespace

void frmSaver::DoTrans() {
    tmrTrans_.stop();
    tmrTrans_.setInterval(1000);
    if (pictureChange) {
        pictureChange(*this);
        FinishPictureChange();
        return;
    }
    if (!PrepImage()) {
        if (abort_)
            return;
        // Nothing new to show: the previous picture stays, or a notice
        // says why the screen is black; the next change tries again.
        if (!pictureOnShow_)
            printOnCanvas({"No pictures found"}, Qt::white, true);
        FinishPictureChange();
        return;
    }
    if (abort_)
        return;
    chooseFirstView();
    trans_.TransType(nextTransitionType(settings_.nTransition, transitionCycle_));
    setMemoryStatus(memoryStatusText());
    if (platform::displayBitsPerPixel() == 8) {
        // The prepared picture already carries its own 8-bit colours.
        picDispDC_->fill(qRgb(0, 0, 0));
        canvasChanged();
    }
    ExecuteTrans();
}

bool frmSaver::PrepImage() {
    layers_.countPicture();
    const int count = playList_.count();
    if (settings_.szImagePath.empty()) {
        // Play-list paths are relative to the program folder: never to the current one.
        logWarning("saver", "no program folder: no pictures to show");
        return false;
    }
    if (count == 0) {
        logWarning("saver", "the play list is empty");
        return false;
    }
    if (!random_)
        random_ = clockSeededRandom();
    if (!chooser_) {
        chooser_.emplace(settings_.szScrIni, settings_.bUseAll, random_);
        timing_.displayTime = settings_.nTimeBetween;
        timing_.restoreTime = titlePage_.time > 0 ? titlePage_.time : settings_.nTimeBetween;
    }
    const bool hasTitle = !titlePage_.file.empty();
    int index = chooser_->next(count, hasTitle, timing_);
    // One pass over the list at most: entries whose file is missing or
    // cannot be decoded are skipped.
    for (int attempt = 0; attempt < count; ++attempt) {
        if (attempt > 0) {
            index = chooser_->following(index, count, hasTitle);
            timing_.displayTime = timing_.restoreTime;
        }
        const std::string entry = playList_.Item(index);
        const std::string relativePath(imagesets::entryPath(entry));
        const auto file = imagesets::resolvePicture(settings_.szImagePath, relativePath);
        if (!file) {
            logInfo("saver", "picture missing, skipped: " + settings_.szImagePath + relativePath);
            continue;
        }
        const PictureSettings ps =
            readPictureSettings(settings_.szImagePath, relativePath, chooser_->titleShowing(),
                                settings_.bUseAll, layers_, random_);
        PrepRequest rq;
        rq.programPath = settings_.szImagePath;
        rq.picturePath = *file;
        rq.display = {canvas().width(), canvas().height()};
        rq.panDirection = ps.panDirection;
        rq.panoramicOrigin = ps.panoramicOrigin;
        rq.panEnabled = settings_.Panamotion;
        rq.stretch = settings_.bStretch2Fit;
        rq.layerPath = ps.layerPath;
        rq.layerTranslucency = ps.layerTranslucency;
        rq.bitsPerPixel = platform::displayBitsPerPixel();
        rq.aborted = [this] { return abort_; };
        PrepResult result = preparePicture(rq);
        if (result.status == PrepResult::Status::Aborted || abort_)
            return false;
        if (result.status == PrepResult::Status::LoadFailed) {
            logWarning("saver", "picture cannot be shown, skipped: " + *file + ": " + result.error);
            continue;
        }
        current_ = CurrentPicture{};
        current_.relativePath = relativePath;
        current_.label = std::string(imagesets::entryLabel(entry));
        current_.panDirection = result.keepsPanDirection ? ps.panDirection : std::string();
        current_.panoramicOrigin = ps.panoramicOrigin;
        current_.width = result.pictureSize.width;
        current_.height = result.pictureSize.height;
        current_.titleShowing = chooser_->titleShowing();
        current_.index = index;
        links_ = WebLinks{ps.pictureUrl, ps.setUrl,         ps.companyUrl,
                          ps.saverUrl,   ps.webLinkEnabled, ps.saverWebLinkEnabled};
        picStretchDC_->setImage(std::move(result.picture));
        clock_.setTimeBetween(std::max(1, timing_.displayTime));
        return true;
    }
    logWarning("saver", "No pictures found: no entry of the play list could be shown");
    return false;
}

void frmSaver::chooseFirstView() {
    const Size display{canvas().width(), canvas().height()};
    const FirstView v = planFirstView(current_.panDirection,
                                      {picStretchDC_->width(), picStretchDC_->height()}, display);
    current_.panMode = v.panMode;
    current_.panX = v.panX;
    current_.panY = v.panY;
    if (v.fromPicture) {
        trans_.AddSourcePic(picStretchDC_->hdc(), v.areaWidth, v.areaHeight, v.panX, v.panY);
        return;
    }
    // The view is put together on black in picConvert first.
    picConvertDC_->resize(display.width, display.height);
    graphics::BitBlt(picConvertDC_->hdc(), v.atX, v.atY, v.windowWidth, v.windowHeight,
                     picStretchDC_->hdc(), v.windowX, v.windowY, graphics::SRCCOPY);
    trans_.AddSourcePic(picConvertDC_->hdc(), v.areaWidth, v.areaHeight, 0, 0);
    if (v.letterbox) {
        current_.width = v.windowWidth;
        current_.height = v.windowHeight;
    }
}

void frmSaver::ExecuteTrans() {
    // The effect's set-up (block shuffle, blinds) is done now, not in a step.
    trans_.Prepare();
    // Single shot, restarted after each step: steps are at least 13 ms
    // apart however long a step or its repaint takes.
    tmrStep_.start();
}

void frmSaver::transitionStep() {
    if (abort_ || unloaded_)
        return;
    const bool done = trans_.Transition();
    const auto& changed = trans_.changed();
    if (!changed.empty()) {
        QRegion part;
        for (const StepRect& r : changed)
            part += QRect(r.x, r.y, r.width, r.height);
        canvasChanged(part);
    }
    if (!done) {
        tmrStep_.start();
        return;
    }
    pictureOnShow_ = true;
    ShowDescription();
}

void frmSaver::ShowDescription() {
    // The description panel comes here; without one the change goes on.
    AfterDescription();
}

void frmSaver::AfterDescription() {
    // The title strip and, unless the title page shows, the calendar come
    // here; then a panorama moves, or the display time starts.
    if (!current_.panDirection.empty())
        ExecutePan();
    else
        FinishPictureChange();
}

void frmSaver::ExecutePan() {
    // The panoramic motion comes here; until then the first view stays.
    FinishPictureChange();
}

void frmSaver::FinishPictureChange() {
    if (abort_ || unloaded_)
        return;
    if (pictureShown)
        pictureShown(*this);
    tmrTrans_.start();
}

} // namespace skyloom::saver
