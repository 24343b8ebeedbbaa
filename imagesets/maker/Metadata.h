#pragma once
// What a photo says about itself: its EXIF orientation and the titles and
// descriptions in its EXIF (libexif), IPTC and XMP metadata, and the
// picture's English title chosen from them or made from its file name.

#include "graphics/io/JpegHeader.h"

#include <string>
#include <string_view>
#include <vector>

namespace skyloom::mkset {

using graphics::JpegMarker;

struct PictureMetadata {
    int orientation = 1; ///< EXIF orientation 1-8 (1 when absent or invalid)
    std::string make, model;
    // Texts as found (not yet cleaned), one per source.
    std::string xmpTitle, iptcObjectName, exifXpTitle, pngTitle;
    std::string xmpDescription, iptcCaption, exifDescription, pngDescription;
};

/// EXIF data, with or without the "Exif\0\0" header of a JPEG APP1 segment.
void readExif(std::string_view data, PictureMetadata& meta);
/// A JPEG APP13 segment ("Photoshop 3.0" resources holding IPTC-IIM data).
void readIptc(std::string_view app13, PictureMetadata& meta);
/// An XMP packet (XML): dc:title and dc:description.
void readXmp(std::string_view xml, PictureMetadata& meta);
/// All of the above from a JPEG's APP1 and APP13 segments.
PictureMetadata readJpegMetadata(const std::vector<JpegMarker>& markers);

/// Metadata of a PNG found in its uncompressed text chunks (tEXt, iTXt) and
/// its eXIf chunk.
struct PngMetadata {
    std::string title;       ///< "Title" text
    std::string description; ///< "Description" text
    std::string xmp;         ///< "XML:com.adobe.xmp" text
    std::string exif;        ///< eXIf chunk (TIFF data)
};
PngMetadata readPngMetadata(std::string_view bytes);

/// One line of text: UTF-8 (other bytes read as Windows-1252), control
/// characters and runs of blanks made single spaces, trimmed.
std::string cleanText(std::string_view text);

/// True for texts that do not describe the picture: empty or blank, the
/// default caption cameras write ("OLYMPUS DIGITAL CAMERA", "SONY DSC"...),
/// or just the camera's make or model.
bool isPlaceholderText(std::string_view text, std::string_view make, std::string_view model);

/// A file name (without extension) as a title: "FreshFlower" -> "Fresh
/// Flower", "rain_drops-2" -> "Rain drops 2", "2020-07-30" stays.
std::string readableFileName(std::string_view stem);

struct PictureTitle {
    std::string title;       ///< one line, never empty
    std::string description; ///< a paragraph, or empty
};
/// The title: the first usable metadata title (XMP, IPTC, EXIF, PNG), else the
/// first usable description, else the readable file name; cut to about 100
/// characters at a word. The description: the first usable metadata
/// description when it says more than the title.
PictureTitle chooseTitle(const PictureMetadata& meta, std::string_view fileStem);

} // namespace skyloom::mkset
