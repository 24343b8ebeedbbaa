#include "graphics/io/LargeBuffer.h"

#include <QImage>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

namespace skyloom::graphics {
namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
} // namespace

LargeBuffer::LargeBuffer(std::size_t size, Pages pages) {
    static const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    // Under 1 MB a huge page would mostly be zeroed for nothing.
    const bool huge = pages == Pages::Huge && size >= kHugePage / 2;
    const std::size_t align = huge ? std::max(kHugePage, page) : page;
    if (size == 0 || size > SIZE_MAX / 2 - align)
        return;
    const std::size_t length = (size + align - 1) / align * align;
    // An aligned huge page needs room to slide the mapping into place;
    // mapInAtOnce then asks for huge pages over the whole aligned length.
    const std::size_t slack = align > page ? align : 0;
    void* memory =
        ::mmap(nullptr, length + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return;
    auto* first = static_cast<std::uint8_t*>(memory);
    auto* start = first;
    if (slack) {
        start = reinterpret_cast<std::uint8_t*>(
            (reinterpret_cast<std::uintptr_t>(first) + align - 1) / align * align);
        if (start > first)
            ::munmap(first, static_cast<std::size_t>(start - first));
        if (first + length + slack > start + length)
            ::munmap(start + length,
                     static_cast<std::size_t>(first + length + slack - (start + length)));
    }
    data_ = start;
    size_ = size;
    mapped_ = length;
    mapInAtOnce(data_, mapped_);
}

LargeBuffer::~LargeBuffer() {
    release();
}

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, 0);
    }
    return *this;
}

bool LargeBuffer::resize(std::size_t size) {
    if (size == 0 && !data_)
        return true;
    if (data_ && size <= mapped_) {
        if (size < size_)
            std::memset(data_ + size, 0, size_ - size);
        size_ = size;
        return true;
    }
    LargeBuffer bigger(size);
    if (!bigger.data())
        return false;
    if (data_)
        std::memcpy(bigger.data_, data_, std::min(size_, size));
    *this = std::move(bigger);
    return true;
}

void mapInAtOnce(void* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    static const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    // The whole pages inside the range: the partial ones at its ends may
    // hold other data and fault in as usual.
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) / page * page;
    if (end <= begin)
        return;
#ifdef MADV_HUGEPAGE
    // Whole 2 MB pages inside it come as huge pages where the system has
    // them: on some virtual machines each 4 KB page still costs a fault on
    // its first touch, populated or not (an 8 MB picture: 5 ms instead of 15).
    const auto hugeBegin = (begin + kHugePage - 1) / kHugePage * kHugePage;
    const auto hugeEnd = end / kHugePage * kHugePage;
    if (hugeEnd > hugeBegin)
        ::madvise(reinterpret_cast<void*>(hugeBegin), hugeEnd - hugeBegin, MADV_HUGEPAGE);
#endif
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)size;
#endif
}

void mapInAtOnce(QImage& image) {
    if (!image.isNull())
        mapInAtOnce(image.bits(), static_cast<std::size_t>(image.sizeInBytes()));
}

void LargeBuffer::release() {
    if (data_)
        ::munmap(data_, mapped_);
    data_ = nullptr;
    size_ = 0;
    mapped_ = 0;
}

} // namespace skyloom::graphics
