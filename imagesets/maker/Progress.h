#pragma once
// Progress of a set being made, as a count and a bar on the terminal.

#include "imagesets/maker/SetMaker.h"

#include <cstdio>
#include <string>

namespace skyloom::mkset {

/// Redraws one line on `out` (normally stderr) after every picture; shown
/// only when `out` is a terminal.
class TerminalProgress : public Progress {
public:
    explicit TerminalProgress(std::FILE* out);
    void begin(int total) override;
    void step(int done, std::string_view file) override;
    void end() override;

    /// The line for `done` of `total` pictures, `width` columns wide at most.
    static std::string line(int done, int total, std::string_view file, int width);

private:
    std::FILE* out_;
    bool enabled_;
    int total_ = 0;
    bool drawn_ = false;
};

} // namespace skyloom::mkset
