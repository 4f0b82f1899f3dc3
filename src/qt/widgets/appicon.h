#pragma once

#include <QIcon>

namespace qm
{

// The application icon (16, 32 and 48 px): console window, tray icon,
// imgIcon and the dialogs all use this one.
QIcon applicationIcon();

} // namespace qm
