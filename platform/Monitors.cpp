#include "Monitors.h"

#include <QGuiApplication>
#include <QScreen>

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

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
        m.windowGroup = compositorPlacesWindows() ? QStringLiteral("output ") + m.name
                                                  : QStringLiteral("screen %1").arg(m.screenNumber);
        list.push_back(m);
    }
    if (!list.empty() &&
        std::none_of(list.begin(), list.end(), [](const Monitor& m) { return m.primary; }))
        list.front().primary = true;
    sortPrimaryFirst(list);
    return list;
}

// Replies from xcb are malloc'ed: freed with free().
struct FreeReply {
    void operator()(void* p) const { std::free(p); }
};
template <class T> using Reply = std::unique_ptr<T, FreeReply>;

struct XcbConnection {
    xcb_connection_t* c = nullptr;
    XcbConnection() : c(xcb_connect(nullptr, nullptr)) {}
    ~XcbConnection() {
        if (c)
            xcb_disconnect(c);
    }
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;
    bool ok() const { return c && !xcb_connection_has_error(c); }
};

QString atomName(xcb_connection_t* c, xcb_atom_t atom) {
    Reply<xcb_get_atom_name_reply_t> name(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    if (!name)
        return {};
    return QString::fromUtf8(xcb_get_atom_name_name(name.get()),
                             xcb_get_atom_name_name_length(name.get()));
}

bool hasRandrMonitors(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_randr_id);
    if (!ext || !ext->present)
        return false;
    Reply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 5), nullptr));
    return version && (version->major_version > 1 ||
                       (version->major_version == 1 && version->minor_version >= 5));
}

// The active RandR monitors of one X screen; the whole screen when RandR
// has none (an old server, or every output off).
void addScreenMonitors(xcb_connection_t* c, const xcb_screen_t* screen, int number, bool randr,
                       std::vector<Monitor>& list) {
    const std::size_t before = list.size();
    if (randr) {
        Reply<xcb_randr_get_monitors_reply_t> reply(
            xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, screen->root, 1), nullptr));
        if (reply) {
            auto it = xcb_randr_get_monitors_monitors_iterator(reply.get());
            for (; it.rem; xcb_randr_monitor_info_next(&it)) {
                const xcb_randr_monitor_info_t* info = it.data;
                if (info->width == 0 || info->height == 0)
                    continue;
                Monitor m;
                m.name = atomName(c, info->name);
                m.geometry = QRect(info->x, info->y, info->width, info->height);
                m.deviceGeometry = m.geometry;
                m.primary = info->primary;
                m.screenNumber = number;
                m.windowGroup = QStringLiteral("screen %1").arg(number);
                list.push_back(m);
            }
        }
    }
    if (list.size() == before) {
        Monitor m;
        m.name = QStringLiteral("screen");
        m.geometry = QRect(0, 0, screen->width_in_pixels, screen->height_in_pixels);
        m.deviceGeometry = m.geometry;
        m.screenNumber = number;
        m.windowGroup = QStringLiteral("screen %1").arg(number);
        list.push_back(m);
    }
}

} // namespace

std::vector<Monitor> listDisplayMonitors() {
    std::vector<Monitor> list;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return list;
    XcbConnection conn;
    if (!conn.ok())
        return list;
    const bool randr = hasRandrMonitors(conn.c);
    int number = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(conn.c)); it.rem;
         xcb_screen_next(&it), ++number)
        addScreenMonitors(conn.c, it.data, number, randr, list);
    // The primary monitor of the first X screen is the display's primary one
    // (each X screen may have its own; Qt too takes the default screen's).
    bool seen = false;
    for (Monitor& m : list) {
        m.primary = m.primary && m.screenNumber == 0 && !seen;
        seen = seen || m.primary;
    }
    if (!seen && !list.empty()) {
        sortPrimaryFirst(list);
        list.front().primary = true;
    }
    sortPrimaryFirst(list);
    return list;
}

bool compositorPlacesWindows() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::vector<Monitor> listMonitors() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return fromQtScreens();
    return listDisplayMonitors();
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
