#pragma once
// Opening the files of image sets. Sets come from archives, other people's
// machines and hand-made folders, so a set may hold anything a folder can:
// named pipes and devices (an ordinary open would block on them for good)
// and symbolic links leading anywhere on the disk. Every reader of a set's
// files opens them here: without blocking, regular files only, and only
// when the file still lies inside the program directory once every link is
// resolved (a link inside the program directory to another file inside it
// is fine).

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace skyloom {

/// An open file descriptor, closed when the object goes.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() { reset(); }
    FileHandle(FileHandle&& o) noexcept : fd_(o.release()) {}
    FileHandle& operator=(FileHandle&& o) noexcept {
        if (this != &o) {
            reset();
            fd_ = o.release();
        }
        return *this;
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset();

private:
    int fd_ = -1;
};

/// The folder that holds the image sets (the program directory, ending in
/// "/"). Files named below it are confined to it by openSetFile(); "" (the
/// start) confines nothing. Set once the program directory is known.
void setSetFileRoot(const std::string& root);
std::string setFileRoot();

/// Opens `path` for reading without blocking on it. Only a regular file is
/// opened (a pipe, device, socket or folder is refused before it is opened);
/// when `path` lies below `root` ("" for none), the file must still lie
/// inside `root` after resolving links. On failure the handle is empty and
/// `error` names the file and the reason.
FileHandle openSetFile(const std::string& path, const std::string& root, std::string& error);
/// The same with the root given to setSetFileRoot().
FileHandle openSetFile(const std::string& path, std::string& error);

/// True when openSetFile() would open the file (it is opened and closed).
bool isReadableSetFile(const std::string& path, const std::string& root, std::string* error);

/// Reads a whole set file of at most `maxBytes` bytes (global root).
bool readSetFile(const std::string& path, std::size_t maxBytes, std::string& out,
                 std::string& error);

/// A stdio stream over openSetFile() (global root), closed when it goes.
using SetFileStream = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
SetFileStream openSetFileStream(const std::string& path, std::string& error);

/// True when `inner` (a resolved path) is `outer` or lies below it.
bool pathIsInside(const std::string& inner, const std::string& outer);

} // namespace skyloom
