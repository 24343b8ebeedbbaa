#pragma once
// What the image credits dialog shows, read from a picture's information
// file (file base + ".nfo") without any widget, so the reading rules are
// tested on their own.
//
// Two layouts exist. Version 1 keeps the title and the credit in the
// picture's file under [image name] and the further texts in the set's
// photo.nfo. Version 2 has one block of "key=value" lines per language,
// starting at the line that holds "[" + language + "]" and ending at the next
// line that holds "["; a value may go on over the following lines that hold
// no "=".

#include <QtGlobal>
#include <cstddef>
#include <string>

#include <string_view>
#include <vector>

namespace skyloom::config {

/// Translation context of the dialog's own texts below; the dialog shows
/// them translated, texts read from the files as they stand.
inline constexpr const char* kCreditsContext = "skyloom::config::Credits";

/// The dialog's texts before anything is read.
inline constexpr const char* kNotAvailableDesign =
    QT_TRANSLATE_NOOP("skyloom::config::Credits", "Not Available.");
/// A version-1 file's text for what it does not say.
inline constexpr const char* kNotAvailable =
    QT_TRANSLATE_NOOP("skyloom::config::Credits", "Not Available");
inline constexpr const char* kNoAdditionalInfo = QT_TRANSLATE_NOOP(
    "skyloom::config::Credits", "No additional information is available for this image.");
inline constexpr const char* kImageTitlePrompt =
    QT_TRANSLATE_NOOP("skyloom::config::Credits", "Image title:");
inline constexpr const char* kImageCreditPrompt =
    QT_TRANSLATE_NOOP("skyloom::config::Credits", "Image Credit:");
inline constexpr const char* kAdditInfoPrompt =
    QT_TRANSLATE_NOOP("skyloom::config::Credits", "Additional image information:");
inline constexpr const char* kMoreInfoPrompt =
    QT_TRANSLATE_NOOP("skyloom::config::Credits", "For more information");
inline constexpr const char* kWebButton =
    QT_TRANSLATE_NOOP("skyloom::config::Credits", "Visit Corvenna Website");

class Credits {
public:
    // What the dialog's controls show (their design texts to start with).
    std::string imageTitlePrompt = kImageTitlePrompt;   ///< lblImageTitlePrompt
    std::string imageTitle = kNotAvailableDesign;       ///< lblImageTitle
    std::string imageCreditPrompt = kImageCreditPrompt; ///< lblImageCreditPrompt
    std::string imageInfo = kNotAvailableDesign;        ///< lblImageInfo (the credit)
    std::string additInfoPrompt = kAdditInfoPrompt;     ///< lblAdditInfoPrompt
    std::string photo = kNotAvailableDesign;            ///< txtPhoto
    bool photoEnabled = true;                           ///< txtPhoto usable
    std::string moreInfoPrompt = kMoreInfoPrompt;       ///< lblMoreInfoPrompt (frame)
    std::string printOrder = kNotAvailableDesign;       ///< lblPrintOrder
    std::string webButton = kWebButton;                 ///< cmdWebLink caption
    bool webButtonVisible = false; ///< cmdWebLink shown (only when the file names it)
    std::string url;               ///< address cmdWebLink opens

    /// Fills the texts for one picture. `folder` is the set folder (ending
    /// in "/"), `path` the picture's path without extension, `name` its
    /// image name, `language` one of the five language names. A missing file
    /// reads as version 1; an unknown version changes nothing.
    void InitCredits(const std::string& folder, const std::string& path, const std::string& name,
                     const std::string& language);

    /// Version 1: [name] "PictureInfo" / "ImageNumber" of path + ".nfo",
    /// [Info] "PrintOrder" / "Photo" of folder + "photo.nfo"; no web button.
    void GetVersion1Info(const std::string& folder, const std::string& path,
                         const std::string& name);
    /// Version 2: the language's block of path + ".nfo".
    void GetVersion2Info(const std::string& path, const std::string& language);
    /// Version 2 from lines already read (line endings removed, UTF-8).
    void readVersion2(std::vector<std::string> lines, std::string_view language);

    /// The line after the current one when it continues a value: consumed
    /// and returned with a line break in front. "" at the end of the lines
    /// or when that line holds "=" or "[" (a key or the end of the block);
    /// the position then stays.
    std::string ReadContinuationLine();
    /// Applies one key of a version-2 block; unknown keys are ignored.
    void ApplyCreditKey(std::string_view key, const std::string& value);

private:
    std::vector<std::string> lines_;
    std::size_t position_ = 0; ///< index of the current line
};

/// The file's lines as UTF-8 (Windows-1252 converted), without line endings;
/// empty when it cannot be read.
std::vector<std::string> readTextLines(const std::string& path);

/// `path` when it exists, else the file of the same name in its folder that
/// differs only in letter case (sets are often written on Windows), else "".
std::string existingFile(const std::string& path);

} // namespace skyloom::config
