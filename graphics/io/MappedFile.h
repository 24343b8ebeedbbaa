#pragma once
// A whole file mapped read-only into memory; unmapped when the object goes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace skyloom::graphics {

class MappedFile {
public:
    /// Maps the file; check ok() and error() afterwards. Empty files map to an empty span.
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }
    std::span<const std::uint8_t> bytes() const { return {data_, size_}; }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
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
