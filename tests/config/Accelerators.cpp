#include "tests/config/Accelerators.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <map>
#include <vector>

namespace skyloom::test {

namespace {

using Captions = std::vector<QString>;

// The accelerator captions of one widget (not of its children).
Captions captionsOf(const QWidget* w) {
    if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
        // The scroll arrows of a tab bar have no text; the tabs are counted
        // through their tab widget.
        if (qobject_cast<const QTabBar*>(w->parentWidget()))
            return {};
        return {b->text()};
    }
    if (const auto* l = qobject_cast<const QLabel*>(w))
        return l->buddy() ? Captions{l->text()} : Captions{};
    if (const auto* g = qobject_cast<const QGroupBox*>(w))
        return {g->title()};
    if (const auto* t = qobject_cast<const QTabWidget*>(w)) {
        Captions tabs;
        for (int i = 0; i < t->count(); ++i)
            tabs.push_back(t->tabText(i));
        return tabs;
    }
    return {};
}

bool insideTabWidget(const QWidget* w, const QWidget* window) {
    for (const QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
        if (qobject_cast<const QTabWidget*>(p))
            return true;
    return false;
}

std::string clashLines(const std::string& scope, const Captions& captions) {
    std::map<QChar, Captions> byKey;
    for (const QString& c : captions)
        if (const QChar key = acceleratorOf(c); !key.isNull())
            byKey[key].push_back(c);
    std::string lines;
    for (const auto& [key, users] : byKey) {
        if (users.size() < 2)
            continue;
        lines += scope + ": Alt+" + QString(key).toStdString();
        for (const QString& u : users)
            lines += " \"" + u.toStdString() + "\"";
        lines += "\n";
    }
    return lines;
}

} // namespace

QChar acceleratorOf(const QString& caption) {
    const QKeySequence key = QKeySequence::mnemonic(caption);
    if (key.isEmpty())
        return {};
    const QString text = QKeySequence(key[0].key()).toString(QKeySequence::PortableText);
    return text.size() == 1 ? text[0].toUpper() : QChar();
}

std::string acceleratorClashes(const QWidget& window) {
    // The outermost tab widgets make the pages; their tabs stay on screen.
    std::vector<const QWidget*> pages;
    std::vector<std::string> pageNames;
    Captions shared;
    const auto all = window.findChildren<QWidget*>();
    for (const QWidget* w : all) {
        const auto* tabs = qobject_cast<const QTabWidget*>(w);
        if (!tabs || insideTabWidget(w, &window))
            continue;
        for (int i = 0; i < tabs->count(); ++i) {
            pages.push_back(tabs->widget(i));
            pageNames.push_back("page \"" + tabs->tabText(i).toStdString() + "\"");
            shared.push_back(tabs->tabText(i));
        }
    }
    std::vector<Captions> perPage(pages.size());
    for (const QWidget* w : all) {
        if (qobject_cast<const QTabWidget*>(w) && !insideTabWidget(w, &window))
            continue; // counted above
        std::size_t page = pages.size();
        for (const QWidget* p = w; p && p != &window && page == pages.size(); p = p->parentWidget())
            for (std::size_t i = 0; i < pages.size(); ++i)
                if (p == pages[i])
                    page = i;
        Captions& into = page < pages.size() ? perPage[page] : shared;
        for (const QString& c : captionsOf(w))
            into.push_back(c);
    }
    if (pages.empty())
        return clashLines(window.objectName().toStdString(), shared);
    std::string report;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        Captions captions = shared;
        captions.insert(captions.end(), perPage[i].begin(), perPage[i].end());
        report += clashLines(pageNames[i], captions);
    }
    return report;
}

} // namespace skyloom::test
