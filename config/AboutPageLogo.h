#pragma once
// Skyloom's own logo, drawn in code (no picture file to lose), and the
// About page's logo choice.

#include <QPixmap>
#include <QSize>

#include <string>

namespace skyloom::config {

/// The built-in logo: a crescent moon over a night sky with the threads of
/// a loom, and the name.
QPixmap skyloomLogo(QSize size);

/// The picture at `path`, or the built-in logo of `size` when `path` is
/// empty or does not hold a picture that can be loaded.
QPixmap aboutLogo(const std::string& path, QSize size);

} // namespace skyloom::config
