#include "SetFileAccess.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom {
namespace {

std::mutex rootMutex;
std::string globalRoot; // as given, ending in "/"

// The path with every link resolved, or "" when it does not exist.
std::string resolved(const std::string& path) {
    char buf[PATH_MAX];
    if (!::realpath(path.c_str(), buf))
        return {};
    return buf;
}

// Where the file open as `fd` lies, every link resolved: the resolved path
// of `path`, provided that it still names the very file that is open (a
// link swapped after the open gives "", never another file's path).
std::string pathOfOpenFile(int fd, const std::string& path) {
    const std::string real = resolved(path);
    struct stat open {
    }, named{};
    if (real.empty() || ::fstat(fd, &open) != 0 || ::stat(real.c_str(), &named) != 0 ||
        open.st_dev != named.st_dev || open.st_ino != named.st_ino)
        return {};
    return real;
}

bool textuallyBelow(const std::string& path, const std::string& root) {
    if (root.empty())
        return false;
    std::string r = root;
    if (r.back() != '/')
        r.push_back('/');
    return path.compare(0, r.size(), r) == 0 || path + "/" == r;
}

} // namespace

void FileHandle::reset() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void setSetFileRoot(const std::string& root) {
    std::lock_guard lock(rootMutex);
    globalRoot = root;
    if (!globalRoot.empty() && globalRoot.back() != '/')
        globalRoot.push_back('/');
}

std::string setFileRoot() {
    std::lock_guard lock(rootMutex);
    return globalRoot;
}

bool pathIsInside(const std::string& inner, const std::string& outer) {
    if (outer.empty() || inner.empty())
        return false;
    if (outer == "/")
        return true;
    std::string o = outer;
    while (o.size() > 1 && o.back() == '/')
        o.pop_back();
    return inner == o || inner.compare(0, o.size() + 1, o + "/") == 0;
}

FileHandle openSetFile(const std::string& path, const std::string& root, std::string& error) {
    // A quick look first, so that devices and pipes are never opened at all.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file: " + path;
        return {};
    }
    // The file may be swapped for a pipe after the look: O_NONBLOCK keeps
    // the open from waiting for a writer, and fstat decides on what was opened.
    FileHandle fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return {};
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file: " + path;
        return {};
    }
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    if (textuallyBelow(path, root)) {
        const std::string realRoot = resolved(root);
        const std::string real = pathOfOpenFile(fd.get(), path);
        if (realRoot.empty() || !pathIsInside(real, realRoot)) {
            error = path + " leads outside " + root + " (to " + (real.empty() ? "?" : real) +
                    "); not read";
            return {};
        }
    }
    return fd;
}

FileHandle openSetFile(const std::string& path, std::string& error) {
    return openSetFile(path, setFileRoot(), error);
}

bool isReadableSetFile(const std::string& path, const std::string& root, std::string* error) {
    std::string e;
    const bool ok = static_cast<bool>(openSetFile(path, root, e));
    if (error)
        *error = e;
    return ok;
}

SetFileStream openSetFileStream(const std::string& path, std::string& error) {
    FileHandle fd = openSetFile(path, error);
    if (!fd)
        return {nullptr, &std::fclose};
    std::FILE* f = ::fdopen(fd.get(), "rb");
    if (!f) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return {nullptr, &std::fclose};
    }
    fd.release();
    return {f, &std::fclose};
}

bool readSetFile(const std::string& path, std::size_t maxBytes, std::string& out,
                 std::string& error) {
    out.clear();
    FileHandle fd = openSetFile(path, error);
    if (!fd)
        return false;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = "cannot read " + path + ": " + std::strerror(errno);
            return false;
        }
        if (n == 0)
            return true;
        if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
            error = "file too large: " + path;
            out.clear();
            return false;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
}

} // namespace skyloom
