#pragma once
// The console window's face: the designed controls, fonts, icon and tray
// popup menu, with no behaviour. The console's behaviour is layered on top
// and reaches the widgets through `ui` (include "ui_frmsmsconsole.h").

#include <QWidget>

class QAction;
class QMenu;

namespace Ui
{
class frmSMSConsole;
}

namespace qm
{

class frmSMSConsole : public QWidget
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 801;
    static constexpr int ClientHeight = 418;

    explicit frmSMSConsole(QWidget *parent = nullptr);
    ~frmSMSConsole() override;

    // Every control of the form, by its designed name.
    Ui::frmSMSConsole *const ui;

    // The tray icon's popup menu (never shown as a menu bar).
    QMenu *popupMenu() const { return mnuPopup_; }
    QAction *mnuPopupOpen() const { return mnuPopupOpen_; }
    QAction *mnuPopupAbout() const { return mnuPopupAbout_; }
    QAction *mnuPopupExit() const { return mnuPopupExit_; }

private:
    void applyFractionalFonts();
    void buildPopupMenu();

    QMenu *mnuPopup_ = nullptr;
    QAction *mnuPopupOpen_ = nullptr;
    QAction *mnuPopupAbout_ = nullptr;
    QAction *mnuPopupExit_ = nullptr;
};

} // namespace qm
