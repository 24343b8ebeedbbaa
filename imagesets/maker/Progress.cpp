#include "imagesets/maker/Progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace skyloom::mkset {

TerminalProgress::TerminalProgress(std::FILE* out)
    : out_(out), enabled_(out && ::isatty(::fileno(out))) {}

void TerminalProgress::begin(int total) {
    total_ = total;
    if (enabled_ && total > 0)
        step(0, "");
}

std::string TerminalProgress::line(int done, int total, std::string_view file, int width) {
    const std::string count = std::to_string(done) + "/" + std::to_string(total);
    constexpr int kBar = 30;
    const int filled = total > 0 ? int(std::int64_t(done) * kBar / total) : kBar;
    std::string out = count + " [" + std::string(std::size_t(filled), '#') +
                      std::string(std::size_t(kBar - filled), '.') + "] ";
    // The file name fills what is left of the line (whole UTF-8 characters).
    std::size_t room = width > int(out.size()) ? std::size_t(width) - out.size() : 0;
    if (file.size() > room) {
        while (room > 0 && (static_cast<unsigned char>(file[room]) & 0xC0) == 0x80)
            --room;
        file = file.substr(0, room);
    }
    return out + std::string(file);
}

void TerminalProgress::step(int done, std::string_view file) {
    if (!enabled_)
        return;
    int width = 80;
    winsize ws{};
    if (::ioctl(::fileno(out_), TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        width = ws.ws_col;
    const std::string text = line(done, total_, file, width - 1);
    // Carriage return, the line, and clear to its end.
    std::fprintf(out_, "\r%s\x1b[K", text.c_str());
    std::fflush(out_);
    drawn_ = true;
}

void TerminalProgress::end() {
    if (enabled_ && drawn_) {
        std::fputs("\n", out_);
        std::fflush(out_);
    }
    drawn_ = false;
}

} // namespace skyloom::mkset
