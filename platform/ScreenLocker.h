#pragma once
// The desktop's half of a password lock: one window of this program held
// above every other window, the keyboard and pointer held by it, and the
// pictures drawn inside it by a separate process (the renderer), so that a
// renderer that crashes leaves the screen covered. When to ask for the
// password, what to do with it and when to unlock is the caller's business.
// X11 is the one backend today; a desktop with a session-lock protocol gets
// a backend of its own behind this interface.

#include "Process.h"

#include <QRect>

#include <functional>
#include <memory>
#include <string>

class QWindow;

namespace skyloom::platform {

class ScreenLocker {
public:
    virtual ~ScreenLocker() = default;

    /// Makes `window` (a shown top-level window of this program that fills
    /// `area`, in desktop coordinates) the cover and keeps it above every
    /// other window. False when it cannot be kept there.
    virtual bool cover(QWindow* window, QRect area) = 0;
    /// Stops holding the cover (before its window is destroyed and made
    /// anew, or at the end of the lock).
    virtual void uncover() = 0;
    virtual void setArea(QRect area) = 0;
    /// `prompt`, a native child window of the cover at `geometry` (relative
    /// to the cover), is kept mapped and above the renderer while `shown`.
    virtual void setPrompt(QWindow* prompt, QRect geometry, bool shown) = 0;

    /// Takes the keyboard and pointer for the cover, waiting a few seconds
    /// while another program holds them. False when they stayed taken.
    virtual bool grabInput() = 0;
    /// Takes them again without waiting; false while another program holds
    /// one of them.
    virtual bool grabAgain() = 0;
    /// Gives the keyboard and pointer back.
    virtual void releaseInput() = 0;

    /// Starts `command` as the renderer, told where to draw; false when one
    /// runs already or there is no cover to draw into.
    virtual bool startRenderer(const Command& command) = 0;
    virtual bool rendererActive() const = 0;
    /// Ends the renderer (waiting at most a few seconds); no callback follows.
    virtual void stopRenderer() = 0;
    /// Sends the renderer one line of text.
    virtual void tellRenderer(const std::string& line) = 0;

    /// The cover is back after another program took it away for a moment:
    /// the input must be taken again.
    std::function<void()> inputLost;
    /// The cover could not be put back (its window was destroyed): the
    /// caller makes a new window and calls cover() again.
    std::function<void()> coverLost;
    std::function<void()> rendererStarted;
    /// One line the renderer wrote.
    std::function<void(const std::string&)> rendererSaid;
    /// The renderer ended by itself or could not be started.
    std::function<void()> rendererEnded;
};

/// The locker of this desktop; null when this desktop cannot be locked.
std::unique_ptr<ScreenLocker> makeScreenLocker();

/// Ignores every signal that could end this process (all but SIGKILL and
/// SIGSTOP, which cannot be caught, and the harmless ones).
void ignoreEndingSignals();

} // namespace skyloom::platform
