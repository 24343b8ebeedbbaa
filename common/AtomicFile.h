#pragma once
// Replacing a file as a whole: the new contents go to a temporary file beside
// it, which is renamed over the old one once complete. Readers see the old
// file or the new one, never half of one, and a writer that dies leaves at
// most a temporary behind (removed by the next writer of the same file).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace skyloom {

class AtomicFile {
public:
    struct Options {
        /// Permissions of a new file; an existing file keeps its own unless
        /// `forceMode` is set.
        unsigned mode = 0644;
        bool forceMode = false;
        /// Flush file and folder to the disk before and after the rename, so
        /// a power cut leaves a whole file. Off for work files that are made
        /// again when lost (pictures, caches): flushing them costs more than
        /// writing them.
        bool durable = true;
    };

    explicit AtomicFile(std::string path);
    AtomicFile(std::string path, Options options);
    /// Removes the temporary unless commit() succeeded.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool ok() const { return fd_ >= 0 && !failed_; }
    bool write(const void* data, std::size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    /// Writes at `offset` from the file's start without moving on from
    /// where write() is. Several threads may call it at once for ranges of
    /// their own (and nothing else meanwhile); the first failure is kept.
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size);
    /// Gives the file `size` bytes (reading as zeroes until written) with
    /// their disk blocks taken at once, so that a full disk shows before
    /// anything is written, and writes into them cost the kernel less than
    /// growing the file a piece at a time. False, with error() saying why,
    /// when there is no room; true and nothing done where the file system
    /// cannot allocate ahead.
    bool reserve(std::uint64_t size);
    /// The temporary file, for encoders that write by file name; commit()
    /// afterwards as usual.
    const std::string& temporaryPath() const { return tempPath_; }
    /// Closes the temporary and renames it over the file; true when the new
    /// file is in place.
    bool commit();
    /// Why the last step failed ("cannot write …: No space left on device").
    const std::string& error() const { return error_; }

    /// The prefix of this file's temporaries: ".NAME.tmp." in its folder.
    static std::string temporaryPrefix(const std::string& fileName);
    /// Removes temporaries of `fileName` in `dir` whose writer has ended;
    /// with `allOfThem`, every one (for callers that hold the file's lock,
    /// under which no other writer can be at work).
    static void removeStaleTemporaries(const std::string& dir, const std::string& fileName,
                                       bool allOfThem = false);

private:
    void fail(const std::string& what);

    std::string path_;
    std::string tempPath_;
    Options options_;
    int fd_ = -1;
    bool failed_ = false;
    bool committed_ = false;
    std::string error_;
};

/// Replaces `path` with `bytes` through an AtomicFile; false with a reason in
/// `error` (when given) on failure.
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr);
bool writeFileAtomically(const std::string& path, std::string_view bytes,
                         AtomicFile::Options options, std::string* error = nullptr);

/// Puts the finished file `from` (in the same folder) in the place of `path`
/// in one step, as commit() does: readers see the old file or `from`'s
/// contents. With `options.durable`, both are flushed to the disk. False with
/// a reason in `error` (when given); `from` is then left as it was.
bool replaceFile(const std::string& from, const std::string& path, AtomicFile::Options options,
                 std::string* error = nullptr);

} // namespace skyloom
