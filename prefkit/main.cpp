#include <memory>

#include "prefkit/check.h"
#include "prefkit/program.h"
#ifdef QUENVAR_WITH_QT
#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>

#include "quenvar/qt/checkform.h"
#include "quenvar/qt/qtmain.h"
#include "ui_frmMain.h"
#include "ui_frmPage2.h"
#else
#include "quenvar/script.h"
#endif

#ifdef QUENVAR_WITH_QT
namespace {

// The option buttons of the main window carry no text; the label beside each (its buddy) says
// what it stands for. A click on that label chooses the option as a click on the button does.
// Each group of options (the buttons of one frame) is one Tab stop, its chosen option (the arrow
// keys choose within the group: the binding gives them to the window logic).
class OptionKeysAndLabels : public QObject {
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

template <class Ui>
QWidget* buildWithOptionLabels()
{
    QWidget* top = qv::qt::buildForm<Ui, QMainWindow>();
    auto* filter = new OptionKeysAndLabels(top);
    for (QRadioButton* option : top->findChildren<QRadioButton*>()) option->installEventFilter(filter);
    for (QLabel* label : top->findChildren<QLabel*>())
        if (qobject_cast<QRadioButton*>(label->buddy())) {
            label->installEventFilter(filter);
            label->setCursor(Qt::PointingHandCursor);
        }
    return top;
}

}  // namespace
#endif

int main(int argc, char** argv)
{
    const qv::cli::Tool tool{
        "prefkit",
        "Edits Quenvar's default calculation settings and surface-model parameters (deftempar.dat) and\n"
        "the four database paths (dabase.txt).",
        prefkit::checkMain};
    auto make = [](qv::forms::Application& app) { return std::make_unique<prefkit::Program>(app); };
#ifdef QUENVAR_WITH_QT
    return qv::qt::windowedMain(argc, argv, tool, make,
                                {{"frmMain", buildWithOptionLabels<Ui::frmMain>},
                                 {"frmPage2", qv::qt::buildForm<Ui::frmPage2, QMainWindow>},
                                 {"frmCheck", qv::qt::buildCheckForm}});
#else
    return qv::script::scriptOnlyMain(argc, argv, tool, make);
#endif
}
