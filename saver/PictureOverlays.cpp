// The picture change after the transition: the description panel, the
// title strip and the calendar over the picture (each darkening what lies
// under it), then the panoramic motion.

#include "PictureChange.h"

#include "Description.h"
#include "calendar/CalendarOverlay.h"
#include "common/Log.h"
#include "common/Profile.h"
#include "graphics/rasterkit/Rasterkit.h"

#include <QDate>
#include <QFontMetrics>
#include <QPainter>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace skyloom::saver {
namespace {

// The text panels let a third of the picture under them show through black.
constexpr int kPanelTranslucency = 33;

void setFamilies(QFont& f, bool japanese) {
    // Names fontconfig knows on every desktop; Japanese needs a font with its glyphs.
    if (japanese)
        f.setFamilies({"Noto Sans CJK JP", "Noto Sans JP", "Sans Serif"});
    else
        f.setFamilies({"DejaVu Sans", "Liberation Sans", "Sans Serif"});
}

} // namespace

std::string PictureChange::descriptionNfo() const {
    return descriptionNfoFor(settings_.szImagePath, current_.relativePath);
}

QFont PictureChange::panelFont() const {
    QFont f;
    const bool japanese = settings_.szLanguage == "Japanese";
    setFamilies(f, japanese);
    f.setPixelSize(std::max(12, picDispDC_->height() / 42));
    f.setBold(!japanese); // Japanese is not drawn bold
    return f;
}

QFont PictureChange::titleFont() const {
    // The title strip's plain bold screen font.
    QFont f;
    setFamilies(f, settings_.szLanguage == "Japanese");
    f.setPixelSize(std::max(11, picDispDC_->height() / 48));
    f.setBold(true);
    return f;
}

void PictureChange::darken(const QRect& area) {
    rasterkit::blendColour(canvas(), area, qRgb(0, 0, 0), kPanelTranslucency);
}

void PictureChange::ShowDescription() {
    descriptionTitle_.clear();
    panelLines_.clear();
    panelShown_ = false;
    if (abort_)
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
    int panelWidth = panelNominalWidth_;
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
    drawPanel(font);
    panelShown_ = true;
    logInfo("saver", "description panel shown");
    infoCountdown_ = 0;
    startClock(tmrInfo_);
    requestDraw(QRegion(panelRect_));
}

void PictureChange::drawPanel(const QFont& font) {
    // What lies under the panel comes back when it goes.
    underPanel_ = canvas().copy(panelRect_);
    darken(panelRect_);
    const QFontMetrics fm(font);
    int textWidth = 0;
    for (const QString& l : panelLines_)
        textWidth = std::max(textWidth, fm.horizontalAdvance(l));
    QPainter p(&canvas());
    p.setClipRect(panelRect_);
    p.setFont(font);
    const int x = panelRect_.x() + (panelRect_.width() - textWidth) / 2;
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

void PictureChange::infoTick() {
    tmrInfo_.stop();
    if (abort_)
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
        requestDraw(QRegion(panelRect_));
        logInfo("saver", "description panel removed");
    }
    AfterDescription();
}

void PictureChange::DispTitle() {
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
    requestDraw(QRegion(titleRect_));
}

void PictureChange::DispCalender() {
    calendarRect_ = QRect();
    // The snapshot's values: a preview's unsaved ones are not in the file.
    if (calendar::DispCalender(calendar_, canvas(), calendarSettings(settings_),
                               QSize(current_.width, current_.height), QDate::currentDate(),
                               &calendarRect_))
        // The text's shadow pass may reach 2 pixels beyond the frame.
        requestDraw(QRegion(calendarRect_.adjusted(-2, -2, 2, 2)) & canvas().rect());
}

void PictureChange::AfterDescription() {
    if (abort_)
        return;
    DispTitle();
    if (!current_.titleShowing && settings_.bCalender && calendarShown_)
        DispCalender();
    if (!current_.panDirection.empty())
        ExecutePan();
    else
        FinishPictureChange();
}

void PictureChange::ExecutePan() {
    tmrPan_.stop();
    pan_ = planPan(current_.panMode, {canvas().width(), canvas().height()}, preparedSize());
    pan_.offset = strips_ ? window_.origin : 0;
    // The first step comes at once, the others a pan speed apart.
    PanStep();
    if (!pan_.done && !abort_) {
        logInfo("saver", "pan of " + std::to_string(pan_.stepsLeft() + 1) + " steps, " +
                             std::to_string(panInterval(settings_.nPanSpeed)) + " ms apart");
        tmrPan_.setInterval(panInterval(settings_.nPanSpeed));
        tmrPan_.start();
    }
}

void PictureChange::PanStep() {
    if (abort_) {
        tmrPan_.stop();
        return;
    }
    if (strips_ && !followWindow())
        return; // the next window is still being read: this step waits for it
    if (saver::panStep(pan_, picDispDC(), picStretchDC_->hdc())) {
        const Rect& v = pan_.view;
        requestDraw(QRegion(v.x, v.y, v.width, v.height));
    }
    if (pan_.done) {
        tmrPan_.stop();
        FinishPictureChange();
    }
}

Size PictureChange::preparedSize() const {
    if (strips_)
        return {strips_->size().width(), strips_->size().height()};
    return {picStretchDC_->width(), picStretchDC_->height()};
}

// The part of the prepared picture window `w` holds.
QRect PictureChange::windowArea(PanWindow w) const {
    return panWindowArea(w, preparedSize(), panAxisOf(current_.panDirection) == PanAxis::Vertical);
}

QPoint PictureChange::windowOffset() const {
    return strips_ ? windowArea(window_).topLeft() : QPoint();
}

void PictureChange::readWindow(PanWindow w) {
    nextWindowAt_ = w;
    nextWindow_ =
        QtConcurrent::run([file = strips_, area = windowArea(w)] { return file->read(area); });
}

// Keeps the window of a picture too large to hold ahead of the pan: the
// next one is read in the background once half of the one in use is
// passed, and taken when the pan leaves it. False while the step has to
// wait for it.
bool PictureChange::followWindow() {
    if (!windowHolds(pan_, window_)) {
        // Nothing (or the wrong part) asked for yet: a read still under way
        // is left to finish on its own.
        if (!nextWindow_.isValid() || !windowHolds(pan_, nextWindowAt_))
            readWindow(panWindowAt(pan_, window_.length));
        if (!nextWindow_.isFinished())
            return false;
        QImage next = nextWindow_.result();
        nextWindow_ = QFuture<QImage>();
        if (next.isNull()) {
            logWarning("saver", "cannot read the prepared picture on: the pan ends here");
            pan_.done = true;
            return true;
        }
        picStretchDC_->setImage(std::move(next));
        window_ = nextWindowAt_;
        pan_.offset = window_.origin;
    }
    if (!nextWindow_.isValid())
        if (const auto next = nextPanWindow(pan_, window_))
            readWindow(*next);
    return true;
}

} // namespace skyloom::saver
