#include "PictureHandOut.h"

#include <algorithm>
#include <utility>

namespace skyloom::saver {

PictureHandOut::PictureHandOut(std::string settingsFile, bool randomOrder, RandomSource random,
                               bool samePicture)
    : chooser_(std::move(settingsFile), randomOrder, std::move(random)), same_(samePicture) {
    // At random, the pictures other screens show (or are about to) are
    // drawn again; a screen's own last one may well come back.
    chooser_.avoid = [this](int index) {
        return std::any_of(canvases_.begin(), canvases_.end(),
                           [index](const auto& c) { return c.second.latest == index; });
    };
}

int PictureHandOut::join() {
    const int id = nextId_++;
    Canvas c;
    // A screen added later starts with the change the others are at, so
    // that with the same picture it catches up instead of replaying.
    for (const auto& [other, state] : canvases_)
        c.round = std::max(c.round, state.round);
    if (c.round > 0)
        c.round -= 1;
    canvases_[id] = c;
    return id;
}

void PictureHandOut::leave(int canvas) {
    canvases_.erase(canvas);
    forget();
}

int PictureHandOut::current(int canvas) const {
    const auto it = canvases_.find(canvas);
    return it == canvases_.end() ? 0 : it->second.latest;
}

const PictureHandOut::Round* PictureHandOut::roundOf(int canvas) const {
    const auto c = canvases_.find(canvas);
    if (!same_ || c == canvases_.end())
        return nullptr;
    const auto r = rounds_.find(c->second.round);
    return r == rounds_.end() ? nullptr : &r->second;
}

PictureHandOut::Round* PictureHandOut::roundOf(int canvas) {
    return const_cast<Round*>(std::as_const(*this).roundOf(canvas));
}

// Drops the changes every canvas has gone past.
void PictureHandOut::forget() {
    if (canvases_.empty()) {
        rounds_.clear();
        return;
    }
    int oldest = canvases_.begin()->second.round;
    for (const auto& [id, c] : canvases_)
        oldest = std::min(oldest, c.round);
    rounds_.erase(rounds_.begin(), rounds_.lower_bound(oldest));
}

PictureHandOut::Choice PictureHandOut::next(int canvas, int count, bool hasTitlePage,
                                            Timing& timing) {
    Canvas& c = canvases_[canvas];
    c.round += 1;
    Choice choice;
    if (same_) {
        if (const auto r = rounds_.find(c.round); r != rounds_.end()) {
            // Another canvas chose for this change: the timing goes the way
            // the chooser took it there.
            choice = r->second.choice;
            if (choice.titleShowing)
                std::swap(timing.displayTime, timing.restoreTime);
            else
                timing.displayTime = timing.restoreTime;
            c.latest = choice.index;
            forget();
            return choice;
        }
    }
    // Not this canvas's own last picture: another one of the others is.
    c.latest = 0;
    choice.index = chooser_.next(count, hasTitlePage, timing);
    choice.titleShowing = chooser_.titleShowing();
    c.latest = choice.index;
    if (same_) {
        rounds_[c.round].choice = choice;
        forget();
    }
    return choice;
}

PictureHandOut::Choice PictureHandOut::following(int canvas, int previous, int count,
                                                 bool hasTitlePage) {
    Round* round = roundOf(canvas);
    if (round) {
        if (const auto f = round->following.find(previous); f != round->following.end()) {
            canvases_[canvas].latest = f->second.index;
            return f->second;
        }
    }
    Choice choice;
    choice.index = chooser_.following(previous, count, hasTitlePage);
    choice.titleShowing = chooser_.titleShowing();
    canvases_[canvas].latest = choice.index;
    if (round)
        round->following[previous] = choice;
    return choice;
}

void PictureHandOut::shown(int /*canvas*/) {
    // Stores the latest entry handed out (once): a picture is on show, and
    // the next run goes on after everything the screens were given.
    chooser_.shown();
}

const PictureSettings* PictureHandOut::settingsFor(int canvas, int index) const {
    const Round* round = roundOf(canvas);
    if (!round)
        return nullptr;
    const auto it = round->settings.find(index);
    return it == round->settings.end() ? nullptr : &it->second;
}

void PictureHandOut::keepSettings(int canvas, int index, const PictureSettings& settings) {
    if (Round* round = roundOf(canvas))
        round->settings[index] = settings;
}

const PrepResult* PictureHandOut::preparedFor(int canvas, int index, Size size) const {
    const Round* round = roundOf(canvas);
    if (!round)
        return nullptr;
    const auto it = round->prepared.find({index, size.width, size.height});
    return it == round->prepared.end() ? nullptr : &it->second;
}

void PictureHandOut::keepPrepared(int canvas, int index, Size size, const PrepResult& prepared) {
    if (Round* round = roundOf(canvas))
        round->prepared[{index, size.width, size.height}] = prepared;
}

} // namespace skyloom::saver
