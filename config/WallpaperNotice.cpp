#include "WallpaperNotice.h"

#include "frmPleaseWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <atomic>
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

    // A message box of the work closing is no reason to end the program.
    const bool quitOnClose = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    wallpaper::Outcome outcome;
    std::atomic<bool> done{false};
    {
        // Joined before `loop` goes; the quit is queued, so it also reaches
        // a loop that has not started yet.
        std::jthread worker([&] {
            outcome = work();
            done = true;
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        if (meanwhile)
            meanwhile();
        loop.exec();
        // Ended early (the application was told to quit): the work may still
        // ask something, and its last event wakes this wait.
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    showNotice.stop();
    QGuiApplication::setQuitOnLastWindowClosed(quitOnClose);
    if (noticeShown)
        *noticeShown = notice != nullptr;
    return outcome;
}

} // namespace skyloom::config
