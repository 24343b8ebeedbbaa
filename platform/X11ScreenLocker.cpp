#include "X11ScreenLocker.h"

#include "ScreenCover.h"

#include <QCoreApplication>
#include <QThread>

namespace skyloom::platform {
namespace {

constexpr int kGrabTries = 50; // 5 seconds

} // namespace

X11ScreenLocker::X11ScreenLocker() {
    renderer_.started = [this] {
        if (rendererStarted)
            rendererStarted();
    };
    renderer_.said = [this](const std::string& line) {
        if (rendererSaid)
            rendererSaid(line);
    };
    renderer_.ended = [this] {
        if (rendererEnded)
            rendererEnded();
    };
}

X11ScreenLocker::~X11ScreenLocker() {
    cover_.reset();
    renderer_.stop();
}

bool X11ScreenLocker::cover(QWindow* window, QRect area) {
    cover_.reset();
    window_ = window;
    if (!window)
        return false;
    cover_ = std::make_unique<ScreenCover>(static_cast<std::uint32_t>(window->winId()), area);
    cover_->restored = [this] {
        if (inputLost)
            inputLost();
    };
    cover_->coverHeld = [this](bool held) {
        if (!held && coverLost)
            coverLost();
    };
    return cover_->start(true);
}

void X11ScreenLocker::uncover() {
    // The window is kept for releaseInput(); it is forgotten by itself when
    // destroyed.
    cover_.reset();
}

void X11ScreenLocker::setArea(QRect area) {
    if (cover_)
        cover_->setArea(area);
}

void X11ScreenLocker::setPrompt(QWindow* prompt, QRect geometry, bool shown) {
    if (cover_)
        cover_->setTopChild(prompt ? static_cast<std::uint32_t>(prompt->winId()) : 0, geometry,
                            shown);
}

bool X11ScreenLocker::grabInput() {
    for (int i = 0; i < kGrabTries && window_; ++i) {
        const bool keyboard = window_->setKeyboardGrabEnabled(true);
        const bool mouse = keyboard && window_->setMouseGrabEnabled(true);
        if (keyboard && mouse)
            return true;
        window_->setKeyboardGrabEnabled(false);
        QThread::msleep(100);
        QCoreApplication::processEvents();
    }
    return false;
}

bool X11ScreenLocker::grabAgain() {
    if (!window_)
        return true; // nothing to hold until the next cover
    const bool keyboard = window_->setKeyboardGrabEnabled(true);
    const bool mouse = window_->setMouseGrabEnabled(true);
    return keyboard && mouse;
}

void X11ScreenLocker::releaseInput() {
    if (window_) {
        window_->setKeyboardGrabEnabled(false);
        window_->setMouseGrabEnabled(false);
    }
}

bool X11ScreenLocker::startRenderer(const Command& command) {
    if (!window_)
        return false;
    return renderer_.start(command, {{"SKYLOOM_RENDER_INTO", std::to_string(window_->winId())}});
}

} // namespace skyloom::platform
