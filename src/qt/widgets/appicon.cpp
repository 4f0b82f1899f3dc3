#include "qt/widgets/appicon.h"

// The resources live in the static qm_qt library; nothing references
// their initialisers, so the linker would drop them without these calls,
// which must stand outside any namespace.
static void initIconResources()
{
    Q_INIT_RESOURCE(widgets);
    Q_INIT_RESOURCE(dialogs);
}

namespace qm
{

QIcon applicationIcon()
{
    initIconResources();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/quillmast-%1.png").arg(size), QSize(size, size));
    return icon;
}

QIcon FormIconImage(FormIcon icon)
{
    initIconResources();
    switch (icon) {
    case FormIcon::ChangePath:
        return QIcon(QStringLiteral(":/dialogs/images/changepath-32.png"));
    case FormIcon::Application:
        break;
    }
    return applicationIcon();
}

} // namespace qm
