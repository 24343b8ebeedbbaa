#include "SingleInstance.h"

#include "Locations.h"
#include "common/Log.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace skyloom::platform {
namespace {

std::string lockPath(const std::string& programName) {
    return runtimeDirectory() + "/" + programName + ".instance";
}

struct flock wholeFile(short type) {
    struct flock l {};
    l.l_type = type;
    l.l_whence = SEEK_SET;
    l.l_start = 0;
    l.l_len = 0;
    return l;
}

} // namespace

SingleInstance::SingleInstance(const std::string& programName) {
    const std::string path = lockPath(programName);
    // O_CLOEXEC: a program we start (xdg-open, a wallpaper tool) must not
    // inherit the lock and keep it after we have ended.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        logWarning("platform", "cannot open " + path + "; assuming no other instance");
        owner_ = true;
        return;
    }
    struct flock l = wholeFile(F_WRLCK);
    int rc;
    do {
        rc = ::fcntl(fd_, F_OFD_SETLK, &l);
    } while (rc != 0 && errno == EINTR);
    owner_ = rc == 0;
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool SingleInstance::heldElsewhere(const std::string& programName) {
    const int fd = ::open(lockPath(programName).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false; // never created: nobody has held it
    struct flock l = wholeFile(F_WRLCK);
    const bool held = ::fcntl(fd, F_OFD_GETLK, &l) == 0 && l.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

} // namespace skyloom::platform
