#pragma once
// Shows the programs' message boxes as Qt dialogs.

namespace skyloom::config {

/// Routes platform::MessageBox to QMessageBox (stderr and
/// SKYLOOM_NONINTERACTIVE keep working as before).
void installQtMessageBoxes();

} // namespace skyloom::config
