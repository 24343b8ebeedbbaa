#pragma once
// Finds Alt accelerators that two captions of one window page share, in
// whatever language the window's texts are in.

#include <QChar>
#include <QString>

#include <string>

class QWidget;

namespace skyloom::test {

/// The Alt key of a caption as Qt reads it ("&&" is a plain ampersand),
/// upper case; a null QChar when the caption has none.
QChar acceleratorOf(const QString& caption);

/// Accelerators of `window` that more than one caption uses, one line per
/// letter: `page "Screen Saver": Alt+S "&Seconds" "&Size to fit screen"`.
/// Every page of the window's outermost tab widgets is checked on its own,
/// together with what stays on screen on every page (the page tabs and the
/// controls outside the pages, such as OK and Cancel); a window without
/// pages is one page named after its object name. Counted are button
/// texts, group box titles, tab texts and the texts of labels with a buddy
/// (only those have an accelerator). Hidden controls count too, since they
/// may be shown later. Empty when no letter repeats.
std::string acceleratorClashes(const QWidget& window);

} // namespace skyloom::test
