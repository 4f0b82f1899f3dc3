#include "console/face.h"

#include "commands/autosending.h"
#include "pure/linesettings.h"
#include "pure/protocols.h"
#include "pure/ucpframe.h"

namespace qm
{
namespace
{

using enum ControlKind;

constexpr FontFace Default{};
constexpr FontFace Verdana9{"Verdana", 9, false};
constexpr FontFace Verdana9Bold{"Verdana", 9, true};
constexpr FontFace Verdana12Bold{"Verdana", 12, true};
constexpr FontFace Verdana18Bold{"Verdana", 18, true};
// The text fields and the dialogs' buttons.
constexpr FontFace Verdana825Bold{"Verdana", 8.25, true};
// The console's buttons and status line.
constexpr FontFace Arial825Bold{"Arial", 8.25, true};
constexpr FontFace Arial825{"Arial", 8.25, false};

using C = ConsoleControl;
// txtDelivered lies exactly over txtLegitimizationCode; the protocol shows one of them.
constexpr ControlFace<C> ConsoleRows[] = {
    {C::Label2,
     "Label2",
     Label,
     "Quillmast Configuration",
     {240, 120, 9015, 495},
     5,
     Verdana18Bold},
    {C::cmdAbout, "cmdAbout", Button, "About", {10440, 120, 1455, 375}, 18, Arial825Bold},
    {C::Line3, "Line3", Separator, "", {0, 720, 12000, 0}, -1, Default},
    {C::Label1, "Label1", Label, "SMS Centre Number", {240, 1035, 2655, 375}, 6, Verdana12Bold},
    {C::txtSMSCenterNumber,
     "txtSMSCenterNumber",
     TextField,
     "",
     {3360, 1035, 3615, 315},
     0,
     Verdana825Bold},
    {C::Label3, "Label3", Label, "Protocol", {240, 1560, 1575, 255}, 13, Verdana9},
    {C::cmbProtocol, "cmbProtocol", ChoiceList, "", {3360, 1530, 1695, 315}, 12, Default},
    {C::ltxtAuthenticationCode,
     "ltxtAuthenticationCode",
     Label,
     "Authentication Code",
     {5400, 1560, 2055, 255},
     11,
     Verdana9},
    {C::txtAuthenticationCode,
     "txtAuthenticationCode",
     TextField,
     "",
     {7680, 1530, 3615, 315},
     16,
     Verdana825Bold},
    {C::lcmbOperationType,
     "lcmbOperationType",
     Label,
     "Protocol Operation Type",
     {240, 2040, 2775, 255},
     7,
     Verdana9},
    {C::cmbOperationType, "cmbOperationType", ChoiceList, "", {3360, 2010, 1695, 315}, 1, Default},
    {C::ltxtLegitimizationCode,
     "ltxtLegitimizationCode",
     Label,
     "Legitimization Code",
     {5400, 2040, 2055, 255},
     14,
     Verdana9},
    {C::txtLegitimizationCode,
     "txtLegitimizationCode",
     TextField,
     "",
     {7680, 2010, 3615, 315},
     15,
     Verdana825Bold},
    {C::txtDelivered, "txtDelivered", TextField, "", {7680, 2010, 3615, 315}, 23, Verdana825Bold},
    {C::ltxtStored, "ltxtStored", Label, "Stored Text", {5400, 2520, 2055, 255}, 21, Verdana9},
    {C::txtStored, "txtStored", TextField, "", {7680, 2490, 3615, 315}, 20, Verdana825Bold},
    {C::Line1, "Line1", Separator, "", {0, 3060, 12000, 0}, -1, Default},
    {C::Label5, "Label5", Label, "Modem", {240, 3315, 2655, 375}, 8, Verdana12Bold},
    {C::cmbModem, "cmbModem", ChoiceList, "", {3360, 3315, 3615, 315}, 2, Default},
    {C::Label6, "Label6", Label, "Baudrate", {240, 3765, 1575, 375}, 9, Verdana9},
    {C::cmbBaudrate, "cmbBaudrate", ChoiceList, "", {3360, 3765, 1695, 315}, 3, Default},
    // Two blanks between "8" and "bit".
    {C::Label7, "Label7", Label, "SMS Type (7 or 8  bit)", {240, 4200, 2655, 375}, 10, Verdana9},
    {C::cmbSMSType, "cmbSMSType", ChoiceList, "", {3360, 4200, 1695, 315}, 4, Default},
    {C::Line2, "Line2", Separator, "", {0, 5400, 12000, 0}, -1, Default},
    {C::cmdStartSendSMS,
     "cmdStartSendSMS",
     Button,
     StartSendingCaption,
     {240, 5520, 2895, 375},
     19,
     Arial825Bold},
    {C::cmdSendTestSMS,
     "cmdSendTestSMS",
     Button,
     "Send Manual SMS",
     {3600, 5520, 2295, 375},
     17,
     Arial825Bold},
    {C::imgIcon, "imgIcon", Image, "", {10320, 5640, 240, 240}, -1, Default},
    // A plain one-line label: every status message of the program is its caption.
    {C::statusBar, "statusBar", Label, "Status", {0, 6000, 12015, 255}, 22, Arial825},
};

using T = TestSMSControl;
constexpr ControlFace<T> TestSMSRows[] = {
    {T::Label1, "Label1", Label, "SMS Number", {360, 120, 1335, 255}, 1, Verdana9Bold},
    {T::txtSMSNumber, "txtSMSNumber", TextField, "", {2040, 120, 2655, 315}, 0, Verdana9},
    {T::Label3, "Label3", Label, "Message", {360, 480, 1335, 255}, 4, Verdana9Bold},
    // Shown and editable, never read: the text sent is fixed.
    {T::txtSMSMessage,
     "txtSMSMessage",
     TextField,
     "This is a test message",
     {360, 840, 4335, 1455},
     5,
     Default},
    {T::cmdSend, "cmdSend", Button, "&Send", {360, 2640, 1455, 375}, 2, Verdana825Bold, true},
    {T::cmdCancel,
     "cmdCancel",
     Button,
     "&Cancel",
     {3360, 2640, 1335, 375},
     3,
     Verdana825Bold,
     false,
     true},
};

using P = ChangePathControl;
constexpr ControlFace<P> ChangePathRows[] = {
    {P::Label1, "Label1", Label, "Outbox Path", {120, 120, 1815, 375}, 2, Default},
    {P::dirPath, "dirPath", FolderList, "", {120, 360, 5295, 2565}, 3, Default},
    {P::drvPath, "drvPath", DriveList, "", {120, 3120, 5295, 315}, 4, Default},
    {P::cmdUpdate, "cmdUpdate", Button, "&Update", {600, 3720, 1815, 375}, 1, Default, true},
    {P::cmdCancel,
     "cmdCancel",
     Button,
     "&Cancel",
     {2640, 3720, 1695, 375},
     0,
     Default,
     false,
     true},
};

constexpr ControlFace<AboutControl> AboutRows[] = {
    {AboutControl::cmdOK,
     "cmdOK",
     Button,
     "OK",
     {2880, 3480, 1455, 375},
     0,
     Verdana825Bold,
     true,
     false,
     0xE0E0E0},
};

constexpr MenuEntryFace PopupEntries[] = {
    {"mnuPopupOpen", "&Open", MenuCommand::mnuPopupOpen, true},
    {"mnuPopupAbout", "&About...", MenuCommand::mnuPopupAbout},
    {"mnuPopupSep10", "-", std::nullopt},
    {"mnuPopupExit", "E&xit", MenuCommand::mnuPopupExit},
};

constexpr MenuEntryFace ConsoleEntries[] = {
    {"mnuPopupOpen", "&Open", MenuCommand::mnuPopupOpen},
    {"mnuPopupAbout", "&About...", MenuCommand::mnuPopupAbout},
    {"mnuConsoleSep1", "-", std::nullopt},
    {"mnuChangeOutboxPath",
     "Change Outbox &Path...",
     MenuCommand::mnuChangeOutboxPath,
     false,
     {true, 'P'}},
    {"mnuConsoleSep2", "-", std::nullopt},
    {"mnuPopupExit", "E&xit", MenuCommand::mnuPopupExit},
};

// Row n of a table is the control of value n: the views index them so.
template <typename Id, std::size_t N> constexpr bool rowsInOrder(const ControlFace<Id> (&rows)[N])
{
    for (std::size_t i = 0; i < N; ++i)
        if (rows[i].id != Id(i))
            return false;
    return true;
}
static_assert(rowsInOrder(ConsoleRows) && rowsInOrder(TestSMSRows) && rowsInOrder(ChangePathRows) &&
              rowsInOrder(AboutRows));

template <typename Entries> std::vector<std::string> texts(const Entries &entries)
{
    std::vector<std::string> out;
    for (const auto &e : entries) {
        if constexpr (std::is_integral_v<std::decay_t<decltype(e)>>)
            out.push_back(std::to_string(e));
        else
            out.emplace_back(e);
    }
    return out;
}

} // namespace

const FormFace<ConsoleControl> ConsoleFace{
    "frmSMSConsole", "Quillmast Configuration for Korvane", 12015, 6270, FormIcon::Application,
    ConsoleRows};
const FormFace<TestSMSControl> TestSMSFace{"frmTestSMS", "Send Test SMS",       5010,
                                           3150,         FormIcon::Application, TestSMSRows};
const FormFace<ChangePathControl> ChangePathFace{
    "frmChangePath", "Change Outbox Path...", 5520, 4350, FormIcon::ChangePath, ChangePathRows};
const FormFace<AboutControl> AboutFace{"frmAbout", "About Quillmast",     4485,
                                       4095,       FormIcon::Application, AboutRows};

const MenuFace PopupMenuFace{"mnuPopup", "Popup", PopupEntries};
const MenuFace ConsoleMenuFace{"mnuConsole", "", ConsoleEntries};

const std::array<TimerFace, 6> ConsoleTimerFaces{{{"CheckPendingSMS", 1000},
                                                  {"sec1", 1000},
                                                  {"sec2", 2000},
                                                  {"sec4", 4000},
                                                  {"sec8", 8000},
                                                  {"sec10", 60000}}};

const std::vector<std::string> &ListEntries(ConsoleControl list)
{
    // Speeds and operation types are those the port and the frame builder
    // accept, in their order.
    static const std::vector<std::string> protocols = texts(Protocols),
                                          operationTypes = texts(UCPOperationTypes),
                                          speeds = texts(LineSpeeds),
                                          frames{"O,8,1", "E,8,1", "N,8,1",
                                                 "O,7,1", "E,7,1", "N,7,1"},
                                          ports{"COM 1", "COM 2", "COM 3", "COM 4"}, none;
    switch (list) {
    case C::cmbProtocol:
        return protocols;
    case C::cmbOperationType:
        return operationTypes;
    case C::cmbBaudrate:
        return speeds;
    case C::cmbSMSType:
        return frames;
    case C::cmbModem:
        return ports;
    default:
        return none;
    }
}

std::string AboutVersionLine()
{
    return "Version " QM_VERSION;
}

} // namespace qm
