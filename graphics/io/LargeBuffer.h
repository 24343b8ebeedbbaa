#pragma once
// Zeroed memory in an anonymous mapping of its own, for large buffers that
// are filled once (file contents, a progressive JPEG's coefficients): the
// kernel hands out zero pages, all at once, so no clearing pass touches the
// whole buffer beforehand, and the memory goes back to the system as soon
// as the buffer is freed.

#include <cstddef>
#include <cstdint>

class QImage;

namespace skyloom::graphics {

class LargeBuffer {
public:
    /// Huge asks for memory in 2 MB pages where the system has them: one
    /// page fault instead of 512, for a buffer that is reused many times
    /// over (a writer's chunk); the size is rounded up to whole 2 MB pages.
    /// Buffers under 1 MB get normal pages.
    enum class Pages { Normal, Huge };

    LargeBuffer() = default;
    /// size bytes of zeroes; data() is null when the memory is not there.
    explicit LargeBuffer(std::size_t size, Pages pages = Pages::Normal);
    ~LargeBuffer();
    LargeBuffer(LargeBuffer&& other) noexcept;
    LargeBuffer& operator=(LargeBuffer&& other) noexcept;
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    /// Changes the size keeping the contents (up to the smaller size); bytes
    /// that come in read as zero. False, and the buffer unchanged, when the
    /// memory is not there.
    bool resize(std::size_t size);

private:
    void release();
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t mapped_ = 0;
};

/// Puts in place at once the memory pages of [data, data + size) that are
/// about to be written all over (a new picture's pixels): one call instead
/// of a page fault for every 4 KB, which virtual machines make costly, and
/// 2 MB pages where they fit (an 8 MB picture: 5 ms instead of 30 on one
/// here). Nothing happens where the system cannot do it.
void mapInAtOnce(void* data, std::size_t size);
/// The same for a picture's pixels (none for a null picture).
void mapInAtOnce(QImage& image);

} // namespace skyloom::graphics
