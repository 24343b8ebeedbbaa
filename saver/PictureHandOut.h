#pragma once
// The one play list shared by the picture changes of every monitor. Each
// canvas joins and then asks for its next entry; the hand-out keeps one
// PictureChooser, so that in order the canvases take successive entries and
// "LastImage" advances with every picture shown, and at random a canvas is
// not given the picture another canvas shows.
//
// With the same picture on every screen the canvases share one choice per
// change: the n-th change of every canvas shows the same entry, with the
// same picture settings, and a prepared picture is made once for each
// distinct canvas size.

#include "saver/PrepImage.h"
#include "saver/PrepImageLogic.h"

#include <map>
#include <optional>
#include <string>
#include <tuple>

namespace skyloom::saver {

class PictureHandOut {
public:
    PictureHandOut(std::string settingsFile, bool randomOrder, RandomSource random,
                   bool samePicture);
    // The chooser's avoid rule looks at this object's canvases.
    PictureHandOut(const PictureHandOut&) = delete;
    PictureHandOut& operator=(const PictureHandOut&) = delete;

    using Timing = PictureChooser::Timing;
    struct Choice {
        int index = 0;             ///< 1-based play-list position
        bool titleShowing = false; ///< the set's title page
    };

    /// A canvas starts asking; its id for every later call.
    int join();
    /// The canvas is gone: nothing more is kept for it.
    void leave(int canvas);
    bool samePicture() const { return same_; }

    /// The next entry for `canvas` (`count` > 0). Updates its timing.
    Choice next(int canvas, int count, bool hasTitlePage, Timing& timing);
    /// The entry after `previous`, which could not be shown.
    Choice following(int canvas, int previous, int count, bool hasTitlePage);
    /// The entry last given to `canvas` is on show.
    void shown(int canvas);
    /// The entry `canvas` was last given (0 before the first).
    int current(int canvas) const;

    /// Same picture only: what another canvas of this change already read
    /// or prepared for entry `index` (nullptr when nothing yet, and always
    /// when every screen shows its own picture).
    const PictureSettings* settingsFor(int canvas, int index) const;
    void keepSettings(int canvas, int index, const PictureSettings& settings);
    const PrepResult* preparedFor(int canvas, int index, Size size) const;
    void keepPrepared(int canvas, int index, Size size, const PrepResult& prepared);

    /// Changes still remembered (same picture; for the tests).
    int roundsKept() const { return static_cast<int>(rounds_.size()); }

private:
    // One change of every canvas (same picture).
    struct Round {
        Choice choice;
        std::map<int, Choice> following; // previous index -> the one after it
        std::map<int, PictureSettings> settings;
        std::map<std::tuple<int, int, int>, PrepResult> prepared; // index, width, height
    };
    struct Canvas {
        int round = 0;  // changes asked for so far
        int latest = 0; // entry last given
    };
    const Round* roundOf(int canvas) const;
    Round* roundOf(int canvas);
    void forget();

    PictureChooser chooser_;
    bool same_;
    int nextId_ = 1;
    std::map<int, Canvas> canvases_;
    std::map<int, Round> rounds_; // by change number
};

} // namespace skyloom::saver
