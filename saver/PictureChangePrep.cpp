// Choosing and preparing the next picture of a change. The decoding, fitting
// and smoothing run on a worker thread, so that input is handled while a
// large picture is decoded: a key ends the saver at once, and the abort flag
// stops the work between rows. Preparations of all canvases take turns on
// one worker: they share the program folder's work files.

#include "PictureChange.h"

#include "PrepImage.h"
#include "common/Log.h"
#include "graphics/rasterkit/Rasterkit.h"
#include "platform/System.h"

#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace skyloom::saver {
namespace {

// Missing pictures logged one by one in a change; the rest are counted.
constexpr int kMissingLogged = 5;

QThreadPool& preparationPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        return p;
    }();
    return *pool;
}

} // namespace

void PictureChange::resetAbort() {
    abort_ = false;
    // A new flag: a preparation of the change before may still be stopping.
    abortFlag_ = std::make_shared<std::atomic<bool>>(false);
}

bool PictureChange::preparingPicture() const {
    return pass_ != nullptr;
}

void PictureChange::waitForPreparation() {
    prepWatcher_.waitForFinished();
    if (abort_) {
        preparing_.reset();
        pass_.reset();
    }
}

void PictureChange::PrepImage() {
    layers_.countPicture();
    const int count = playList_.count();
    if (settings_.szImagePath.empty()) {
        // Play-list paths are relative to the program folder: never to the current one.
        logWarning("saver", "no program folder: no pictures to show");
        preparationEnded(false);
        return;
    }
    if (count == 0) {
        logWarning("saver", "the play list is empty");
        preparationEnded(false);
        return;
    }
    if (!random_)
        random_ = clockSeededRandom();
    if (!handOut_)
        setHandOut(std::make_shared<PictureHandOut>(settings_.szScrIni, settings_.bUseAll, random_,
                                                    false));
    if (!timingSet_) {
        timingSet_ = true;
        timing_.displayTime = settings_.nTimeBetween;
        timing_.restoreTime = titlePage_.time > 0 ? titlePage_.time : settings_.nTimeBetween;
    }
    pass_.reset(new PreparePass);
    pass_->count = count;
    pass_->hasTitle = !titlePage_.file.empty();
    pass_->choice = handOut_->next(handOutId_, count, pass_->hasTitle, timing_);
    tryEntries();
}

// One pass over the list at most: entries whose file is missing or cannot
// be decoded are skipped, and only the first few missing pictures are
// logged one by one, so that a set whose photos are gone costs little.
void PictureChange::tryEntries() {
    PreparePass& p = *pass_;
    while (p.attempt < p.count) {
        if (p.attempt > 0) {
            p.choice = handOut_->following(handOutId_, p.choice.index, p.count, p.hasTitle);
            timing_.displayTime = timing_.restoreTime;
        }
        ++p.attempt;
        p.entry = playList_.Item(p.choice.index);
        const std::string relativePath(imagesets::entryPath(p.entry));
        const auto file =
            imagesets::resolvePicture(settings_.szImagePath, relativePath, p.resolver);
        if (!file) {
            if (++p.missing <= kMissingLogged)
                logInfo("saver",
                        "picture missing, skipped: " + settings_.szImagePath + relativePath);
            continue;
        }
        p.file = *file;
        if (startEntry())
            return; // the worker tells entryPrepared()
        if (!pass_)
            return; // shown, or the saver ended
    }
    endPass(false);
}

void PictureChange::endPass(bool shown) {
    if (pass_ && pass_->missing > kMissingLogged)
        logInfo("saver",
                std::to_string(pass_->missing - kMissingLogged) + " more missing pictures skipped");
    if (!shown && !abort_)
        logWarning("saver", "No pictures found: no entry of the play list could be shown");
    pass_.reset();
    preparationEnded(shown);
}

