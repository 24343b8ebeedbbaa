#pragma once
// The keys every dialog window answers, for windows that are not QDialogs:
// Return presses the default button and Escape the cancel button.

class QPushButton;
class QWidget;

namespace skyloom::config {

/// Makes `ok` the default button of `window`: drawn as the default, and
/// pressed by Return (or keypad Enter) that no control of the window takes
/// for itself. A focused push button takes Return and is pressed, as in a
/// dialog; so does an open list of a combo box. Escape presses `cancel`
/// while it is enabled. Both buttons must belong to `window`.
void installDialogKeys(QWidget* window, QPushButton* ok, QPushButton* cancel);

} // namespace skyloom::config
