#include "qt/widgets/appicon.h"

// The resources live in the static qm_qt library; nothing references
// their initialiser, so the linker would drop it without this call, which
// must stand outside any namespace.
static void initWidgetResources()
{
    Q_INIT_RESOURCE(widgets);
}

namespace qm
{

QIcon applicationIcon()
{
    initWidgetResources();
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icons/quillmast-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace qm
