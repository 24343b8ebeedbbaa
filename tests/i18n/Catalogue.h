#pragma once
// One language's catalogue of the build tree installed for the length of a
// test, so one test program can look at the dialog in every language.

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

#include <memory>

namespace skyloom::test {

/// The folder lrelease builds the catalogues into.
inline QString builtCatalogueFolder() {
    return QStringLiteral(SKYLOOM_QM_DIR);
}

/// The languages with a built catalogue ("de", "fr", ...), sorted.
inline QStringList builtLanguages() {
    QStringList languages;
    for (const QString& file :
         QDir(builtCatalogueFolder()).entryList({"skyloom_*.qm"}, QDir::Files, QDir::Name))
        languages << file.mid(8, file.size() - 8 - 3);
    return languages;
}

class Catalogue {
public:
    /// Installs skyloom_<language>.qm; an empty language installs nothing
    /// (the English source texts).
    explicit Catalogue(const QString& language) {
        if (language.isEmpty())
            return;
        translator_ = std::make_unique<QTranslator>();
        loaded_ = translator_->load("skyloom_" + language, builtCatalogueFolder()) &&
                  QCoreApplication::installTranslator(translator_.get());
    }
    ~Catalogue() {
        if (translator_)
            QCoreApplication::removeTranslator(translator_.get());
    }
    Catalogue(const Catalogue&) = delete;
    Catalogue& operator=(const Catalogue&) = delete;
    bool loaded() const { return !translator_ || loaded_; }

private:
    std::unique_ptr<QTranslator> translator_;
    bool loaded_ = false;
};

/// Removes and deletes every translator the application object owns (those
/// installTranslations() installed).
inline void removeInstalledTranslators() {
    if (auto* app = QCoreApplication::instance())
        for (QTranslator* t : app->findChildren<QTranslator*>(Qt::FindDirectChildrenOnly)) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
}

} // namespace skyloom::test
