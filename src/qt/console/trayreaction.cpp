#include "qt/console/trayreaction.h"

namespace qm
{

int TrayNotificationCode(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return TrayCode::LeftUp;
    case QSystemTrayIcon::DoubleClick:
        return TrayCode::LeftDoubleClick;
    case QSystemTrayIcon::Context:
        return TrayCode::RightUp;
    case QSystemTrayIcon::MiddleClick:
        return TrayCode::MiddleUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return TrayCode::MouseMove;
}

TrayReaction ReactionTo(int code)
{
    switch (code) {
    case TrayCode::LeftUp:
    case TrayCode::LeftDoubleClick:
        return TrayReaction::Restore;
    case TrayCode::RightUp:
        return TrayReaction::PopupMenu;
    default:
        return TrayReaction::Nothing;
    }
}

} // namespace qm
