#pragma once
// Building the prepared picture of a picture change: the picture file is
// loaded (JPEGs decoded at a reduced DCT scale when the fit needs less than
// the full size), fitted to the display as the fit table says, smoothed
// when enlarged, given its layer, reduced to 8 bits on low-colour displays
// and published as the work file "ssprep.bmp".

#include "graphics/io/BmpCodec.h"
#include "saver/PrepImageLogic.h"

#include <QImage>

#include <functional>
#include <memory>
#include <string>

namespace skyloom::saver {

struct PrepRequest {
    std::string programPath; ///< work files go here ("" = none written)
    std::string picturePath; ///< the picture file
    Size display;            ///< the display area
    std::string panDirection;
    int panoramicOrigin = 0;
    bool panEnabled = true;
    bool stretch = true;
    bool keepAspect = true; ///< stretch keeps the picture's proportions
    std::string layerPath;  ///< "" for no layer
    std::int32_t layerTranslucency = 0;
    int bitsPerPixel = 24;
    /// A moving panorama whose prepared picture has more pixels than this
    /// is written straight to its work file and shown a window at a time.
    std::int64_t inMemoryPixels = kMaxPreparedPixels;
    /// Rows or columns such a window holds along the motion beyond the first view.
    int windowAhead = 1024;
    /// True once the user has ended the saver (tested after smoothing).
    std::function<bool()> aborted;
};

struct PrepResult {
    enum class Status { Ready, LoadFailed, Aborted };
    Status status = Status::LoadFailed;
    QImage picture;                 ///< the prepared picture
    Size pictureSize;               ///< the source size, or the cut-out's for a still panorama
    bool keepsPanDirection = false; ///< false: a panorama is shown still
    std::string error;
    /// A moving panorama too large to hold: the whole prepared picture is in
    /// this file, and `picture` is its window of `windowLength` rows or
    /// columns from `windowOrigin` along the motion, the one with the first view.
    std::shared_ptr<graphics::BmpStripFile> strips;
    int windowOrigin = 0;
    int windowLength = 0;
    /// The whole prepared picture's size.
    Size preparedSize() const {
        if (strips)
            return {strips->size().width(), strips->size().height()};
        return {picture.width(), picture.height()};
    }
};

/// Work files in the program folder.
inline constexpr const char* kWorkFile = "ssj.bmp";
inline constexpr const char* kConvertFile = "conv.jpg";
inline constexpr const char* kPreparedFile = "ssprep.bmp";

PrepResult preparePicture(const PrepRequest& request);

/// Blends the layer picture into `target` (a bitmap or work-buffer handle),
/// 20 pixels from the right and bottom edges of the display's first view.
/// A layer that cannot be loaded is skipped (and logged).
void DrawLayer(std::int32_t target, int xShift, int yShift, Size display,
               const std::string& layerPath, std::int32_t translucency);

} // namespace skyloom::saver
