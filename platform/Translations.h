#pragma once
// The programs' translations: the catalogue for the user's language from the
// build tree or the installed data folder, and Qt's own catalogue, so the
// standard buttons (OK, Cancel, Apply) speak the same language.

#include <QLocale>
#include <QString>

#include <string>
#include <vector>

namespace skyloom::platform {

/// Folders searched for "skyloom_<language>.qm", first match wins:
/// $SKYLOOM_TRANSLATIONS_DIR, the build tree's "translations" folder beside
/// the running program's folder, "../share/skyloom/translations" from it
/// (an installed program), then the package's fixed folder.
std::vector<std::string> translationDirectories();

/// What installTranslations() loaded (empty paths when nothing was).
struct LoadedTranslations {
    QString application; ///< the skyloom_<language>.qm file
    QString qt;          ///< the qtbase_<language>.qm file
};

/// Installs the catalogues that best match `locale` into the running
/// application (which must exist) for the rest of its life. English needs
/// none: without a match the source texts show.
LoadedTranslations installTranslations(const QLocale& locale = QLocale::system());

} // namespace skyloom::platform
