#include "console/trayreaction.h"

namespace qm
{

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
