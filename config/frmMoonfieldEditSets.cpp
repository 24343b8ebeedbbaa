// The configuration dialog's Edit Sets page, the rotating thumbnail of the
// Screen Saver page, and the saver preview.

#include "frmMoonfield.h"

#include "EditSetsWidget.h"
#include "PageLists.h"
#include "SaverPreview.h"
#include "Thumbnail.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

namespace skyloom::config {

namespace {

constexpr int kThumbnailMs = 1500;

// Restarts the thumbnails at once when the dialog is shown.
class ShowWatcher : public QObject {
public:
    ShowWatcher(QObject* parent, std::function<void()> shown)
        : QObject(parent), shown_(std::move(shown)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched == parent())
            shown_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> shown_;
};

// Stops two timers and restarts those that ran, however the caller leaves.
class SuspendedTimers {
public:
    SuspendedTimers(QTimer* a, QTimer* b) : timers_{a, b} {
        for (std::size_t i = 0; i < timers_.size(); ++i) {
            wasActive_[i] = timers_[i] && timers_[i]->isActive();
            if (timers_[i])
                timers_[i]->stop();
        }
    }
    ~SuspendedTimers() {
        for (std::size_t i = 0; i < timers_.size(); ++i)
            if (wasActive_[i])
                timers_[i]->start();
    }
    SuspendedTimers(const SuspendedTimers&) = delete;
    SuspendedTimers& operator=(const SuspendedTimers&) = delete;

private:
    std::array<QTimer*, 2> timers_;
    std::array<bool, 2> wasActive_{};
};

} // namespace

QWidget* frmMoonfield::buildEditSetsPage() {
    auto* page = new QWidget;
    page->setObjectName("pageEditSets");
    editSets_ = new EditSetsWidget(library_, page);
    thumbnails_ = std::make_unique<ThumbnailCycle>();
    tmrThumbnailChanger_ = new QTimer(this);
    tmrThumbnailChanger_->setObjectName("tmrThumbnailChanger");
    tmrThumbnailChanger_->setInterval(1);
    return page;
}

void frmMoonfield::connectEditSetsPage() {
    connect(editSets_, &EditSetsWidget::setsChanged, this, [this] {
        UpdateLists();
        SetApply();
    });
    connect(editSets_, &EditSetsWidget::edited, this, &frmMoonfield::SetApply);
    connect(tmrThumbnailChanger_, &QTimer::timeout, this, &frmMoonfield::tmrThumbnailChanger_Timer);
    connect(cmboSS_SetsToUse_, &QComboBox::currentIndexChanged, this,
            &frmMoonfield::cmboSS_SetsToUse_Click);
    connect(optSSOn_, &QRadioButton::toggled, this, [this] { updateThumbnailTimer(); });
    connect(this, &frmMoonfield::previewRequested, this, &frmMoonfield::cmdSSPreview_Click);
    installEventFilter(new ShowWatcher(this, [this] {
        tmrThumbnailChanger_->setInterval(1);
        updateThumbnailTimer();
    }));
}

void frmMoonfield::editSetsInitLists() {
    editSets_->InitLists();
    // The set preview starts with the page, not with the dialog.
    editSets_->previewTimer()->stop();
    cmboSS_SetsToUse_Click();
}

void frmMoonfield::editSetsUpdateLists() {
    editSets_->UpdateLists();
    if (currentPage() != EditSets)
        editSets_->pageHidden();
    cmboSS_SetsToUse_Click();
}

void frmMoonfield::editSetsPageSelected(int page) {
    if (page == EditSets)
        editSets_->pageShown();
    else
        editSets_->pageHidden();
    updateThumbnailTimer();
}

// The About page rotates its own set's pictures; this changer serves the
// Screen Saver page while it shows and the saver is switched on.
void frmMoonfield::updateThumbnailTimer() {
    const bool on = optSSOn_->isChecked();
    if (currentPage() == ScreenSaver && on) {
        if (!tmrThumbnailChanger_->isActive())
            tmrThumbnailChanger_->start();
    } else {
        tmrThumbnailChanger_->stop();
        if (!on)
            picSSThumbNail_->clear();
    }
}

void frmMoonfield::cmboSS_SetsToUse_Click() {
    if (!screenSaver_)
        return;
    thumbnails_->clear();
    const auto& entries = screenSaver_->setEntries();
    const std::string chosen = cmboSS_SetsToUse_->currentData().toString().toStdString();
    for (auto& entry : thumbnailEntries(library_.Sets(), entries, chosen))
        thumbnails_->add(std::move(entry));
}

void frmMoonfield::tmrThumbnailChanger_Timer() {
    tmrThumbnailChanger_->setInterval(kThumbnailMs);
    if (!isVisible() || thumbnails_->entries().empty())
        return;
    tmrThumbnailChanger_->stop();
    thumbnails_->step([&](const std::string& entry) {
        return showThumbnail(picSSThumbNail_, programPath_ + entry + ".bmp", programPath_);
    });
    updateThumbnailTimer();
}

void frmMoonfield::cmdSSPreview_Click() {
    if (!screenSaver_)
        return;
    SuspendedTimers suspended(tmrThumbnailChanger_, editSets_->previewTimer());
    const ScreenSaverSettings& v = screenSaver_->values();
    runSaverPreview(previewSettings(v, screenSaver_->setEntries(), programPath_), v.minutes);
}

} // namespace skyloom::config
