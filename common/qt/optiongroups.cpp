#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>

#include "quenvar/qt/qtmain.h"

namespace qv::qt {

namespace {

// A click on the label beside an option (its buddy) chooses the option as a click on the button
// does: forms whose option buttons carry no text say what each stands for there.
// Each group of options (the buttons of one frame) is one Tab stop, its chosen option (the arrow
// keys choose within the group: the binding gives them to the window logic).
class OptionGroups : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (auto* option = qobject_cast<QRadioButton*>(watched)) {
            if (event->type() == QEvent::FocusOut) leaving_ = option;
            if (event->type() == QEvent::FocusIn) tabIntoGroup(option, static_cast<QFocusEvent*>(event)->reason());
            return false;
        }
        if (event->type() != QEvent::MouseButtonRelease) return false;
        auto* label = qobject_cast<QLabel*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* option = label ? qobject_cast<QRadioButton*>(label->buddy()) : nullptr;
        if (option && option->isEnabled() && mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            option->click();
            option->setFocus(Qt::MouseFocusReason);
        }
        return false;
    }

private:
    static bool sameGroup(const QWidget* a, const QWidget* b)
    {
        return a && b && a != b && qobject_cast<const QRadioButton*>(a) && qobject_cast<const QRadioButton*>(b) &&
               a->parentWidget() == b->parentWidget();
    }

    // Tab (or Shift+Tab) reaching an option: from outside its group the focus goes to the chosen
    // option; from within the group it leaves the group, so that a group is one Tab stop.
    void tabIntoGroup(QRadioButton* option, Qt::FocusReason reason)
    {
        QWidget* from = leaving_;
        leaving_ = nullptr;
        if (moving_ || (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason)) return;
        moving_ = true;
        const bool forward = reason == Qt::TabFocusReason;
        QWidget* target = nullptr;
        if (sameGroup(from, option)) {
            // Past the last (or before the first) option of the group.
            QWidget* w = option;
            do {
                w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
            } while (w != option && (sameGroup(w, option) || !(w->focusPolicy() & Qt::TabFocus) || !w->isVisible() ||
                                     !w->isEnabled()));
            target = w;
            if (auto* other = qobject_cast<QRadioButton*>(target)) target = chosenOf(other);
        } else if (!option->isChecked()) {
            target = chosenOf(option);
        }
        if (target && target != option) target->setFocus(reason);
        moving_ = false;
    }

    // The chosen option of a button's group (the button itself when none is chosen).
    static QWidget* chosenOf(QRadioButton* option)
    {
        for (QRadioButton* sibling : option->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
            if (sibling->isChecked() && sibling->isEnabled()) return sibling;
        return option;
    }

    QPointer<QWidget> leaving_;
    bool moving_ = false;
};

}  // namespace

void setUpOptionGroups(QWidget* top)
{
    auto* filter = new OptionGroups(top);
    for (QRadioButton* option : top->findChildren<QRadioButton*>()) option->installEventFilter(filter);
    for (QLabel* label : top->findChildren<QLabel*>())
        if (qobject_cast<QRadioButton*>(label->buddy())) {
            label->installEventFilter(filter);
            label->setCursor(Qt::PointingHandCursor);
        }
}

}  // namespace qv::qt
