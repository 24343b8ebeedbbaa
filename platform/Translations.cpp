#include "Translations.h"

#include "Locations.h"

#include "common/Log.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>

#ifndef SKYLOOM_TRANSLATIONS_INSTALL_DIR
#define SKYLOOM_TRANSLATIONS_INSTALL_DIR "/usr/share/skyloom/translations"
#endif

namespace skyloom::platform {

std::vector<std::string> translationDirectories() {
    std::vector<std::string> dirs;
    if (const char* dir = std::getenv("SKYLOOM_TRANSLATIONS_DIR"); dir && *dir)
        dirs.emplace_back(dir);
    const std::string exe = currentExecutable();
    if (const auto slash = exe.rfind('/'); slash != std::string::npos && slash > 0) {
        const std::string bin = exe.substr(0, slash);
        dirs.push_back(bin + "/../translations");
        dirs.push_back(bin + "/../share/skyloom/translations");
    }
    dirs.emplace_back(SKYLOOM_TRANSLATIONS_INSTALL_DIR);
    return dirs;
}

namespace {

// Loads `name`_<language>.qm for `locale` from the first folder that has one
// and installs it; the translator belongs to the application object.
QString install(const QLocale& locale, const QString& name, const std::vector<QString>& dirs) {
    auto* app = QCoreApplication::instance();
    if (!app)
        return {};
    auto* translator = new QTranslator(app);
    for (const QString& dir : dirs) {
        if (translator->load(locale, name, QStringLiteral("_"), dir)) {
            QCoreApplication::installTranslator(translator);
            return translator->filePath();
        }
    }
    delete translator;
    return {};
}

} // namespace

LoadedTranslations installTranslations(const QLocale& locale) {
    std::vector<QString> own;
    for (const std::string& dir : translationDirectories())
        if (QFileInfo(QString::fromStdString(dir)).isDir())
            own.push_back(QString::fromStdString(dir));
    LoadedTranslations loaded;
    loaded.application = install(locale, QStringLiteral("skyloom"), own);
    if (loaded.application.isEmpty()) {
        // English is the programs' own language: only a missing catalogue for another
        // language is worth a line.
        if (locale.language() != QLocale::C && locale.language() != QLocale::English)
            logInfo("platform", "no translation for " + locale.name().toStdString() +
                                    "; the programs speak English");
        return loaded;
    }
    loaded.qt = install(locale, QStringLiteral("qtbase"),
                        {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
    logInfo("platform", "translation " + loaded.application.toStdString() + " loaded");
    return loaded;
}

} // namespace skyloom::platform
