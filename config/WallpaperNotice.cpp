#include "WallpaperNotice.h"

#include "frmPleaseWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <memory>
#include <thread>

namespace skyloom::config {

wallpaper::Outcome runWithWallpaperNotice(const std::function<wallpaper::Outcome()>& work,
                                          std::chrono::milliseconds delay,
                                          const std::function<void()>& meanwhile,
                                          bool* noticeShown) {
    QEventLoop loop;
    std::unique_ptr<frmPleaseWait> notice;
    QTimer showNotice;
    showNotice.setSingleShot(true);
    QObject::connect(&showNotice, &QTimer::timeout, &loop, [&notice] {
        notice = std::make_unique<frmPleaseWait>();
        notice->show();
    });
    showNotice.start(delay);

    wallpaper::Outcome outcome;
    {
        // Joined before `loop` goes; the quit is queued, so it also reaches
        // a loop that has not started yet.
        std::jthread worker([&] {
            outcome = work();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        if (meanwhile)
            meanwhile();
        loop.exec();
    }
    showNotice.stop();
    if (noticeShown)
        *noticeShown = notice != nullptr;
    return outcome;
}

} // namespace skyloom::config
