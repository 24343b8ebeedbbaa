// The saver window's monitors: one canvas and one picture change for each,
// laid out with that monitor's size, and a window of its own for every X
// screen besides the primary monitor's. Kept in step with the monitors
// while the saver runs.

#include "Cursor.h"
#include "SaverCanvas.h"
#include "SmoothTransition.h"
#include "common/Log.h"
#include "frmSaver.h"
#include "platform/Monitors.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace skyloom::saver {

ScreenWindow::ScreenWindow(frmSaver& saver, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), saver_(saver) {
    setObjectName("frmSaverScreen");
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    setMouseTracking(true);
}

void ScreenWindow::paintEvent(QPaintEvent* event) {
    paintBlack(*this, event->region());
}
void ScreenWindow::keyPressEvent(QKeyEvent* event) {
    saver_.keyPressEvent(event);
}
void ScreenWindow::mousePressEvent(QMouseEvent* event) {
    saver_.mousePressEvent(event);
}
void ScreenWindow::mouseMoveEvent(QMouseEvent* event) {
    saver_.mouseMoveEvent(event);
}

namespace {

bool sameMonitor(const platform::Monitor& a, const platform::Monitor& b) {
    return a.name == b.name && a.screenNumber == b.screenNumber && a.windowGroup == b.windowGroup &&
           a.deviceGeometry == b.deviceGeometry && a.geometry == b.geometry;
}

QRect groupArea(const std::vector<platform::Monitor>& monitors, const QString& group) {
    QRect bounds;
    for (const platform::Monitor& m : monitors)
        if (m.windowGroup == group)
            bounds = bounds.united(m.geometry);
    return bounds;
}

} // namespace

std::vector<PictureChange*> frmSaver::changes() {
    std::vector<PictureChange*> all;
    for (const auto& s : surfaces_)
        all.push_back(s->change);
    if (all.empty())
        all.push_back(&change_);
    return all;
}

std::vector<platform::Monitor> frmSaver::monitorsToCover() const {
    if (offscreen_ || debugMode())
        return {};
    std::vector<platform::Monitor> monitors = platform::listMonitors();
    if (monitors.empty())
        return {};
    // Inside the lock's guard the guard's window covers the primary
    // monitor's X screen; the other screens get windows of their own above
    // the guard's black covers there (the guard holds the input).
    return monitors;
}

QWidget* frmSaver::windowForScreen(const platform::Monitor& monitor) {
    if (surfaces_.empty() || monitor.windowGroup == surfaces_.front()->monitor.windowGroup)
        return this;
    for (const auto& w : screenWindows_)
        if (w->group == monitor.windowGroup)
            return w.get();
    auto w = std::make_unique<ScreenWindow>(*this, Qt::Window | Qt::FramelessWindowHint |
                                                       Qt::WindowStaysOnTopHint |
                                                       Qt::BypassWindowManagerHint);
    w->group = monitor.windowGroup;
    if (monitor.screen)
        w->setScreen(monitor.screen);
    w->setGeometry(monitor.geometry);
    if (isVisible())
        showCovering(*w);
    screenWindows_.push_back(std::move(w));
    return screenWindows_.back().get();
}

frmSaver::Surface& frmSaver::addSurface(const platform::Monitor& monitor, QWidget* window) {
    auto s = std::make_unique<Surface>();
    s->monitor = monitor;
    s->whole = monitor.deviceGeometry.isEmpty();
    s->window = window;
    if (surfaces_.empty()) {
        s->change = &change_;
    } else {
        s->own = std::make_unique<PictureChange>();
        s->change = s->own.get();
        s->change->LoadFrom(change_);
        s->change->setHandOut(handOut_);
        // The calendar goes on the primary monitor only.
        s->change->setCalendarShown(false);
    }
    s->widget = new SaverCanvas(window, &s->change->canvas());
    s->widget->setObjectName(surfaces_.empty()
                                 ? QStringLiteral("picDisp")
                                 : QStringLiteral("picDisp%1").arg(surfaces_.size() + 1));
    s->widget->show();
    Surface* raw = s.get();
    s->change->drawRequested = [this, raw](const QRegion& part) { canvasChanged(*raw, part); };
    surfaces_.push_back(std::move(s));
    return *raw;
}

