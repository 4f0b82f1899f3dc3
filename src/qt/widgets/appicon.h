#pragma once

#include "console/face.h"

#include <QIcon>

namespace qm
{

// The application icon (16, 32 and 48 px): console window, tray icon,
// imgIcon and the dialogs all use this one.
QIcon applicationIcon();

// A window's icon: the application icon, or the outbox path dialog's own.
QIcon FormIconImage(FormIcon icon);

} // namespace qm
