#include "qt/dialogs/frmabout.h"

#include "qt/widgets/appicon.h"
#include "qt/widgets/fonts.h"
#include "qt/widgets/twips.h"

#include <QCloseEvent>
#include <QPainter>
#include <QPalette>
#include <QPushButton>

static void initDialogResources()
{
    Q_INIT_RESOURCE(dialogs);
}

namespace qm
{

QImage frmAbout::Artwork()
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
               QStringLiteral("Version " QM_VERSION));
    return image;
}

frmAbout::frmAbout(QWidget *parent) : QDialog(parent), picture_(Artwork())
{
    EnsureFontSubstitutions();
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Quillmast"));
    setWindowIcon(applicationIcon());
    setFixedSize(ClientWidth, ClientHeight);
    setAttribute(Qt::WA_DeleteOnClose);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    Place(cmdOK, Twips(2880, 3480, 1455, 375), "Verdana", 8.25, true);
    QPalette face = cmdOK->palette();
    face.setColor(QPalette::Button, QColor(224, 224, 224));
    cmdOK->setPalette(face);
    cmdOK->setAutoFillBackground(true);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
}

void frmAbout::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(QPoint(0, 0), picture_);
}

void frmAbout::reject()
{
    close();
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    event->accept();
}

} // namespace qm
