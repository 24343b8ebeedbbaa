#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom {
namespace {

std::pair<std::string, std::string> splitPath(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Makes the rename itself survive a power cut.
void syncFolder(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Puts the finished file `from` in the place of `path` in one step. A work
// file that is not flushed to the disk anyway is swapped with the old file
// (which then goes under `from`'s name and is removed): on ext4 a rename
// over an existing file makes the kernel write the new file's data out at
// once, which doubles the cost of replacing a large picture. Readers see the
// old file or the new one either way. Where the old one is not a plain file,
// or the file system cannot swap, it is a plain rename.
bool moveIntoPlace(const std::string& from, const std::string& path, bool swap) {
    struct stat old {};
    if (swap && ::lstat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) &&
        ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    return ::rename(from.c_str(), path.c_str()) == 0;
}

// The writer's process id in ".NAME.tmp.PID.N", or 0.
pid_t writerOf(const char* name, std::size_t prefixLength) {
    char* end = nullptr;
    const long pid = std::strtol(name + prefixLength, &end, 10);
    return end && *end == '.' && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

bool processAlive(pid_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

} // namespace

std::string AtomicFile::temporaryPrefix(const std::string& fileName) {
    return "." + fileName + ".tmp.";
}

void AtomicFile::removeStaleTemporaries(const std::string& dir, const std::string& fileName,
                                        bool allOfThem) {
    const std::string prefix = temporaryPrefix(fileName);
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    while (dirent* e = ::readdir(d)) {
        if (std::strncmp(e->d_name, prefix.c_str(), prefix.size()) != 0)
            continue;
        if (allOfThem || !processAlive(writerOf(e->d_name, prefix.size())))
            ::unlinkat(::dirfd(d), e->d_name, 0);
    }
    ::closedir(d);
}

AtomicFile::AtomicFile(std::string path) : AtomicFile(std::move(path), Options{}) {}

AtomicFile::AtomicFile(std::string path, Options options)
    : path_(std::move(path)), options_(options) {
    const auto [dir, name] = splitPath(path_);
    if (name.empty()) {
        fail("cannot write " + path_ + ": not a file name");
        return;
    }
    mode_t mode = static_cast<mode_t>(options_.mode);
    struct stat old {};
    if (!options_.forceMode && ::stat(path_.c_str(), &old) == 0)
        mode = old.st_mode & 07777;
    static std::atomic<unsigned> counter{0};
    tempPath_ = (dir == "." && path_.find('/') == std::string::npos ? "" : dir + "/") +
                temporaryPrefix(name) + std::to_string(::getpid()) + "." +
                std::to_string(counter++);
    fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd_ < 0) {
        tempPath_.clear();
        fail("cannot create a file beside " + path_ + ": " + std::strerror(errno));
        return;
    }
    // The umask may have taken bits away that the old file had.
    ::fchmod(fd_, mode);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !tempPath_.empty())
        ::unlink(tempPath_.c_str());
}

void AtomicFile::fail(const std::string& what) {
    failed_ = true;
    error_ = what;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (!ok())
        return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail("cannot write " + path_ + ": " + std::strerror(n < 0 ? errno : ENOSPC));
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFile::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (fd_ < 0)
        return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, p, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int why = n < 0 ? errno : ENOSPC;
            static std::mutex failing;
            const std::lock_guard lock(failing);
            if (!failed_)
                fail("cannot write " + path_ + ": " + std::strerror(why));
            return false;
        }
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFile::reserve(std::uint64_t size) {
    if (!ok())
        return false;
    if (size == 0)
        return true;
    int r;
    do
        r = ::fallocate(fd_, 0, 0, static_cast<off_t>(size));
    while (r != 0 && errno == EINTR);
    if (r == 0)
        return true;
    // Only a lack of room is the file's failure; a file system that does not
    // allocate ahead leaves it to the writes.
    if (errno == ENOSPC || errno == EDQUOT || errno == EFBIG || errno == EIO) {
        fail("cannot write " + path_ + ": " + std::strerror(errno));
        return false;
    }
    return true;
}

bool AtomicFile::commit() {
    if (!ok())
        return false;
    if (options_.durable && ::fsync(fd_) != 0) {
        fail("cannot write " + path_ + ": " + std::strerror(errno));
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        fail("cannot write " + path_ + ": " + std::strerror(errno));
        return false;
    }
    if (!moveIntoPlace(tempPath_, path_, !options_.durable)) {
        fail("cannot replace " + path_ + ": " + std::strerror(errno));
        return false;
    }
    committed_ = true;
    if (options_.durable)
        syncFolder(splitPath(path_).first);
    return true;
}

bool replaceFile(const std::string& from, const std::string& path, AtomicFile::Options options,
                 std::string* error) {
    if (options.durable) {
        // The contents first: a rename that reaches the disk before them
        // would leave an empty file after a power cut.
        const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 || ::fsync(fd) != 0) {
            if (error)
                *error = "cannot write " + path + ": " + std::strerror(errno);
            if (fd >= 0)
                ::close(fd);
            return false;
        }
        ::close(fd);
    }
    if (!moveIntoPlace(from, path, !options.durable)) {
        if (error)
            *error = "cannot replace " + path + ": " + std::strerror(errno);
        return false;
    }
    if (options.durable)
        syncFolder(splitPath(path).first);
    return true;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         AtomicFile::Options options, std::string* error) {
    AtomicFile file(path, options);
    if (file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.error();
    return false;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    return writeFileAtomically(path, bytes, AtomicFile::Options{}, error);
}

} // namespace skyloom
