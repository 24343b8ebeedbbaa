#include "Mnemonics.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>

namespace skyloom::test {

QChar mnemonicOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] == u'&') {
            ++i;
            continue;
        }
        return caption[i + 1].toLower();
    }
    return {};
}

std::map<QChar, std::vector<QString>> clashes(const QWidget* page,
                                              const std::vector<QString>& shared) {
    std::map<QChar, std::vector<QString>> byLetter;
    const auto add = [&](const QString& caption) {
        if (const QChar c = mnemonicOf(caption); !c.isNull())
            byLetter[c].push_back(caption);
    };
    for (const QString& s : shared)
        add(s);
    for (const auto* b : page->findChildren<QAbstractButton*>())
        add(b->text());
    for (const auto* g : page->findChildren<QGroupBox*>())
        add(g->title());
    for (const auto* l : page->findChildren<QLabel*>())
        if (l->buddy())
            add(l->text());
    for (const auto* bar : page->findChildren<QTabBar*>())
        for (int i = 0; i < bar->count(); ++i)
            add(bar->tabText(i));
    std::map<QChar, std::vector<QString>> out;
    for (auto& [letter, captions] : byLetter)
        if (captions.size() > 1)
            out[letter] = captions;
    return out;
}

} // namespace skyloom::test
