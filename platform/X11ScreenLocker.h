#pragma once
// The lock on X11: the cover is kept on top by a ScreenCover (in the
// Composite overlay when the server has one), the input is held with Qt's
// window grabs, and the renderer learns the cover's window id from
// SKYLOOM_RENDER_INTO and draws into a window of its own inside it.

#include "ChildProcess.h"
#include "ScreenLocker.h"

#include <QObject>
#include <QPointer>
#include <QWindow>

namespace skyloom::platform {

class ScreenCover;

class X11ScreenLocker : public QObject, public ScreenLocker {
public:
    X11ScreenLocker();
    ~X11ScreenLocker() override;

    bool cover(QWindow* window, QRect area) override;
    void uncover() override;
    void setArea(QRect area) override;
    void setPrompt(QWindow* prompt, QRect geometry, bool shown) override;
    bool grabInput() override;
    bool grabAgain() override;
    void releaseInput() override;
    bool startRenderer(const Command& command) override;
    bool rendererActive() const override { return renderer_.active(); }
    void stopRenderer() override { renderer_.stop(); }
    void tellRenderer(const std::string& line) override { renderer_.tell(line); }

private:
    QPointer<QWindow> window_;
    std::unique_ptr<ScreenCover> cover_;
    ChildProcess renderer_;
};

} // namespace skyloom::platform
