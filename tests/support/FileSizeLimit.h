#pragma once
// While alive, the process may write files of at most `bytes` bytes: writes
// past it fail with EFBIG instead of raising SIGXFSZ. For tests of write
// failures; nothing else may write files meanwhile.

#include <csignal>
#include <sys/resource.h>

namespace skyloom::test {

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &before_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = before_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
    void (*previous_)(int) = SIG_DFL;
};

} // namespace skyloom::test
