#pragma once
// frmTestSMS on Qt.

#include "qt/dialogs/dialogwindow.h"

namespace qm
{

class QtTestSMSView final : public QtDialogView<TestSMSControl>
{
public:
    explicit QtTestSMSView(TestSMSEvents &events) : QtDialogView(TestSMSFace, events) {}
};

} // namespace qm
