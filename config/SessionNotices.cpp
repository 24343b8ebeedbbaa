#include "SessionNotices.h"

#include "ConfigSession.h"
#include "frmPleaseWait.h"
#include "imagesets/maker/SetMaker.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>

#include <string_view>

namespace skyloom::config {

// Shows how far the first image set has got, in the wallpaper notice's
// place; the work is short (links and small previews), so it runs in the
// caller and lets the notice repaint after every picture.
class NoticeProgress : public mkset::Progress {
public:
    void begin(int total) override {
        total_ = total;
        label_ = std::make_unique<QLabel>();
        label_->setObjectName("lblFirstRunProgress");
        label_->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        label_->setMargin(16);
        label_->setText(QCoreApplication::translate("skyloom::config::frmMoonfield",
                                                    "Preparing your first pictures..."));
        label_->show();
        QCoreApplication::processEvents();
    }
    void step(int done, std::string_view) override {
        label_->setText(QCoreApplication::translate("skyloom::config::frmMoonfield",
                                                    "Preparing your first pictures... %1 of %2")
                            .arg(done)
                            .arg(total_));
        QCoreApplication::processEvents();
    }
    void end() override { label_.reset(); }

private:
    std::unique_ptr<QLabel> label_;
    int total_ = 0;
};

SessionNotices::SessionNotices(ConfigSession& session) : session_(session) {
    if (QGuiApplication::instance() && QGuiApplication::platformName() != "offscreen") {
        progress_ = std::make_unique<NoticeProgress>();
        session.setFirstRunProgress(progress_.get());
    }
    session.wallpaperBusy = [notice =
                                 std::make_shared<std::unique_ptr<frmPleaseWait>>()](bool busy) {
        if (!busy) {
            notice->reset();
            return;
        }
        *notice = std::make_unique<frmPleaseWait>();
        (*notice)->show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

SessionNotices::~SessionNotices() {
    session_.setFirstRunProgress(nullptr);
    session_.wallpaperBusy = nullptr;
}

} // namespace skyloom::config
