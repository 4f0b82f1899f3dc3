#include "qt/dialogs/qtaboutview.h"

#include "qt/widgets/ansi.h"

static void initDialogResources()
{
    Q_INIT_RESOURCE(dialogs);
}

namespace qm
{

QImage QtAboutView::Artwork()
{
    initDialogResources();
    QImage image(QStringLiteral(":/dialogs/images/about.png"));
    image = image.convertToFormat(QImage::Format_RGB888);
    // The band left blank by scripts/make-dialog-art.py (baseline y 206).
    QPainter p(&image);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(10);
    p.setFont(f);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawText(QRect(0, 194, image.width(), 16), Qt::AlignHCenter | Qt::AlignBottom,
               fromAnsi(AboutVersionLine()));
    return image;
}

QtAboutView::QtAboutView(AboutEvents &events) : QtDialogView(AboutFace, events)
{
    dialog()->background = Artwork();
}

} // namespace qm
