#pragma once
// The decisions of a picture change, kept apart from any drawing so they can
// be tested without a display: which play-list entry comes next, which layer
// picture is blended in, and how the picture is fitted to the display.

#include "imagesets/PlayList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace skyloom::saver {

/// `v` rounded half to even, held inside the range of int.
int cint(double v);

/// A random number in [0, 1), like the saver's random generator.
using RandomSource = std::function<double()>;
/// Seeded from the clock.
RandomSource clockSeededRandom();

/// Chooses the next play-list entry: at random, or in order with the
/// position kept in [PrefsSS] "LastImage" of the settings file, the set's
/// title page first when there is one.
class PictureChooser {
public:
    PictureChooser(std::string settingsFile, bool randomOrder, RandomSource random)
        : settingsFile_(std::move(settingsFile)), random_(std::move(random)),
          randomOrder_(randomOrder) {}

    struct Timing {
        int displayTime = 60; ///< seconds the picture stays
        int restoreTime = 60; ///< the time to go back to after the title page
    };

    /// The 1-based index of the next entry, without checking that its file
    /// exists; `count` > 0. Updates the timing and the title-showing flag.
    int next(int count, bool hasTitlePage, Timing& timing);
    /// Called instead of next() when the previous choice could not be shown:
    /// walks on to the following entry (in random order: draws one of the
    /// entries not yet tried in this change), so that `count` calls visit
    /// every entry once.
    int following(int previous, int count, bool hasTitlePage);
    /// The entry chosen last is on show: in sequential order its position
    /// goes to "LastImage", once per change however many entries were
    /// skipped before it (each write flushes the settings file to disk).
    /// Until then the next choice goes on from it, not from the file: several
    /// screens choosing one after another take successive entries.
    void shown();

    int currentIndex() const { return current_; }
    bool titleShowing() const { return titleShowing_; }
    /// Random order: entries this says yes to are drawn again (a bounded
    /// number of times), so that several screens rarely show one picture.
    std::function<bool(int)> avoid;

private:
    void store(int index);
    bool positionToStore_ = false; // a sequential choice not yet in "LastImage"

    std::string settingsFile_;
    RandomSource random_;
    bool randomOrder_;
    int current_ = 0;
    bool titleShowing_ = false;
    std::vector<bool> tried_; // random order: entries tried since next(), by index
};

/// A layer translucency as the sets write it: above 100 a fraction of
/// 65535 (32768 -> 50), exactly 100 -> 99, anything else as it is.
std::int32_t normaliseTranslucency(std::int32_t value);

struct LayerChoice {
    std::string image; ///< "" when this picture gets no layer
    std::int32_t translucency = 0;
};

/// The set-wide layer: every `frequency` pictures one image of a
/// comma-separated list, at random or in turn, with the translucency at the
/// same place of its own list (one value without a comma serves all).
class LayerChooser {
public:
    /// Counts one more picture (at the start of every preparation).
    void countPicture();
    LayerChoice ChooseLayer(const std::string& imageList, const std::string& translucencyList,
                            int frequency, bool randomOrder, const RandomSource& random);

    std::int32_t picturesSinceLayer = 0;
    int layerPosition = 1;
};

enum class PanAxis { None, Horizontal, Vertical };
/// "LeftToRight" / "RightToLeft" are horizontal, "TopToBottom" /
/// "BottomToTop" vertical; anything else is no motion.
PanAxis panAxisOf(const std::string& panDirection);

struct Size {
    int width = 0, height = 0;
    bool operator==(const Size&) const = default;
};

/// How a picture of size `source` is fitted to a display of size `display`.
struct FitPlan {
    enum class Copy { Same, Stretch, Centre };

    Size target;         ///< size of the prepared picture
    int layerShiftX = 0; ///< where the first view lies in it
    int layerShiftY = 0;
    bool cut = false;       ///< a panorama shown still: cut to the display's shape first
    int cutX = 0, cutY = 0; ///< the cut-out's place in the source
    Size fitted;            ///< what is fitted: the source, or the cut-out
    Copy copy = Copy::Same;
    int centreX = 0, centreY = 0; ///< Centre: where the source's corner goes (may be negative)
    bool smooth = false;          ///< stretched larger: smoothed afterwards
    bool keepsPanDirection = false;
    /// Stretch keeping proportions: `fitted` is the centred part of the
    /// picture with the display's shape (a little cut off two sides) ...
    bool cover = false;
    /// ... or, where the shapes differ more, the whole picture stretched
    /// into this centred part of the target, black around it (a width of 0:
    /// the whole target).
    int insideX = 0, insideY = 0;
    Size inside;
};

/// Largest prepared picture: a panorama that would need more is shown still.
/// One of up to kMaxPreparedPixels (96 MB) is held in memory. A larger
/// panorama, up to kMaxPanoramaPixels (65,000 pixels along the motion of a
/// screen 3,840 pixels across it), stays in its work file and is read a
/// window at a time as it moves, so that memory does not grow with its
/// length.
inline constexpr int kMaxPreparedSide = 65000;
inline constexpr std::int64_t kMaxPreparedPixels = 24LL * 1024 * 1024;
inline constexpr std::int64_t kMaxPanoramaPixels = 65000LL * 3840;

/// The fit table. Sizes below 1 pixel are taken as 1, so that no size or
/// ratio degenerates; `origin` is the panorama's cut position.
/// With `keepAspect` off, stretch distorts the picture to the display's shape.
FitPlan planFit(Size source, Size display, const std::string& panDirection, bool panEnabled,
                bool stretch, int origin, bool keepAspect = true);

/// Where a transition takes the first view of a prepared picture of size
/// `picture` from, on a display of size `display`.
struct FirstView {
    int panMode = 0; ///< 0 none, 1 top to bottom, 2 bottom to top, 4 left to right, 8 right to left
    int panX = 0, panY = 0; ///< the view's corner in the picture (may be negative)
    /// The view lies inside the picture: the transition copies straight from
    /// it at (panX, panY), over area width × height.
    bool fromPicture = true;
    int areaWidth = 0, areaHeight = 0;
    /// Otherwise the view is composed on black first: the part of the picture
    /// at (windowX, windowY), windowWidth × windowHeight, goes to (atX, atY).
    bool letterbox = false; ///< a window of the display's shape: a panorama narrower than it
    int windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;
    int atX = 0, atY = 0;
};
/// The pan direction's start decides ("Top", "Bottom", "Left", "Right").
FirstView planFirstView(const std::string& panDirection, Size picture, Size display);

/// The picture's own settings (its .nfo file) and its set's (company.ini).
struct PictureSettings {
    std::string panDirection;
    int panoramicOrigin = 0;
    std::string pictureUrl, companyUrl, setUrl, saverUrl;
    bool webLinkEnabled = false;
    bool saverWebLinkEnabled = false;
    std::string layerPath; ///< full path of the layer picture, "" for none
    std::int32_t layerTranslucency = 0;
};

/// The set folder of a play-list path: everything up to and including its
/// first separator ("/" or "\").
std::string setFolderOf(const std::string& relativePath);

/// Reads the picture's and its set's settings and chooses its layer.
/// `programPath` ends in "/"; paths from the files that would lead outside
/// it are ignored.
PictureSettings readPictureSettings(const std::string& programPath, const std::string& relativePath,
                                    bool titleShowing, bool randomOrder, LayerChooser& layers,
                                    const RandomSource& random);

} // namespace skyloom::saver
