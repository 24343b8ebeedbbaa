#pragma once
// The code paths the fuzzers drive: one function per target, shared by the
// libFuzzer harnesses and the replay test that runs every seed and every
// saved regression. A target feeds its input to one reader of untrusted
// files and then checks what that reader promises about its results; a
// broken promise aborts, which libFuzzer reports like a crash.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace skyloom::fuzz {

using TargetFn = void (*)(const std::uint8_t* data, std::size_t size);

void runBmp(const std::uint8_t* data, std::size_t size);
void runJpeg(const std::uint8_t* data, std::size_t size);
void runPng(const std::uint8_t* data, std::size_t size);
/// IniDocument: parse, every read, edits and a write round trip.
void runIni(const std::uint8_t* data, std::size_t size);
/// images.ini, company.ini and Skyloom.ini (in that order, split at form
/// feeds) registered into a scratch program directory.
void runImageSet(const std::uint8_t* data, std::size_t size);
/// A picture's description file: titles, paragraphs and their wrapping.
void runNfo(const std::uint8_t* data, std::size_t size);
/// A picture's information file and the set's photo.nfo (split at the
/// first form feed) as the credits dialog reads them.
void runCredits(const std::uint8_t* data, std::size_t size);
/// The set maker's metadata readers; the first byte picks EXIF, IPTC, XMP
/// or a whole JPEG.
void runMkset(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name; ///< folder name under seeds/ and regressions/, harness fuzz_<name>
    TargetFn run;
};

inline constexpr Target kTargets[] = {
    {"bmp", runBmp},           {"jpeg", runJpeg}, {"png", runPng},         {"ini", runIni},
    {"imageset", runImageSet}, {"nfo", runNfo},   {"credits", runCredits}, {"mkset", runMkset},
};

/// Aborts with `what` on stderr when a promise of the code under test is broken.
void check(bool ok, const char* what);

/// The bytes as text.
inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

/// True for well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool isUtf8(std::string_view s);

/// A folder of this process's own, made on first use and removed at exit;
/// emptied by each call, so that every input starts from nothing. Ends in "/".
const std::string& freshScratchFolder();

/// Writes `bytes` to `path` (a scratch file; a failure shows as a missing file).
void writeFile(const std::string& path, std::string_view bytes);

} // namespace skyloom::fuzz
