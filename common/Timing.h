#pragma once
// Step times for finding where a run spends its time. With SKYLOOM_TIMING
// set to the CLOCK_MONOTONIC time in nanoseconds at which the program was
// started (a caller's `date` or clock_gettime before exec), every mark
// writes "skyloom[timing]: 41.2 ms <step>" to stderr, counted from then;
// with any other value the times count from the first mark. Unset: a mark
// costs one test of a flag.

namespace skyloom {

void timingMark(const char* step);

} // namespace skyloom