void frmSaver::syncSurfaces() {
    if (unloaded_)
        return;
    std::vector<platform::Monitor> monitors = monitorsToCover();
    if (monitors.empty()) {
        // One canvas of the window's own size.
        if (surfaces_.empty() || !surfaces_.front()->whole) {
            surfaces_.clear();
            screenWindows_.clear();
            addSurface(platform::Monitor{}, this);
        }
        layoutSurfaces();
        return;
    }
    // The primary monitor keeps this window's own change.
    if (surfaces_.empty() || surfaces_.front()->whole) {
        surfaces_.clear();
        addSurface(monitors.front(), this);
    } else {
        surfaces_.front()->monitor = monitors.front();
    }
    // Canvases of monitors that are gone (or changed) go; new ones come.
    std::vector<std::unique_ptr<Surface>> kept;
    kept.push_back(std::move(surfaces_.front()));
    for (std::size_t i = 1; i < surfaces_.size(); ++i) {
        auto& s = surfaces_[i];
        const bool present =
            std::any_of(monitors.begin() + 1, monitors.end(),
                        [&s](const platform::Monitor& m) { return sameMonitor(m, s->monitor); });
        if (present)
            kept.push_back(std::move(s));
        else {
            logInfo("saver", "monitor gone: " + s->monitor.name.toStdString());
            s->change->Abort();
        }
    }
    surfaces_ = std::move(kept);
    // Windows of X screens (outputs) without monitors go.
    std::erase_if(screenWindows_, [&monitors](const std::unique_ptr<ScreenWindow>& w) {
        return std::none_of(monitors.begin(), monitors.end(),
                            [&w](const platform::Monitor& m) { return m.windowGroup == w->group; });
    });
    for (std::size_t i = 1; i < monitors.size(); ++i) {
        const platform::Monitor& m = monitors[i];
        const bool known = std::any_of(surfaces_.begin() + 1, surfaces_.end(),
                                       [&m](const auto& s) { return sameMonitor(m, s->monitor); });
        if (known)
            continue;
        Surface& s = addSurface(m, windowForScreen(m));
        logInfo("saver", "monitor covered: " + m.name.toStdString());
        if (started_) {
            layoutSurfaces();
            s.change->start();
        }
    }
    layoutSurfaces();
}

void frmSaver::layoutSurfaces() {
    if (unloaded_)
        return;
    // The windows of the other X screens span their monitors. A window the
    // compositor places fills its output by itself.
    const bool placed = platform::compositorPlacesWindows();
    std::vector<platform::Monitor> monitors;
    for (const auto& s : surfaces_)
        monitors.push_back(s->monitor);
    if (!surfaces_.empty() && !surfaces_.front()->whole && !placed) {
        for (const auto& w : screenWindows_) {
            const QRect area = groupArea(monitors, w->group);
            if (w->geometry() != area)
                w->setGeometry(area);
        }
    }
    QScreen* primary = QGuiApplication::primaryScreen();
    QPoint origin = primary && !embedded_ ? primary->virtualGeometry().topLeft() : QPoint(0, 0);
    if (placed && !surfaces_.empty() && !surfaces_.front()->whole)
        origin = groupArea(monitors, surfaces_.front()->monitor.windowGroup).topLeft();
    for (const auto& s : surfaces_) {
        QRect area;
        qreal scale = 1;
        if (s->whole) {
            area = rect();
            scale = devicePixelRatioF();
        } else {
            const QPoint windowOrigin =
                s->window == this ? origin : groupArea(monitors, s->monitor.windowGroup).topLeft();
            area = s->monitor.geometry.translated(-windowOrigin).intersected(s->window->rect());
            scale = s->monitor.devicePixelRatio;
        }
        // Laid out in device pixels: a 3840 x 2160 monitor at 200 % gets a
        // canvas of its real size, not a quarter of it scaled up.
        const SaverLayout layout =
            computeLayout(qRound(area.width() * scale), qRound(area.height() * scale),
                          change_.settings().bStretch2Fit);
        const Rect& r = layout.picDisp;
        s->widget->setGeometry(QRectF(area.x() + r.x / scale, area.y() + r.y / scale,
                                      r.width / scale, r.height / scale)
                                   .toRect());
        // The blending effects draw one frame per refresh of the monitor.
        const QScreen* screen = s->monitor.screen ? s->monitor.screen : s->window->screen();
        if (screen)
            s->change->setFrameInterval(screenFrameInterval(screen->refreshRate()));
        // A canvas whose monitor did not change keeps its picture.
        if (s->laidOut && s->layout == layout && s->scale == scale)
            continue;
        s->layout = layout;
        s->scale = scale;
        s->laidOut = true;
        s->change->setCanvas(layout, scale); // asks for the whole canvas to be painted
    }
}

void frmSaver::showCovering(QWidget& window) {
    if (platform::compositorPlacesWindows() && !embedded_ && !offscreen_ && !debugMode())
        window.showFullScreen();
    else
        window.show();
}

void frmSaver::canvasChanged(Surface& surface, const QRegion& part) {
    const QImage& c = surface.change->canvas();
    SaverCanvas* widget = surface.widget;
    if (!widget || c.width() <= 0 || c.height() <= 0)
        return;
    // Canvas pixels to the widget's logical pixels, rounded outwards.
    const qreal sx = qreal(widget->width()) / c.width();
    const qreal sy = qreal(widget->height()) / c.height();
    QRegion logical;
    for (const QRect& r : part)
        logical += QRectF(r.x() * sx, r.y() * sy, r.width() * sx, r.height() * sy).toAlignedRect();
    widget->update(logical);
    if (canvasDrawn && surface.change == &change_)
        canvasDrawn();
}

} // namespace skyloom::saver
