#include <memory>

#include "prefkit/check.h"
#include "prefkit/program.h"
#ifdef QUENVAR_WITH_QT
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMouseEvent>
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
class OptionLabelClick : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonRelease) return false;
        auto* label = static_cast<QLabel*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* option = qobject_cast<QRadioButton*>(label->buddy());
        if (option && option->isEnabled() && mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            option->setFocus(Qt::MouseFocusReason);
            option->click();
        }
        return false;
    }
};

template <class Ui>
QWidget* buildWithOptionLabels()
{
    QWidget* top = qv::qt::buildForm<Ui, QMainWindow>();
    auto* filter = new OptionLabelClick(top);
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
    const qv::cli::Tool tool{"prefkit",
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
