#pragma once
// The tray icon's notifications, coded as the Windows tray service codes
// them (the mouse message that happened on the icon), and the console's
// reaction to each.

namespace qm
{

namespace TrayCode
{
inline constexpr int MouseMove = 512;       // 0x200
inline constexpr int LeftUp = 514;          // 0x202
inline constexpr int LeftDoubleClick = 515; // 0x203
inline constexpr int RightUp = 517;         // 0x205
inline constexpr int MiddleUp = 520;        // 0x208
} // namespace TrayCode

enum class TrayReaction { Nothing, Restore, PopupMenu };

// 514 and 515 restore the console, 517 pops up mnuPopup, any other code
// (mouse moves, presses, the middle button) does nothing.
TrayReaction ReactionTo(int code);

} // namespace qm
