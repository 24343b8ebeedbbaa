#pragma once
// Reading whole files. (Files are replaced through common/AtomicFile.h.)

#include "common/AtomicFile.h"
#include "common/SetFileAccess.h"
#include "graphics/io/LargeBuffer.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace skyloom::graphics {

/// Pictures and other work files are replaced whole but not flushed to the
/// disk: they are made again when lost, and flushing costs more than writing.
inline constexpr AtomicFile::Options kWorkFile{.mode = 0644, .forceMode = false, .durable = false};

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

} // namespace skyloom::graphics
