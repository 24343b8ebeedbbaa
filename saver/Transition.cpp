#include "Transition.h"

#include "common/Profile.h"

#include <algorithm>
#include <cstring>

namespace skyloom::saver {
namespace {

constexpr int kBlockCells = 93;      // "Block Out": cells per side
constexpr int kFastBlockCells = 180; // "Fast Block Out"
constexpr int kBlocksPerStep = 11;
// More rectangles than this in one step are reported as the whole area.
constexpr std::size_t kMaxReportedRects = 64;

} // namespace

int nextTransitionType(int setting, int& cycle) {
    if (setting == kAllSmoothTransitions) {
        if (cycle < kCrossFade || cycle > kSlowZoom)
            cycle = kCrossFade;
        return cycle++;
    }
    if (setting < kNoTransitions || setting > kSlowZoom)
        return kNoTransitions;
    if (setting != kAllTransitions)
        return setting;
    if (cycle <= 0 || cycle > kBlockOut)
        cycle = kVerticalBlinds;
    return cycle++;
}

std::vector<std::int32_t> shuffledBlockOrder(int n, const RandomSource& random) {
    const std::int32_t cells = n * n;
    std::vector<std::int32_t> order(static_cast<std::size_t>(std::max(0, cells)));
    for (std::int32_t i = 0; i < cells; ++i)
        order[static_cast<std::size_t>(i)] = i;
    if (cells < 2)
        return order;
    // Positions are drawn from 0 … cells − 2: the last cell stays last.
    auto draw = [&] {
        const auto p = static_cast<std::int32_t>(random() * (cells - 1));
        return static_cast<std::size_t>(std::clamp(p, 0, cells - 2));
    };
    for (int pass = 0; pass < 5; ++pass)
        for (std::int32_t i = 0; i < cells; ++i)
            std::swap(order[draw()], order[draw()]);
    return order;
}

void TransitionClass::InitTrasitions(graphics::HDC destination, int width, int height,
                                     std::string folder) {
    if (initialised_)
        return;
    initialised_ = true;
    destination_ = destination;
    width_ = width;
    height_ = height;
    folder_ = std::move(folder);
}

void TransitionClass::AddSourcePic(graphics::HDC source, int width, int height, int sourceX,
                                   int sourceY) {
    if (!initialised_)
        return;
    source_ = source;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    sourceX_ = sourceX;
    sourceY_ = sourceY;
    started_ = false;
}

void TransitionClass::TransType(int type) {
    type_ = type;
    started_ = false;
}

int TransitionClass::interval() const {
    switch (type_) {
    case kVerticalBlinds:
    case kHorizontalBlinds:
        return speed_ * 5;
    case kBlockOut:
    case kFastBlockOut:
        return 1;
    default:
        return speed_;
    }
}

void TransitionClass::note(int x, int y, int w, int h) {
    if (changed_.size() < kMaxReportedRects)
        changed_.push_back({x, y, w, h});
    else
        changedOverflow_ = true;
}

// A BitBlt (SRCCOPY) from the source at the offset, done on the surfaces
// looked up for this step: the block effects copy tens of thousands of
// small rectangles in one step.
void TransitionClass::copy(int x, int y, int w, int h) {
    if (!to_ || !from_)
        return;
    // Clip to the area, the display and the source, moving both rectangles together.
    const int x0 = std::max({0, x, -sourceX_}), y0 = std::max({0, y, -sourceY_});
    const int x1 = std::min({width_, x + w, to_->width(), from_->width() - sourceX_});
    const int y1 = std::min({height_, y + h, to_->height(), from_->height() - sourceY_});
    if (x1 <= x0 || y1 <= y0)
        return;
    const qsizetype toStride = to_->bytesPerLine() / 4, fromStride = from_->bytesPerLine() / 4;
    QRgb* out = reinterpret_cast<QRgb*>(to_->bits()) + y0 * toStride + x0;
    const QRgb* in = reinterpret_cast<const QRgb*>(from_->constBits()) +
                     (y0 + sourceY_) * fromStride + (x0 + sourceX_);
    const int cw = x1 - x0;
    for (int r = y0; r < y1; ++r, out += toStride, in += fromStride) {
        if (cw == 1)
            *out = *in;
        else
            std::memcpy(out, in, static_cast<std::size_t>(cw) * 4);
    }
    note(x0, y0, cw, y1 - y0);
}

bool TransitionClass::finish() {
    started_ = false;
    return true;
}

void TransitionClass::Prepare() {
    if (started_)
        return;
    started_ = true;
    counter_ = 0;
    blinds_.clear();
    order_.clear();
    drawn_ = 0;
    const int blind = std::max(1, blindSize_);
    switch (type_) {
    case kVerticalBlinds:
    case kHorizontalBlinds: {
        const int extent = type_ == kVerticalBlinds ? width_ : height_;
        for (int at = 0; at < extent; at += blind)
            blinds_.push_back({at, std::min(extent, at + blind)});
        counter_ = 1;
        break;
    }
    case kBoxedIn:
        left_ = 0;
        top_ = 0;
        right_ = width_;
        bottom_ = height_;
        break;
    case kHorizontalCenterSweep:
        left_ = static_cast<int>(roundHalfEven(width_ / 2.0));
        right_ = left_ + 1;
        break;
    case kVerticalCenterSweep:
        top_ = static_cast<int>(roundHalfEven(height_ / 2.0));
        bottom_ = top_ + 1;
        break;
    case kBlockOut:
    case kFastBlockOut: {
        const int n = type_ == kBlockOut ? kBlockCells : kFastBlockCells;
        cellsPerSide_ = n;
        cellWidth_ = width_ / (n - 1) + 1;
        cellHeight_ = height_ / (n - 1) + 1;
        if (!random_)
            random_ = clockSeededRandom();
        order_ = shuffledBlockOrder(n, random_);
        break;
    }
    default:
        break;
    }
}

bool TransitionClass::Transition() {
    changed_.clear();
    changedOverflow_ = false;
    Prepare();
    graphics::DeviceContext* to = graphics::deviceContext(destination_);
    graphics::DeviceContext* from = graphics::deviceContext(source_);
    // The display and source must be distinct pictures: a step never
    // reads what it writes.
    to_ = to && !to->image().isNull() ? &to->image() : nullptr;
    from_ = from && from != to && !from->image().isNull() ? &from->image() : nullptr;
    bool done = false;
    switch (type_) {
    case kVerticalBlinds:
        done = stepBlinds(true);
        break;
    case kHorizontalBlinds:
        done = stepBlinds(false);
        break;
    case kVerticalSweep:
        done = stepSweep(true);
        break;
    case kHorizontalSweep:
        done = stepSweep(false);
        break;
    case kBoxedIn:
        done = stepBoxedIn();
        break;
    case kHorizontalCenterSweep:
        done = stepCenterSweep(false);
        break;
    case kVerticalCenterSweep:
        done = stepCenterSweep(true);
        break;
    case kBlockOut:
        done = stepBlocks(kBlocksPerStep);
        break;
    case kFastBlockOut:
        done = stepBlocks(static_cast<int>(order_.size()));
        break;
    default: // "No Transitions", and any value without an effect
        copy(0, 0, width_, height_);
        done = true;
        break;
    }
    if (changedOverflow_)
        changed_.assign(1, {0, 0, width_, height_});
    to_ = nullptr;
    from_ = nullptr;
    return done ? finish() : false;
}

bool TransitionClass::stepBlinds(bool columns) {
    if (counter_ > std::max(1, blindSize_))
        return true;
    for (Blind& b : blinds_) {
        if (b.next >= b.end)
            continue;
        if (columns)
            copy(b.next, 0, 1, height_);
        else
            copy(0, b.next, width_, 1);
        ++b.next;
    }
    ++counter_;
    return false;
}

bool TransitionClass::stepSweep(bool rows) {
    if (counter_ >= (rows ? height_ : width_))
        return true;
    if (rows)
        copy(0, counter_, width_, 1);
    else
        copy(counter_, 0, 1, height_);
    ++counter_;
    return false;
}

bool TransitionClass::stepBoxedIn() {
    if (right_ < left_ || bottom_ < top_)
        return true;
    // One ring: its left and right columns and its top and bottom rows.
    const int ringWidth = right_ - left_ + 1, ringHeight = bottom_ - top_ + 1;
    copy(left_, top_, 1, ringHeight);
    copy(left_, bottom_, ringWidth, 1);
    copy(left_, top_, ringWidth, 1);
    copy(right_, top_, 1, ringHeight);
    ++left_;
    ++top_;
    --right_;
    --bottom_;
    return false;
}

bool TransitionClass::stepCenterSweep(bool rows) {
    int& low = rows ? top_ : left_;
    int& high = rows ? bottom_ : right_;
    const int extent = rows ? height_ : width_;
    bool drew = false;
    if (low >= 0) {
        if (rows)
            copy(0, low, width_, 1);
        else
            copy(low, 0, 1, height_);
        --low;
        drew = true;
    }
    if (high < extent) {
        if (rows)
            copy(0, high, width_, 1);
        else
            copy(high, 0, 1, height_);
        ++high;
        drew = true;
    }
    return !drew;
}

bool TransitionClass::stepBlocks(int perStep) {
    if (drawn_ >= order_.size())
        return true;
    const std::size_t end = std::min(order_.size(), drawn_ + static_cast<std::size_t>(perStep));
    // The step's cells appear together, so they are copied in memory order:
    // row by row rather than scattered over the picture.
    auto draw = [&](std::int32_t c) {
        const int row = c / cellsPerSide_, column = c - cellsPerSide_ * row;
        copy(cellWidth_ * column, cellHeight_ * row, cellWidth_, cellHeight_);
    };
    if (drawn_ == 0 && end == order_.size()) {
        // Every cell in one step: memory order is simply 0, 1, 2, ...
        for (std::int32_t c = 0; c < static_cast<std::int32_t>(end); ++c)
            draw(c);
    } else {
        std::vector<std::int32_t> cells(order_.begin() + static_cast<std::ptrdiff_t>(drawn_),
                                        order_.begin() + static_cast<std::ptrdiff_t>(end));
        std::sort(cells.begin(), cells.end());
        for (const std::int32_t c : cells)
            draw(c);
    }
    drawn_ = end;
    // "Fast Block Out" draws every cell and finishes in the same step.
    return type_ == kFastBlockOut;
}

} // namespace skyloom::saver
