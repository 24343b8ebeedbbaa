#pragma once
// WorkBuff: an off-screen picture with a drawing surface that frees itself.
// It owns one rasterkit work buffer (handle -1 when empty); copying makes
// an independent buffer with the same pixels.

#include "graphics/io/JpegCodec.h"
#include "graphics/rasterkit/Rasterkit.h"

#include <string>

namespace skyloom::graphics {

class WorkBuff {
public:
    WorkBuff() = default;
    ~WorkBuff();
    WorkBuff(const WorkBuff& other);
    /// Makes a new buffer of the other's size and copies its pixels; the old
    /// buffer is freed only after that. Copying an empty WorkBuff empties this one.
    WorkBuff& operator=(const WorkBuff& other);
    WorkBuff(WorkBuff&& other) noexcept;
    WorkBuff& operator=(WorkBuff&& other) noexcept;

    /// Replaces the buffer by a black width × height one; true on success.
    bool InitWorkBuff(int width, int height, HDC reference, int options = 0);
    /// Replaces the buffer by the picture in the file, recognised by its
    /// content (JPEG, BMP or PNG) whatever its name; false leaves it empty.
    bool InitWorkBuffFromFile(const std::string& path, HDC reference);
    /// The same with DCT-scaled JPEG decoding: the picture is decoded at the
    /// strongest fast scale that is still at least minWidth × minHeight.
    bool InitWorkBuffFromFileScaled(const std::string& path, HDC reference, int minWidth,
                                    int minHeight);

    /// Replaces the buffer by the picture fitted to width × height with
    /// HALFTONE quality: JPEG files are decoded at a reduced DCT scale and
    /// resampled as they are read (the fast path for full-screen pictures);
    /// other pictures are loaded whole and resampled.
    bool InitWorkBuffFitted(const std::string& path, int width, int height, FitMode mode);

    int Width() const;  ///< 0 when empty
    int Height() const; ///< 0 when empty
    rasterkit::Handle hBMP() const { return handle_.get(); }
    HDC hDC() const; ///< 0 when empty

    /// Writes the buffer as a 24-bit BMP; does nothing when empty. True when written.
    bool SavePicture(const std::string& path) const;

private:
    void release();
    bool adopt(const std::string& path, const JpegDecodeOptions& options);

    rasterkit::OwnedHandle handle_;
};

} // namespace skyloom::graphics
