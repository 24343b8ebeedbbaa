#pragma once
// Shows the programs' message boxes as Qt dialogs.

#include <functional>

namespace skyloom::config {

/// Routes platform::MessageBox to QMessageBox (stderr and
/// SKYLOOM_NONINTERACTIVE keep working as before). `beforeBox`, when given,
/// runs on the user-interface thread before each box is made. A box asked
/// for on another thread is shown by the user-interface thread, which must
/// be running its event loop; the asking thread waits for the answer.
void installQtMessageBoxes(std::function<void()> beforeBox = {});

} // namespace skyloom::config