bool PictureChange::startEntry() {
    PreparePass& p = *pass_;
    const int index = p.choice.index;
    const std::string relativePath(imagesets::entryPath(p.entry));
    // With the same picture everywhere the first monitor's reading (and its
    // layer choice) serves the others.
    if (const PictureSettings* shared = handOut_->settingsFor(handOutId_, index)) {
        p.settings = *shared;
    } else {
        p.settings = readPictureSettings(settings_.szImagePath, relativePath, p.choice.titleShowing,
                                         settings_.bUseAll, layers_, random_);
        handOut_->keepSettings(handOutId_, index, p.settings);
    }
    p.display = {canvas().width(), canvas().height()};
    // A monitor of a size already prepared for takes that picture.
    if (const PrepResult* shared = handOut_->preparedFor(handOutId_, index, p.display)) {
        PrepResult result = *shared;
        acceptEntry(std::move(result));
        return false;
    }
    PrepRequest rq;
    rq.programPath = settings_.szImagePath;
    rq.picturePath = p.file;
    rq.display = p.display;
    rq.panDirection = p.settings.panDirection;
    rq.panoramicOrigin = p.settings.panoramicOrigin;
    rq.panEnabled = settings_.Panamotion;
    rq.stretch = settings_.bStretch2Fit;
    rq.keepAspect = settings_.bKeepAspect;
    rq.layerPath = p.settings.layerPath;
    rq.layerTranslucency = p.settings.layerTranslucency;
    rq.bitsPerPixel = platform::displayBitsPerPixel();
    rq.inMemoryPixels = inMemoryPixels_;
    rq.windowAhead = windowAhead_;
    rq.aborted = [flag = abortFlag_] { return flag->load(); };
    logInfo("saver", "preparing picture " + std::to_string(index) + ": " + relativePath);
    // The smoothing filter is one for the whole program; only the change
    // whose preparation runs may stop it (see Abort).
    auto running = std::make_shared<std::atomic<bool>>(false);
    preparing_ = running;
    prepWatcher_.setFuture(QtConcurrent::run(&preparationPool(), [rq, running] {
        running->store(true);
        PrepResult result = preparePicture(rq);
        running->store(false);
        return result;
    }));
    return true;
}

void PictureChange::entryPrepared() {
    preparing_.reset();
    if (!pass_ || !prepWatcher_.future().isValid() || prepWatcher_.future().resultCount() == 0)
        return;
    PrepResult result = prepWatcher_.result();
    prepWatcher_.setFuture(QFuture<PrepResult>());
    if (abort_) {
        pass_.reset();
        return;
    }
    const PreparePass& p = *pass_;
    if (result.status == PrepResult::Status::Ready)
        handOut_->keepPrepared(handOutId_, p.choice.index, p.display, result);
    acceptEntry(std::move(result));
    if (pass_)
        tryEntries();
}

void PictureChange::acceptEntry(PrepResult result) {
    if (abort_) {
        pass_.reset();
        return;
    }
    const PreparePass& p = *pass_;
    if (result.status == PrepResult::Status::Aborted) {
        // Stopped by another canvas's change ending (the smoothing filter is
        // shared), not by this one: the next entry is tried.
        logInfo("saver", "preparation stopped, next picture: " + p.file);
        return;
    }
    if (result.status == PrepResult::Status::LoadFailed) {
        logWarning("saver", "picture cannot be shown, skipped: " + p.file + ": " + result.error);
        return;
    }
    const std::string relativePath(imagesets::entryPath(p.entry));
    current_ = CurrentPicture{};
    current_.relativePath = relativePath;
    current_.label = std::string(imagesets::entryLabel(p.entry));
    current_.panDirection = result.keepsPanDirection ? p.settings.panDirection : std::string();
    current_.panoramicOrigin = p.settings.panoramicOrigin;
    current_.width = result.pictureSize.width;
    current_.height = result.pictureSize.height;
    current_.titleShowing = p.choice.titleShowing;
    current_.index = p.choice.index;
    links_ =
        WebLinks{p.settings.pictureUrl, p.settings.setUrl,         p.settings.companyUrl,
                 p.settings.saverUrl,   p.settings.webLinkEnabled, p.settings.saverWebLinkEnabled};
    strips_ = result.strips;
    window_ = PanWindow{result.windowOrigin, result.windowLength};
    nextWindow_ = QFuture<QImage>();
    picStretchDC_->setImage(std::move(result.picture));
    clock_.setTimeBetween(std::max(1, timing_.displayTime));
    handOut_->shown(handOutId_);
    endPass(true);
}

} // namespace skyloom::saver
