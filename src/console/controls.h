#pragma once
// The controls of the console and its dialogs, and the commands of their
// menus, by the names the windows give them. An enumerator's value is the
// control's row in its window's face table (console/face.h).

namespace qm
{

enum class ConsoleControl {
    Label2,
    cmdAbout,
    Line3,
    Label1,
    txtSMSCenterNumber,
    Label3,
    cmbProtocol,
    ltxtAuthenticationCode,
    txtAuthenticationCode,
    lcmbOperationType,
    cmbOperationType,
    ltxtLegitimizationCode,
    txtLegitimizationCode,
    txtDelivered,
    ltxtStored,
    txtStored,
    Line1,
    Label5,
    cmbModem,
    Label6,
    cmbBaudrate,
    Label7,
    cmbSMSType,
    Line2,
    cmdStartSendSMS,
    cmdSendTestSMS,
    imgIcon,
    statusBar,
};

// frmTestSMS
enum class TestSMSControl { Label1, txtSMSNumber, Label3, txtSMSMessage, cmdSend, cmdCancel };

// frmChangePath
enum class ChangePathControl { Label1, dirPath, drvPath, cmdUpdate, cmdCancel };

// frmAbout
enum class AboutControl { cmdOK };

// The entries of the tray's popup menu and of the console's own context
// menu, which adds the outbox path dialog.
enum class MenuCommand { mnuPopupOpen, mnuPopupAbout, mnuPopupExit, mnuChangeOutboxPath };

} // namespace qm
