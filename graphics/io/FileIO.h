#pragma once
// Reading whole files and replacing files atomically.

#include "graphics/io/LargeBuffer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace skyloom::graphics {

/// The contents of a regular file, read into memory. (Not a memory mapping:
/// a mapped file that another program truncates would crash the reader.)
class FileBytes {
public:
    /// Largest file read: a 32-bit BMP at the pixel limit, with room for headers.
    static constexpr std::size_t kMaxBytes = (std::size_t(5) << 28) + (std::size_t(1) << 20);

    /// Reads the file; check ok() and error() afterwards.
    explicit FileBytes(const std::string& path, std::size_t maxBytes = kMaxBytes);

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    std::span<const std::uint8_t> bytes() const { return {data_.data(), data_.size()}; }

private:
    LargeBuffer data_;
    bool ok_ = false;
    std::string error_;
};

/// Writes bytes to a temporary file beside path and renames it over path,
/// so readers never see a half-written picture. The writer callback gets a
/// function that appends bytes; it returns false to abandon the file.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path);
    ~AtomicFileWriter(); // removes the temporary file unless commit() succeeded
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    bool ok() const { return fd_ >= 0 && !failed_; }
    bool write(const void* data, std::size_t size);
    /// Flushes, closes and renames; true when the file is in place.
    bool commit();
    const std::string& error() const { return error_; }

private:
    std::string path_;
    std::string tempPath_;
    int fd_ = -1;
    bool failed_ = false;
    bool committed_ = false;
    std::string error_;
};

} // namespace skyloom::graphics
