#include "quenvar/qt/checkform.h"

#include <QMainWindow>

#include "quenvar/qt/qtmain.h"
#include "ui_frmCheck.h"

namespace qv::qt {

QWidget* buildCheckForm() { return buildForm<Ui::frmCheck, QMainWindow>(); }

}  // namespace qv::qt
