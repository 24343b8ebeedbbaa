#pragma once
// Small builders the configuration form's pages share: named controls (the
// object name is what tests and screen readers find), and the fixed and set
// lists with their translated texts and stored entries.

#include "PageLists.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QString>

#include <string>
#include <vector>

namespace skyloom::config::controls {

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

inline QGroupBox* frame(const char* name, const QString& title, QWidget* parent) {
    return named(new QGroupBox(title, parent), name);
}

inline QRadioButton* option(const char* name, const QString& text, const QString& tip,
                            QWidget* parent) {
    auto* b = named(new QRadioButton(text, parent), name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

inline QLabel* label(const char* name, const QString& text, QWidget* parent) {
    return named(new QLabel(text, parent), name);
}

// A list, combo box, spin box or slider is named after the label that stands
// for it, so screen readers (and the dialog tests) find it by that text.
inline void standsFor(QLabel* caption, QWidget* control) {
    caption->setBuddy(control);
    control->setAccessibleName(caption->text().remove('&'));
}

inline QString listText(const char* text) {
    return QCoreApplication::translate(kListContext, text);
}

// A fixed list: translated texts; the position is the value.
inline void fill(QComboBox* box, const std::vector<std::string>& texts) {
    box->clear();
    for (const auto& t : texts)
        box->addItem(listText(t.c_str()));
}

// A fixed list whose items carry the stored number.
inline void fill(QComboBox* box, const std::vector<ListItem>& items) {
    box->clear();
    for (const auto& item : items)
        box->addItem(listText(item.text), item.value);
}

// A set list: the sets' own names, the random entry translated; every item
// carries its entry, which is what the code compares.
inline void fillSets(QComboBox* box, const std::vector<std::string>& entries) {
    box->clear();
    for (const auto& e : entries)
        box->addItem(e == kRandomSetsEntry ? listText(kRandomSetsEntry) : QString::fromStdString(e),
                     QString::fromStdString(e));
}

/// A calendar frame's Size and Position lists with their labels, in rows 1
/// and 2 of `grid` under the On/Off row.
struct CalendarLists {
    QComboBox* size;
    QComboBox* position;
};
struct CalendarNames {
    const char* sizeLabel;
    const char* size;
    const char* positionLabel;
    const char* position;
};
inline CalendarLists calendarLists(QGridLayout* grid, QWidget* frame, const CalendarNames& names,
                                   const QString& sizeText, const QString& positionText) {
    QLabel* sizeLabel = label(names.sizeLabel, sizeText, frame);
    auto* size = named(new QComboBox(frame), names.size);
    fill(size, calendarSizes());
    standsFor(sizeLabel, size);
    QLabel* positionLabel = label(names.positionLabel, positionText, frame);
    auto* position = named(new QComboBox(frame), names.position);
    fill(position, calendarPositions());
    standsFor(positionLabel, position);
    grid->addWidget(sizeLabel, 1, 0);
    grid->addWidget(size, 1, 1);
    grid->addWidget(positionLabel, 2, 0);
    grid->addWidget(position, 2, 1);
    grid->setColumnStretch(2, 1);
    return {size, position};
}

inline std::vector<std::string> comboEntries(const QComboBox* box) {
    std::vector<std::string> entries;
    for (int i = 0; i < box->count(); ++i)
        entries.push_back(box->itemData(i).toString().toStdString());
    return entries;
}

} // namespace skyloom::config::controls
