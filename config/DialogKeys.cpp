#include "DialogKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace skyloom::config {

namespace {

// Sees the key presses that reach the window itself, that is those no
// control of it took for itself, as a dialog's own key handling does.
class DialogKeyFilter : public QObject {
public:
    DialogKeyFilter(QWidget* window, QPushButton* ok, QPushButton* cancel)
        : QObject(window), window_(window), ok_(ok), cancel_(cancel) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != window_ || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = key->modifiers() == Qt::NoModifier;
        const bool enter =
            (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) ||
            (key->modifiers() == Qt::KeypadModifier && key->key() == Qt::Key_Enter);
        QPushButton* button = enter                                   ? ok_.data()
                              : plain && key->key() == Qt::Key_Escape ? cancel_.data()
                                                                      : nullptr;
        if (!button || !button->isVisible() || !button->isEnabled())
            return false;
        button->click();
        return true;
    }

private:
    QWidget* window_;
    QPointer<QPushButton> ok_;
    QPointer<QPushButton> cancel_;
};

} // namespace

void installDialogKeys(QWidget* window, QPushButton* ok, QPushButton* cancel) {
    // Push buttons outside a QDialog ignore Return unless they are default
    // buttons; as in a dialog, a focused one is pressed by it.
    for (QPushButton* b : window->findChildren<QPushButton*>())
        b->setAutoDefault(true);
    ok->setDefault(true);
    window->installEventFilter(new DialogKeyFilter(window, ok, cancel));
}

} // namespace skyloom::config
