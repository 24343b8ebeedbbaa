#include "Monitors.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace skyloom::platform {

namespace {

// Qt puts the screens of one X screen into one virtual desktop: the siblings
// of a screen. Virtual desktops are numbered in the order Qt lists them.
int virtualDesktopOf(QScreen* screen, const QList<QScreen*>& all) {
    std::vector<QScreen*> firsts;
    for (QScreen* s : all) {
        const QList<QScreen*> siblings = s->virtualSiblings();
        QScreen* first = siblings.isEmpty() ? s : siblings.first();
        if (std::find(firsts.begin(), firsts.end(), first) == firsts.end())
            firsts.push_back(first);
    }
    const QList<QScreen*> siblings = screen->virtualSiblings();
    QScreen* first = siblings.isEmpty() ? screen : siblings.first();
    return int(std::find(firsts.begin(), firsts.end(), first) - firsts.begin());
}

QRect toDevice(const QRect& r, qreal ratio) {
    return QRect(qRound(r.x() * ratio), qRound(r.y() * ratio), qRound(r.width() * ratio),
                 qRound(r.height() * ratio));
}

void sortPrimaryFirst(std::vector<Monitor>& list) {
    std::stable_sort(list.begin(), list.end(), [](const Monitor& a, const Monitor& b) {
        if (a.primary != b.primary)
            return a.primary;
        if (a.screenNumber != b.screenNumber)
            return a.screenNumber < b.screenNumber;
        if (a.geometry.x() != b.geometry.x())
            return a.geometry.x() < b.geometry.x();
        return a.geometry.y() < b.geometry.y();
    });
}

std::vector<Monitor> fromQtScreens() {
    std::vector<Monitor> list;
    const QList<QScreen*> all = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    for (QScreen* s : all) {
        if (s->geometry().isEmpty())
            continue;
        Monitor m;
        m.name = s->name();
        m.geometry = s->geometry();
        m.devicePixelRatio = s->devicePixelRatio();
        m.deviceGeometry = toDevice(m.geometry, m.devicePixelRatio);
        m.primary = (s == primary);
        m.screenNumber = virtualDesktopOf(s, all);
        m.screen = s;
        list.push_back(m);
    }
    if (!list.empty() &&
        std::none_of(list.begin(), list.end(), [](const Monitor& m) { return m.primary; }))
        list.front().primary = true;
    sortPrimaryFirst(list);
    return list;
}

} // namespace

std::vector<Monitor> listMonitors() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fromQtScreens();
    return {};
}

QRect screenBounds(const std::vector<Monitor>& monitors, int screenNumber) {
    QRect bounds;
    for (const Monitor& m : monitors)
        if (m.screenNumber == screenNumber)
            bounds = bounds.united(m.deviceGeometry);
    return bounds;
}

MonitorWatch::MonitorWatch(QObject* parent) : QObject(parent) {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app)
        return;
    auto watchScreen = [this](QScreen* s) {
        connect(s, &QScreen::geometryChanged, this, &MonitorWatch::changed);
    };
    for (QScreen* s : QGuiApplication::screens())
        watchScreen(s);
    connect(app, &QGuiApplication::screenAdded, this, [this, watchScreen](QScreen* s) {
        watchScreen(s);
        emit changed();
    });
    connect(app, &QGuiApplication::screenRemoved, this, &MonitorWatch::changed);
    connect(app, &QGuiApplication::primaryScreenChanged, this, &MonitorWatch::changed);
}

} // namespace skyloom::platform
