#include "ProfileFile.h"

#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace skyloom::profile {
namespace {

struct Identity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    timespec ctime{};
    bool operator==(const Identity& o) const {
        return dev == o.dev && ino == o.ino && size == o.size && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && ctime.tv_sec == o.ctime.tv_sec &&
               ctime.tv_nsec == o.ctime.tv_nsec;
    }
};

Identity identityOf(const struct stat& st) {
    return Identity{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

struct CacheEntry {
    Identity id;
    std::shared_ptr<const IniDocument> doc;
};

std::mutex cacheMutex;
std::unordered_map<std::string, CacheEntry> cache;

/// RAII file descriptor.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        int f = fd_;
        fd_ = -1;
        return f;
    }

private:
    int fd_;
};

bool readAll(int fd, std::string& out) {
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        out.append(buf, static_cast<std::size_t>(n));
    }
}

// Reads a file and its identity; a missing file gives an empty text.
bool readFile(const std::string& path, std::string& text, Identity* id) {
    // Without blocking: a named pipe in place of a file would hold the reader
    // for good. Only a regular file is read.
    struct stat pre {};
    if (::stat(path.c_str(), &pre) == 0 && !S_ISREG(pre.st_mode))
        return false;
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        text.clear();
        if (id)
            *id = Identity{};
        return errno == ENOENT || errno == ENOTDIR;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    if (id)
        *id = identityOf(st);
    return readAll(fd.get(), text);
}

std::pair<std::string, std::string> splitPath(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

} // namespace

std::shared_ptr<const IniDocument> load(const std::string& path) {
    struct stat st {};
    bool exists = ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (exists) {
        std::lock_guard lock(cacheMutex);
        auto it = cache.find(path);
        if (it != cache.end() && it->second.id == identityOf(st))
            return it->second.doc;
    }
    if (!exists)
        return std::make_shared<const IniDocument>();
    std::string text;
    Identity id;
    if (!readFile(path, text, &id))
        return std::make_shared<const IniDocument>();
    auto doc = std::make_shared<const IniDocument>(IniDocument::parse(text));
    std::lock_guard lock(cacheMutex);
    cache[path] = CacheEntry{id, doc};
    return doc;
}

namespace {

// A settings file that is a symbolic link (kept with the user's other
// dotfiles, say) is written where the link points, so that it stays a link:
// replacing the link by a file would quietly part it from its target.
std::string writeTarget(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_symlink(path, ec))
        return path;
    const fs::path target = fs::canonical(path, ec);
    if (!ec)
        return target.string();
    // A link to a file not made yet: the file it names.
    fs::path named = fs::read_symlink(path, ec);
    if (ec)
        return path;
    if (named.is_relative())
        named = fs::path(path).parent_path() / named;
    const fs::path resolved = fs::weakly_canonical(named, ec);
    return ec ? path : resolved.string();
}

} // namespace

bool update(const std::string& settingsPath, const std::function<bool(IniDocument&)>& edit) {
    const std::string path = writeTarget(settingsPath);
    auto [dir, name] = splitPath(path);
    if (name.empty())
        return false;
    const std::string lockPath = dir + "/." + name + ".lock";
    Fd lockFd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
    if (lockFd.get() < 0)
        return false;
    while (::flock(lockFd.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return false;
    }

    std::string text;
    if (!readFile(path, text, nullptr))
        return false;
    IniDocument doc = IniDocument::parse(text);
    if (!edit(doc))
        return true;
    std::string out = doc.serialize();
    if (out == text) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0)
            return true;
    }

    // Only a lock holder writes temporaries, so under the lock every one
    // that exists was left by a writer that was killed.
    AtomicFile::removeStaleTemporaries(dir, name, true);
    if (!writeFileAtomically(path, out))
        return false;
    // Still under the lock, so the file in place is the one just written.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        std::lock_guard lock(cacheMutex);
        cache[settingsPath] =
            CacheEntry{identityOf(st), std::make_shared<const IniDocument>(std::move(doc))};
    }
    return true;
}

void clearCache() {
    std::lock_guard lock(cacheMutex);
    cache.clear();
}

} // namespace skyloom::profile
