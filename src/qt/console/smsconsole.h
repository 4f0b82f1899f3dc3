#pragma once
// The operator console's behaviour over its designed face: start-up, settings
// editing, the operator's commands, window life. Its fields are the
// gateway's live settings (read through FormFields); main.cpp wires the two.

#include "commands/endprogram.h"
#include "qt/console/consoleface.h"
#include "core/gateway.h"
#include "qt/dialogs/frmabout.h"
#include "qt/dialogs/frmchangepath.h"
#include "qt/dialogs/frmtestsms.h"
#include "platform/filedialog.h"
#include "pure/configfile.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QMenu;
class QSystemTrayIcon;

namespace qm
{

// What the console is given besides its form and the gateway.
struct ConsoleOptions {
    FileDialog &fileDialog;
    std::string programFolder; // the executable's folder, with trailing separator
    // Retries a start of automatic sending that a test message held up.
    Timer *startRetry = nullptr;
    // How the process ends after Exit or a system close (unset: at once).
    Terminate terminate = {};
    // Whether the desktop has a notification area (unset: ask Qt).
    std::function<bool()> trayAvailable = {};
};

class SMSConsole final : public QObject
{
    Q_OBJECT

public:
    // The form is the console's face; the gateway reads its fields through a
    // FormFields over the same form. Both outlive the console.
    SMSConsole(frmSMSConsole &form, Gateway &gw, ConsoleOptions options, QObject *parent = nullptr);
    ~SMSConsole() override;

    // Runs the start-up sequence once: flags, settings file, lists, fields.
    void startUp();

    QSystemTrayIcon *trayIcon() const { return tray_.get(); }

    // Window life. A tray notification by its code (514, 515, 517...).
    void OnTrayNotification(int code);
    // Normal state, raised, activated, shown.
    void RestoreConsole();
    // mnuPopupOpen: shown, then given the input focus.
    void OpenConsole();
    // mnuPopupAbout and cmdAbout: the console hides, the about box shows.
    void ShowAbout();
    // mnuPopupExit: the console closes, the icon goes, the process ends.
    void ExitProgram();
    // A close the system asks for (session end, SIGTERM): the same end.
    void SystemClose();
    // cmdSendTestSMS: the test message dialog, modeless.
    void ShowTestSMS();
    // The outbox path dialog, modeless, then a save when the settings are
    // loaded. Offered by Ctrl+P and the console's context menu.
    void ChangeOutboxPath();

    // The outbox path command of the console's own context menu.
    QAction *changePathAction() const { return changePathAction_; }
    frmAbout *about() const { return about_; }
    frmTestSMS *testSMS() const { return testSMS_; }
    frmChangePath *changePath() const { return changePath_; }

    void ShowUCPFields();
    void ShowTAPFields();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectHandlers();
    void fillLists();
    void putLoadedValues();
    void onProtocolSwitch();
    void onSMSCenterNumberChanged();
    void saveIfLoaded();
    void onStartSendSMS();
    void retryStartLater();
    void onStartRetry();
    void listAction(QComboBox *list);
    void onFocusChanged(QWidget *old, QWidget *now);
    bool trayAvailable() const;
    void watchForTray();
    void connectWindowLife();
    // The console window's close event: false to cancel it.
    bool onClose(bool fromCloseBox);
    void endProcess();
    void hideConsole();

    frmSMSConsole &form_;
    Gateway &gw_;
    ConsoleOptions options_;
    ConsoleSettings loaded_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    bool hasTray_ = false;
    bool systemClosing_ = false;
    QMenu *consoleMenu_ = nullptr;
    QAction *changePathAction_ = nullptr;
    QPointer<frmAbout> about_;
    QPointer<frmTestSMS> testSMS_;
    QPointer<frmChangePath> changePath_;
};

} // namespace qm
