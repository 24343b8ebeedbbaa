#pragma once
// The Alt accelerators of a window, page by page, for checking that no
// letter opens two controls on one page.

#include <QString>
#include <QWidget>

#include <map>
#include <vector>

namespace skyloom::test {

/// The accelerator letter of a caption ("&Preview" -> 'p'; "&&" is a plain
/// ampersand), or a null character when it has none.
QChar mnemonicOf(const QString& caption);

/// Letters taken by more than one control among the visible-by-design
/// controls below `page` (buttons, group-box titles, labels with a buddy,
/// tabs)
/// and `shared` (captions that are on every page, such as OK and Cancel),
/// with the captions that take each.
std::map<QChar, std::vector<QString>> clashes(const QWidget* page,
                                              const std::vector<QString>& shared = {});

} // namespace skyloom::test
