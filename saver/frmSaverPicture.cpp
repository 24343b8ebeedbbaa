// The saver window's picture change: choose and prepare the next picture,
// reveal it with a transition driven by a timer, then the steps that follow
// (description panel, title, calendar, motion) and the wait for the next.

#include "frmSaver.h"

#include "Description.h"
#include "PrepImage.h"
#include "calendar/CalendarOverlay.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "imagesets/SetFiles.h"
#include "platform/System.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

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
            printOnCanvas({tr("No pictures found")}, Qt::white, true);
        FinishPictureChange();
        return;
    }
    if (abort_)
        return;
    chooseFirstView();
    logInfo("saver",
            "showing picture " + std::to_string(current_.index) + ": " + current_.relativePath);
    trans_.TransType(nextTransitionType(settings_.nTransition, transitionCycle_));
    setMemoryStatus(memoryStatusText());
    if (platform::displayBitsPerPixel() == 8) {
        // The prepared picture already carries its own 8-bit colours.
        picDispDC_->fill(qRgb(0, 0, 0));
        canvasChanged();
    }
    ExecuteTrans();
}

namespace {
// Missing pictures logged one by one in a change; the rest are counted.
constexpr int kMissingLogged = 5;
} // namespace

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
    // cannot be decoded are skipped. Each set folder is listed once for the
    // whole pass, and only the first few missing pictures are logged one by
    // one, so that a set whose photos are gone costs little.
    imagesets::PathResolver resolver;
    int missing = 0;
    const auto reportMissing = [&] {
        if (missing > kMissingLogged)
            logInfo("saver",
                    std::to_string(missing - kMissingLogged) + " more missing pictures skipped");
    };
    for (int attempt = 0; attempt < count; ++attempt) {
        if (attempt > 0) {
            index = chooser_->following(index, count, hasTitle);
            timing_.displayTime = timing_.restoreTime;
        }
        const std::string entry = playList_.Item(index);
        const std::string relativePath(imagesets::entryPath(entry));
        const auto file = imagesets::resolvePicture(settings_.szImagePath, relativePath, resolver);
        if (!file) {
            if (++missing <= kMissingLogged)
                logInfo("saver",
                        "picture missing, skipped: " + settings_.szImagePath + relativePath);
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
        rq.keepAspect = settings_.bKeepAspect;
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
        chooser_->shown();
        reportMissing();
        return true;
    }
    reportMissing();
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

std::string frmSaver::descriptionNfo() const {
    return descriptionNfoFor(settings_.szImagePath, current_.relativePath);
}

QFont frmSaver::panelFont() const {
    QFont f;
    // Names fontconfig knows on every desktop; Japanese needs a font with
    // its glyphs, and is not drawn bold.
    const bool japanese = settings_.szLanguage == "Japanese";
    if (japanese)
        f.setFamilies({"Noto Sans CJK JP", "Noto Sans JP", "Sans Serif"});
    else
        f.setFamilies({"DejaVu Sans", "Liberation Sans", "Sans Serif"});
    f.setPixelSize(std::max(12, picDispDC_->height() / 42));
    f.setBold(!japanese);
    return f;
}

QFont frmSaver::titleFont() const {
    // The title strip's plain bold screen font.
    QFont f;
    if (settings_.szLanguage == "Japanese")
        f.setFamilies({"Noto Sans CJK JP", "Noto Sans JP", "Sans Serif"});
    else
        f.setFamilies({"DejaVu Sans", "Liberation Sans", "Sans Serif"});
    f.setPixelSize(std::max(11, picDispDC_->height() / 48));
    f.setBold(true);
    return f;
}

void frmSaver::darken(const QRect& area) {
    const QRect r = area.intersected(canvas().rect());
    const rasterkit::Handle work = trans_.WorkBuff();
    if (r.isEmpty() || work < 0 || hDescBitmap_.h < 0)
        return;
    graphics::BitBlt(rasterkit::GetWorkBuffHDC(work), r.x(), r.y(), r.width(), r.height(),
                     picDispDC(), r.x(), r.y(), graphics::SRCCOPY);
    rasterkit::DoBlitToWorkWOP(work, r.x(), r.y(), hDescBitmap_.h, 0, 0, r.width(), r.height(), 0,
                               0, 33, 0);
    rasterkit::UpdateRect(r.x(), r.y(), r.width(), r.height(), picDispDC(), work);
}

void frmSaver::ShowDescription() {
    descriptionTitle_.clear();
    panelLines_.clear();
    panelShown_ = false;
    if (abort_ || unloaded_)
        return;
    if (current_.label.empty() || current_.label == "NULL" || !settings_.bDescriptive) {
        AfterDescription();
        return;
    }
    const std::string file =
        descriptionFileFor(settings_.szImagePath, current_.relativePath, settings_.szLanguage);
    // The panel's width: with stretch off it follows the picture's width,
    // never wider than the canvas.
    const QImage& c = canvas();
    int panelWidth = layout_.panelNominalWidth;
    if (!settings_.bStretch2Fit && current_.width > 0)
        panelWidth = static_cast<int>(
            roundHalfEven(static_cast<double>(roundHalfEven(current_.width / 4.0)) * 3.5));
    panelWidth = std::clamp(panelWidth, 1, c.width());
    const QFont font = panelFont();
    const QFontMetrics fm(font);
    // Wrapped with the panel's final width; at most as many lines as fit.
    const int maxWidth =
        static_cast<int>(roundHalfEven((panelWidth - fm.horizontalAdvance("WWWW")) * 0.66));
    const int maxLines = std::max(1, (c.height() - 12) / std::max(1, fm.lineSpacing()));
    Description d =
        file.empty() ? Description{}
                     : ReadDescription(
                           file, settings_.szLanguage, maxWidth,
                           [&fm](const QString& t) { return fm.horizontalAdvance(t); }, maxLines);
    descriptionTitle_ = d.title;
    if (!d.found) {
        AfterDescription();
        return;
    }
    panelLines_ = std::move(d.lines);
    int textWidth = 0;
    for (const QString& l : panelLines_)
        textWidth = std::max(textWidth, fm.horizontalAdvance(l));
    const int textHeight = fm.lineSpacing() * static_cast<int>(panelLines_.size());
    const int panelHeight = std::min(textHeight + 12, c.height());
    panelRect_ = QRect((c.width() - panelWidth) / 2, (c.height() - panelHeight) / 2, panelWidth,
                       panelHeight);
    // What lies under the panel comes back when it goes.
    underPanel_ = c.copy(panelRect_);
    darken(panelRect_);
    {
        QPainter p(&canvas());
        p.setClipRect(panelRect_);
        p.setFont(font);
        const int x = panelRect_.x() + (panelWidth - textWidth) / 2;
        const int y = panelRect_.y() + 6;
        // The shadow 2 pixels right and below, then the text.
        const std::pair<int, QColor> passes[] = {{2, QColor(Qt::black)}, {0, QColor(Qt::white)}};
        for (const auto& [dx, colour] : passes) {
            p.setPen(colour);
            int baseline = y + dx + fm.ascent();
            for (const QString& l : panelLines_) {
                p.drawText(x + dx, baseline, l);
                baseline += fm.lineSpacing();
            }
        }
    }
    panelShown_ = true;
    logInfo("saver", "description panel shown");
    infoCountdown_ = 0;
    startClock(tmrInfo_);
    canvasChanged(panelRect_);
}

void frmSaver::infoTick() {
    tmrInfo_.stop();
    if (abort_ || unloaded_)
        return;
    if (infoCountdown_ == 0)
        infoCountdown_ = settings_.nDescriptiveDelay * 10;
    --infoCountdown_;
    if (infoCountdown_ > 0) {
        startClock(tmrInfo_);
        return;
    }
    // A time of 0 or less shows the panel for one tick only.
    infoCountdown_ = 0;
    if (panelShown_) {
        panelShown_ = false;
        QPainter p(&canvas());
        p.drawImage(panelRect_.topLeft(), underPanel_);
        p.end();
        underPanel_ = QImage();
        canvasChanged(panelRect_);
        logInfo("saver", "description panel removed");
    }
    AfterDescription();
}

void frmSaver::DispTitle() {
    titleRect_ = QRect();
    if (!settings_.bTitles)
        return;
    const QFont font = titleFont();
    const QFontMetrics fm(font);
    const int lineHeight = fm.height();
    const QString title = GetTitle(descriptionNfo(), settings_.szLanguage, descriptionTitle_);
    if (title.isEmpty())
        return;
    const QImage& c = canvas();
    const int width = fm.horizontalAdvance("WWWW" + title);
    const int height = lineHeight + 4;
    const int top = c.height() - height;
    const int left = static_cast<int>(std::floor((c.width() - width) * 0.5));
    titleRect_ = QRect(left, top, width, height).intersected(c.rect());
    darken(titleRect_);
    QPainter p(&canvas());
    p.setFont(font);
    const int x = left + fm.horizontalAdvance("WW");
    p.setPen(Qt::black);
    p.drawText(x + 2, top + 3 + fm.ascent(), title);
    p.setPen(Qt::white);
    p.drawText(x, top + 1 + fm.ascent(), title);
    p.end();
    canvasChanged(titleRect_);
}

void frmSaver::AfterDescription() {
    if (abort_ || unloaded_)
        return;
    DispTitle();
    if (!current_.titleShowing && settings_.bCalender) {
        if (calendar::DispCalender(calendar_, canvas(), settings_.szScrIni,
                                   QSize(current_.width, current_.height), trans_.WorkBuff()))
            canvasChanged();
    }
    if (!current_.panDirection.empty())
        ExecutePan();
    else
        FinishPictureChange();
}

void frmSaver::ExecutePan() {
    tmrPan_.stop();
    pan_ = planPan(current_.panMode, {canvas().width(), canvas().height()},
                   {picStretchDC_->width(), picStretchDC_->height()});
    // The first step comes at once, the others a pan speed apart.
    panStep();
    if (!pan_.done && !abort_ && !unloaded_) {
        logInfo("saver", "pan of " + std::to_string(pan_.stepsLeft() + 1) + " steps, " +
                             std::to_string(panInterval(settings_.nPanSpeed)) + " ms apart");
        tmrPan_.setInterval(panInterval(settings_.nPanSpeed));
        tmrPan_.start();
    }
}

void frmSaver::panStep() {
    if (abort_ || unloaded_) {
        tmrPan_.stop();
        return;
    }
    if (saver::panStep(pan_, picDispDC(), picStretchDC_->hdc())) {
        const Rect& v = pan_.view;
        canvasChanged(QRegion(v.x, v.y, v.width, v.height));
    }
    if (pan_.done) {
        tmrPan_.stop();
        FinishPictureChange();
    }
}

void frmSaver::FinishPictureChange() {
    if (abort_ || unloaded_)
        return;
    if (pictureShown)
        pictureShown(*this);
    logInfo("saver", "waiting for the next picture");
    startClock(tmrTrans_);
}

} // namespace skyloom::saver
