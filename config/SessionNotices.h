#pragma once
// What a user sees while a ConfigSession works unattended: the progress of
// the first-run set and the wallpaper notice while the first run's wallpaper
// is made. The session itself shows nothing.

#include <memory>

namespace skyloom::config {

class ConfigSession;
class NoticeProgress;

class SessionNotices {
public:
    /// Hooks the notices into `session` (which must outlive this). On the
    /// offscreen platform the first-run progress shows nothing.
    explicit SessionNotices(ConfigSession& session);
    ~SessionNotices();
    SessionNotices(const SessionNotices&) = delete;
    SessionNotices& operator=(const SessionNotices&) = delete;

private:
    ConfigSession& session_;
    std::unique_ptr<NoticeProgress> progress_;
};

} // namespace skyloom::config
