#pragma once
// The console window on Qt, built from the console's face table: a passive
// view that passes the widgets' signals on to the console's rules and
// carries out their orders. The tray icon and its menu, the window's own
// context menu and the dialogs' windows come from here too.

#include "console/views.h"
#include "qt/widgets/qtformview.h"

#include <QSystemTrayIcon>

class QMenu;

namespace qm
{

// Qt's activation reason as the tray notification code it stands for.
int TrayNotificationCode(QSystemTrayIcon::ActivationReason reason);

class QtConsoleView final : public QtFormView<ConsoleControl, ConsoleView>
{
public:
    QtConsoleView();
    ~QtConsoleView() override;

    void setEvents(ConsoleEvents &events) override;
    void minimise() override;
    void restore() override;
    void focusWindow() override;
    bool trayAvailable() override;
    void showTrayIcon() override;
    void hideTrayIcon() override;
    void popUpTrayMenu() override;
    std::unique_ptr<TestSMSView> createTestSMS(TestSMSEvents &events) override;
    std::unique_ptr<ChangePathView> createChangePath(ChangePathEvents &events) override;
    std::unique_ptr<AboutView> createAbout(AboutEvents &events) override;

    QSystemTrayIcon &trayIcon() { return tray_; }
    QMenu *popupMenu() const { return popup_; }

private:
    void connectControls();
    void tell(auto event);

    ConsoleEvents *events_ = nullptr;
    QMenu *popup_ = nullptr;
    QMenu *consoleMenu_ = nullptr;
    QSystemTrayIcon tray_;
};

} // namespace qm
