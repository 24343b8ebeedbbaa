#pragma once
// A scope in which the dialog's widgets are being set from a page model.

namespace skyloom::config {

/// Counts nested model-to-widget updates; control handlers ignore the
/// signals those updates cause while the count is above 0.
class Syncing {
public:
    explicit Syncing(int& depth) : depth_(depth) { ++depth_; }
    ~Syncing() { --depth_; }
    Syncing(const Syncing&) = delete;
    Syncing& operator=(const Syncing&) = delete;

private:
    int& depth_;
};

} // namespace skyloom::config
