#include "qt/dialogs/frmtestsms.h"

#include "qt/widgets/ansi.h"
#include "qt/widgets/appicon.h"
#include "qt/widgets/fonts.h"
#include "qt/widgets/twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include <limits>

namespace qm
{

frmTestSMS::frmTestSMS(TestSend send, QWidget *parent) : QDialog(parent), send_(std::move(send))
{
    EnsureFontSubstitutions();
    setObjectName(QStringLiteral("frmTestSMS"));
    setWindowTitle(QStringLiteral("Send Test SMS"));
    setWindowIcon(applicationIcon());
    setFixedSize(ClientWidth, ClientHeight);

    const auto label = [this](const char *name, const char *caption) {
        auto *l = new QLabel(QString::fromLatin1(caption), this);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return l;
    };
    const auto field = [this](const char *name) {
        auto *f = new QLineEdit(this);
        f->setObjectName(QString::fromLatin1(name));
        f->setMaxLength(std::numeric_limits<int>::max());
        return f;
    };
    const auto button = [this](const char *name, const char *caption) {
        auto *b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };

    Label1 = label("Label1", "SMS Number");
    Place(Label1, Twips(360, 120, 1335, 255), "Verdana", 9, true);
    txtSMSNumber = field("txtSMSNumber");
    Place(txtSMSNumber, Twips(2040, 120, 2655, 315), "Verdana", 9);
    Label3 = label("Label3", "Message");
    Place(Label3, Twips(360, 480, 1335, 255), "Verdana", 9, true);
    txtSMSMessage = field("txtSMSMessage");
    txtSMSMessage->setText(QStringLiteral("This is a test message"));
    txtSMSMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(txtSMSMessage, Twips(360, 840, 4335, 1455));
    cmdSend = button("cmdSend", "&Send");
    Place(cmdSend, Twips(360, 2640, 1455, 375), "Verdana", 8.25, true);
    cmdCancel = button("cmdCancel", "&Cancel");
    Place(cmdCancel, Twips(3360, 2640, 1335, 375), "Verdana", 8.25, true);

    cmdSend->setDefault(true);
    // Tab order: txtSMSNumber, cmdSend, cmdCancel, txtSMSMessage (labels
    // take no focus).
    setTabOrder(txtSMSNumber, cmdSend);
    setTabOrder(cmdSend, cmdCancel);
    setTabOrder(cmdCancel, txtSMSMessage);
    txtSMSNumber->setFocus();

    connect(cmdSend, &QPushButton::clicked, this, [this] { onSend(); });
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::hide);
}

void frmTestSMS::onSend()
{
    // The close box may destroy the dialog while the send pumps events.
    QPointer<frmTestSMS> self(this);
    const TestSend send = send_;
    const SendCycleResult result = send(toAnsi(txtSMSNumber->text()));
    if (self && result != SendCycleResult::ExchangeBusy)
        hide();
}

void frmTestSMS::reject()
{
    hide();
}

void frmTestSMS::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit discarded();
    deleteLater();
}

} // namespace qm
