#include "graphics/io/MappedFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skyloom::graphics {

MappedFile::MappedFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error_ = "cannot open " + path + ": " + std::strerror(errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error_ = "not a regular file: " + path;
        ::close(fd);
        return;
    }
    size_ = static_cast<std::size_t>(st.st_size);
    if (size_ > 0) {
        void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        if (p == MAP_FAILED) {
            error_ = "cannot map " + path + ": " + std::strerror(errno);
            size_ = 0;
            ::close(fd);
            return;
        }
        data_ = static_cast<const std::uint8_t*>(p);
    }
    ::close(fd);
    ok_ = true;
}

MappedFile::~MappedFile() {
    if (data_)
        ::munmap(const_cast<std::uint8_t*>(data_), size_);
}

AtomicFileWriter::AtomicFileWriter(const std::string& path) : path_(path) {
    tempPath_ = path + ".XXXXXX";
    fd_ = ::mkostemp(tempPath_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = "cannot create " + path + ": " + std::strerror(errno);
        tempPath_.clear();
        return;
    }
    ::fchmod(fd_, 0644);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !tempPath_.empty())
        ::unlink(tempPath_.c_str());
}

bool AtomicFileWriter::write(const void* data, std::size_t size) {
    if (!ok())
        return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = "cannot write " + path_ + ": " + std::strerror(errno);
            failed_ = true;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::commit() {
    if (!ok())
        return false;
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        error_ = "cannot write " + path_ + ": " + std::strerror(errno);
        failed_ = true;
        return false;
    }
    if (::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        error_ = "cannot replace " + path_ + ": " + std::strerror(errno);
        failed_ = true;
        return false;
    }
    committed_ = true;
    return true;
}

} // namespace skyloom::graphics
