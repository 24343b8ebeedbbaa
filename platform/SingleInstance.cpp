#include "SingleInstance.h"

#include "Locations.h"
#include "common/Log.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace skyloom::platform {

SingleInstance::SingleInstance(const std::string& programName) {
    std::string path = runtimeDirectory() + "/" + programName + ".instance";
    // O_CLOEXEC: a program we start (xdg-open, a wallpaper tool) must not
    // inherit the lock and keep it after we have ended.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        logWarning("platform", "cannot open " + path + "; assuming no other instance");
        owner_ = true;
        return;
    }
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    owner_ = rc == 0;
}

SingleInstance::~SingleInstance() {
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace skyloom::platform
