#pragma once
// The transition effects that reveal a prepared picture: rectangles are
// copied from a source surface onto the display surface one step at a
// time; the caller paces the steps (at least 13 ms apart) and repaints the
// rectangles each step reports.

#include "graphics/rasterkit/DeviceContext.h"
#include "saver/PrepImageLogic.h"

#include <cstdint>
#include <string>
#include <vector>

namespace skyloom::saver {

/// The effects, by their place in the settings list.
enum TransitionType : int {
    kNoTransitions = 0,
    kAllTransitions = 1,
    kVerticalBlinds = 2,
    kHorizontalBlinds = 3,
    kVerticalSweep = 4,
    kHorizontalSweep = 5,
    kBoxedIn = 6,
    kHorizontalCenterSweep = 7,
    kVerticalCenterSweep = 8,
    kBlockOut = 9,
    kFastBlockOut = 10,
    // Drawn as blended frames paced by the screen (SmoothTransition.h).
    kCrossFade = 11,
    kSlide = 12,
    kSlowZoom = 13,
    kAllSmoothTransitions = 14,
};
/// The names shown in the settings list, by value.
inline constexpr const char* kTransitionNames[] = {"No Transitions",
                                                   "All Transitions",
                                                   "Vertical Blinds",
                                                   "Horizontal Blinds",
                                                   "Vertical Sweep",
                                                   "Horizontal Sweep",
                                                   "Boxed In",
                                                   "Horizontal Center Sweep",
                                                   "Vertical Center Sweep",
                                                   "Block Out",
                                                   "Fast Block Out",
                                                   "Cross Fade",
                                                   "Slide",
                                                   "Slow Zoom",
                                                   "All Transitions, Smooth"};

/// The effect for the next picture: "All Transitions" (1) goes round 2 … 9
/// and "All Transitions, Smooth" (14) round 11 … 13, one per picture, with
/// `cycle` kept across pictures (0 at the start). A value without an effect
/// shows the picture at once ("No Transitions").
int nextTransitionType(int setting, int& cycle);

/// The reveal order of the block effects: the cells 0 … n² − 1 shuffled by
/// 5 passes of n² swaps that never touch the last place, so the
/// bottom-right cell always comes last.
std::vector<std::int32_t> shuffledBlockOrder(int cellsPerSide, const RandomSource& random);

struct StepRect {
    int x = 0, y = 0, width = 0, height = 0;
};

class TransitionClass {
public:
    TransitionClass() = default;
    TransitionClass(const TransitionClass&) = delete;
    TransitionClass& operator=(const TransitionClass&) = delete;

    /// Once: the display surface, its size and the work folder. Later calls
    /// do nothing; sources added before it are ignored.
    void InitTrasitions(graphics::HDC destination, int width, int height, std::string folder);
    /// The surface, area and offset of the next transition: every copy goes
    /// from (x + sourceX, y + sourceY) of the source to (x, y) of the display.
    void AddSourcePic(graphics::HDC source, int width, int height, int sourceX, int sourceY);
    void TransType(int type);
    int TransType() const { return type_; }
    /// The source, area and offset given by AddSourcePic.
    graphics::HDC source() const { return source_; }
    int areaWidth() const { return width_; }
    int areaHeight() const { return height_; }
    int sourceX() const { return sourceX_; }
    int sourceY() const { return sourceY_; }
    /// Sets up the effect's state (the block shuffle, the blinds) ahead of
    /// its first step, so that no step pays for it. Transition() does it
    /// itself when it was not done.
    void Prepare();
    /// One step of the current effect; true on the call that finishes it,
    /// after which the object is ready for the next transition.
    bool Transition();
    /// What the last step drew (display coordinates); empty when nothing.
    const std::vector<StepRect>& changed() const { return changed_; }

    void Speed(int speed) { speed_ = speed; }
    int interval() const;
    int BlindSize() const { return blindSize_; }
    void BlindSize(int size) { blindSize_ = size; }
    /// The random source of the block shuffles (tests make it repeatable).
    void setRandom(RandomSource random) { random_ = std::move(random); }

private:
    struct Blind {
        int next = 0, end = 0;
    };
    void copy(int x, int y, int w, int h);
    void note(int x, int y, int w, int h);
    bool finish();
    bool stepBlinds(bool columns);
    bool stepSweep(bool rows);
    bool stepBoxedIn();
    bool stepCenterSweep(bool rows);
    bool stepBlocks(int perStep);

    graphics::HDC destination_ = 0;
    graphics::HDC source_ = 0;
    int width_ = 0, height_ = 0;
    int sourceX_ = 0, sourceY_ = 0;
    int type_ = kNoTransitions;
    int speed_ = 1;
    int blindSize_ = 10;
    bool initialised_ = false;
    std::string folder_;
    RandomSource random_;

    bool started_ = false;
    int counter_ = 0; // blind step, sweep position
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    std::vector<Blind> blinds_;
    std::vector<std::int32_t> order_;
    std::size_t drawn_ = 0;
    int cellsPerSide_ = 0, cellWidth_ = 0, cellHeight_ = 0;
    std::vector<StepRect> changed_;
    bool changedOverflow_ = false;
    // The surfaces of the current step, looked up once per step.
    QImage* to_ = nullptr;
    const QImage* from_ = nullptr;
};

} // namespace skyloom::saver
