#include "qt/console/consoleface.h"

#include "ui_frmsmsconsole.h"
#include "qt/widgets/appicon.h"
#include "qt/widgets/fonts.h"

#include <QAction>
#include <QMenu>

namespace qm
{

frmSMSConsole::frmSMSConsole(QWidget *parent)
    : QWidget(parent), ui((EnsureFontSubstitutions(), new Ui::frmSMSConsole))
{
    ui->setupUi(this);
    applyFractionalFonts();
    setFixedSize(ClientWidth, ClientHeight);

    const QIcon icon = applicationIcon();
    setWindowIcon(icon);
    ui->imgIcon->setPixmap(icon.pixmap(QSize(16, 16)));

    buildPopupMenu();
}

frmSMSConsole::~frmSMSConsole()
{
    delete ui;
}

// A form file stores whole points only; the buttons, the text fields and
// the status line are designed at 8.25 pt.
void frmSMSConsole::applyFractionalFonts()
{
    QWidget *const small[] = {ui->cmdAbout,
                              ui->txtSMSCenterNumber,
                              ui->txtAuthenticationCode,
                              ui->txtLegitimizationCode,
                              ui->txtDelivered,
                              ui->txtStored,
                              ui->cmdStartSendSMS,
                              ui->cmdSendTestSMS,
                              ui->statusBar};
    for (QWidget *w : small) {
        QFont f = w->font();
        f.setPointSizeF(8.25);
        w->setFont(f);
    }
}

void frmSMSConsole::buildPopupMenu()
{
    mnuPopup_ = new QMenu(QStringLiteral("Popup"), this);
    mnuPopup_->setObjectName(QStringLiteral("mnuPopup"));

    mnuPopupOpen_ = mnuPopup_->addAction(QStringLiteral("&Open"));
    mnuPopupOpen_->setObjectName(QStringLiteral("mnuPopupOpen"));
    mnuPopupAbout_ = mnuPopup_->addAction(QStringLiteral("&About..."));
    mnuPopupAbout_->setObjectName(QStringLiteral("mnuPopupAbout"));
    QAction *sep = mnuPopup_->addSeparator();
    sep->setObjectName(QStringLiteral("mnuPopupSep10"));
    mnuPopupExit_ = mnuPopup_->addAction(QStringLiteral("E&xit"));
    mnuPopupExit_->setObjectName(QStringLiteral("mnuPopupExit"));
    // Open is drawn as the default (bold) entry.
    mnuPopup_->setDefaultAction(mnuPopupOpen_);
}

} // namespace qm
