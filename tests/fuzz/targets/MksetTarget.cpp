// The set maker's readers of what a photo says about itself: EXIF, IPTC and
// XMP metadata, the JPEG segments that carry them, and the title chosen
// from them.

#include "../FuzzTargets.h"
#include "graphics/io/JpegHeader.h"
#include "imagesets/maker/Metadata.h"
#include "imagesets/maker/Picture.h"

namespace skyloom::fuzz {
namespace {

// A title is one non-empty line of UTF-8 of about 100 characters at most.
void checkTitle(const mkset::PictureTitle& title) {
    check(!title.title.empty() && isUtf8(title.title), "a title is non-empty UTF-8");
    check(title.title.size() <= 100 + 3, "a title is cut to 100 bytes and an ellipsis");
    for (char c : title.title)
        check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F,
              "a title holds no control characters");
    check(isUtf8(title.description), "a description is UTF-8");
}

} // namespace

void runMkset(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return;
    const std::string_view rest = asText(data + 1, size - 1);
    mkset::PictureMetadata meta;
    switch (data[0] % 4) {
    case 0:
        mkset::readExif(rest, meta);
        check(meta.orientation >= 1 && meta.orientation <= 8, "an orientation is 1 to 8");
        break;
    case 1:
        mkset::readIptc(rest, meta);
        break;
    case 2:
        mkset::readXmp(rest, meta);
        break;
    default: {
        graphics::checkJpegStructure({data + 1, size - 1});
        std::string error;
        graphics::JpegHeader info;
        if (graphics::readJpegHeader({data + 1, size - 1}, info, error)) {
            meta = mkset::readJpegMetadata(info.markers);
            check(meta.orientation >= 1 && meta.orientation <= 8, "an orientation is 1 to 8");
            if (std::int64_t(info.width) * info.height <= 1 << 20) {
                const QImage image = mkset::decodeJpegAtLeast(rest, {8, 8}, error);
                check(image.isNull() || image.format() == QImage::Format_RGB32,
                      "a decoded JPEG is an RGB32 picture");
                check(!image.isNull() || !error.empty(), "a JPEG that fails to decode says why");
            }
        } else {
            check(!error.empty(), "an unreadable JPEG says why");
        }
    }
    }
    checkTitle(mkset::chooseTitle(meta, rest.substr(0, 200)));
    meta.make = std::string(rest.substr(0, 16));
    meta.model = std::string(rest.substr(rest.size() / 2, 16));
    meta.xmpTitle = std::string(rest.substr(0, 300));
    checkTitle(mkset::chooseTitle(meta, ""));
}

} // namespace skyloom::fuzz
