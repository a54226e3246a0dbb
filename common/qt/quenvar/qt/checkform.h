#pragma once
// The Qt Designer form of the findings window `frmCheck` (common/quenvar/checkwindow.h), for a
// tool's form table: {"frmCheck", qv::qt::buildCheckForm}.

class QWidget;

namespace qv::qt {

QWidget* buildCheckForm();

}  // namespace qv::qt
