#pragma once
// The windowed main of a tool: builds each window from its Qt Designer form and binds its
// widgets to the toolkit-free controls of the window logic.
//
// A form's widgets carry the control names as object names; a member of a control array carries
// its index after an underscore ("txtComp_3"); the top-level widget carries the form name
// ("frmMaindb"); menu entries are QActions named like their controls. Kinds: label QLabel,
// text box QLineEdit, list box QListWidget, combo box QComboBox (editable), option button
// QRadioButton, command button QPushButton, frame QGroupBox, line QFrame, menu entry QAction.

#include <functional>
#include <map>
#include <string>

#include <QObject>

#include "quenvar/cli.h"
#include "quenvar/qt/qtplatform.h"
#include "quenvar/script.h"

class QWidget;

namespace qv::qt {

// Builds a top-level widget of type `W` from the uic-generated form class `Ui`.
template <class Ui, class W>
QWidget* buildForm()
{
    auto* widget = new W;
    auto* ui = new Ui;  // lives as long as the widget
    ui->setupUi(widget);
    QObject::connect(widget, &QObject::destroyed, [ui] { delete ui; });
    return widget;
}

// Each group of option buttons in `top` (the buttons of one parent) becomes one Tab stop, its
// chosen option, and a click on an option's buddy label chooses the option.
void setUpOptionGroups(QWidget* top);

// buildForm, with the option groups set up so.
template <class Ui, class W>
QWidget* buildFormWithOptionGroups()
{
    QWidget* top = buildForm<Ui, W>();
    setUpOptionGroups(top);
    return top;
}

// The command line is read as cli::parse reads it, before Qt starts: `--help`, `--version`,
// `--check` and `TOOL --script FILE` (script mode) run with no Qt at all; otherwise the main
// window opens, showing the tool's icon, and the program runs until it ends or its last window
// closes. Where there is no display to open windows on, one line on standard error says so and
// how to run under xvfb-run (exit status 1). `forms` maps each form name to its factory.
int windowedMain(int argc, char** argv, const cli::Tool& tool, const script::ProgramFactory& make,
                 std::map<std::string, FormFactory> forms);

}  // namespace qv::qt
