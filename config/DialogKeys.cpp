#include "DialogKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>

namespace skyloom::config {

namespace {

// Sees the key presses that reach the window itself, that is those no
// control of it accepted.
class ReturnPressesDefault : public QObject {
public:
    ReturnPressesDefault(QWidget* window, QPushButton* button)
        : QObject(window), window_(window), button_(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plainReturn = key->modifiers() == Qt::NoModifier &&
                                 (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
        const bool keypadEnter =
            key->modifiers() == Qt::KeypadModifier && key->key() == Qt::Key_Enter;
        if (!(plainReturn || keypadEnter) || !button_ || !button_->isVisible() ||
            !button_->isEnabled())
            return false;
        button_->click();
        return true;
    }

private:
    QWidget* window_;
    QPointer<QPushButton> button_;
};

} // namespace

void installDialogKeys(QWidget* window, QPushButton* ok, QPushButton* cancel) {
    // Push buttons outside a QDialog ignore Return unless they are default
    // buttons; as in a dialog, a focused one is pressed by it.
    for (QPushButton* b : window->findChildren<QPushButton*>())
        b->setAutoDefault(true);
    ok->setDefault(true);
    window->installEventFilter(new ReturnPressesDefault(window, ok));
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, cancel, [cancel] {
        if (cancel->isEnabled())
            cancel->click();
    });
}

} // namespace skyloom::config
