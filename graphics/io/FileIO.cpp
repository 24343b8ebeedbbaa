#include "graphics/io/FileIO.h"

#include "common/SetFileAccess.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::graphics {

FileBytes::FileBytes(const std::string& path, std::size_t maxBytes) {
    // Pictures come from image sets: opened without blocking, regular files
    // inside the program directory only.
    FileHandle handle = openSetFile(path, error_);
    if (!handle)
        return;
    const int fd = handle.release();
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error_ = "cannot read " + path + ": " + std::strerror(errno);
        ::close(fd);
        return;
    }
    // The size is a hint: the file may change while it is read.
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        error_ = "file too large: " + path;
        ::close(fd);
        return;
    }
    // Files too large for the memory read as an error rather than a crash.
    auto resize = [&](std::size_t size) {
        if (data_.resize(size))
            return true;
        error_ = "not enough memory to read " + path;
        ::close(fd);
        data_ = LargeBuffer();
        return false;
    };
    if (!resize(static_cast<std::size_t>(st.st_size)))
        return;
    std::size_t filled = 0;
    while (true) {
        if (filled == data_.size()) {
            // One byte past the limit tells a file that grew too large.
            if (filled > maxBytes) {
                error_ = "file too large: " + path;
                ::close(fd);
                data_ = LargeBuffer();
                return;
            }
            if (!resize(std::min(maxBytes + 1, data_.size() + 65536)))
                return;
        }
        const ssize_t n = ::read(fd, data_.data() + filled, data_.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error_ = "cannot read " + path + ": " + std::strerror(errno);
            ::close(fd);
            data_ = LargeBuffer();
            return;
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (filled > maxBytes) {
        error_ = "file too large: " + path;
        data_ = LargeBuffer();
        return;
    }
    data_.resize(filled);
    ok_ = true;
}

} // namespace skyloom::graphics
