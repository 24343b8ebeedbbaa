// Prints the monitor list as a program with a Qt GUI application sees it
// (--gui), or waits for MonitorWatch to tell a change that the command after
// "--watch" makes (exit 0 when it did, 1 when the deadline passed first).

#include "platform/Monitors.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstring>

using skyloom::platform::listMonitors;
using skyloom::platform::MonitorWatch;

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    QGuiApplication app(argc, argv);
    if (std::strcmp(argv[1], "--gui") == 0) {
        for (const auto& m : listMonitors())
            std::printf("%s %d,%d %dx%d%s screen%d [%s]%s\n", qPrintable(m.name), m.geometry.x(),
                        m.geometry.y(), m.geometry.width(), m.geometry.height(),
                        m.primary ? " primary" : "", m.screenNumber, qPrintable(m.windowGroup),
                        m.screen ? "" : " no-qscreen");
        return 0;
    }
    if (std::strcmp(argv[1], "--watch") != 0 || argc < 3)
        return 2;
    MonitorWatch watch;
    int result = 1;
    QObject::connect(&watch, &MonitorWatch::changed, &app, [&] {
        result = 0;
        app.quit();
    });
    QStringList args;
    for (int i = 3; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QProcess command;
    command.setProcessChannelMode(QProcess::ForwardedChannels);
    command.start(QString::fromLocal8Bit(argv[2]), args);
    // Generous: a change reaches the watch in milliseconds on an idle machine.
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    app.exec();
    command.waitForFinished();
    return result;
}
