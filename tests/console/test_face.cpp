// The few properties of the console's face a refactoring of the form could
// break unseen; its geometry is the .ui's business.

#include "console/consoleface.h"
#include "qtapp.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

namespace qm::test
{
namespace
{

TEST(ConsoleFace, FixedWindowOverlaidFieldsLongTextsTabOrderAndMenu)
{
    frmSMSConsole face;
    const auto control = [&](const char *name) {
        return face.findChild<QWidget *>(QString::fromLatin1(name));
    };
    EXPECT_EQ(face.windowTitle().toStdString(), "Quillmast Configuration for Korvane");
    EXPECT_EQ(face.minimumSize(), QSize(801, 418));
    EXPECT_EQ(face.maximumSize(), QSize(801, 418));
    // The protocol shows one of the two fields at the same place.
    ASSERT_NE(control("txtDelivered"), nullptr);
    EXPECT_EQ(control("txtDelivered")->geometry(), control("txtLegitimizationCode")->geometry());
    // A stored setting longer than QLineEdit's default limit is not cut short.
    const QString longText(40000, QLatin1Char('x'));
    for (QLineEdit *e : face.findChildren<QLineEdit *>()) {
        e->setText(longText);
        EXPECT_EQ(e->text().size(), longText.size()) << e->objectName().toStdString();
    }
    // Rendered control characters look like tags; as rich text they would vanish.
    EXPECT_EQ(qobject_cast<QLabel *>(control("statusBar"))->textFormat(), Qt::PlainText);

    const char *const tabOrder = "txtSMSCenterNumber cmbOperationType cmbModem cmbBaudrate "
                                 "cmbSMSType cmbProtocol txtLegitimizationCode "
                                 "txtAuthenticationCode cmdSendTestSMS cmdAbout cmdStartSendSMS "
                                 "txtStored txtDelivered";
    QStringList walked;
    QWidget *w = control("txtSMSCenterNumber");
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->window() == &face && w != &face)
            walked.append(w->objectName());
        w = w->nextInFocusChain();
    } while (w != control("txtSMSCenterNumber") && walked.size() <= 13);
    EXPECT_EQ(walked.join(QLatin1Char(' ')).toStdString(), tabOrder);

    QStringList entries;
    for (QAction *a : face.popupMenu()->actions())
        entries << a->text();
    EXPECT_EQ(entries.join('|').toStdString(), "&Open|&About...||E&xit");
    EXPECT_EQ(face.popupMenu()->actions().at(0), face.mnuPopupOpen());
    EXPECT_EQ(face.popupMenu()->actions().at(3), face.mnuPopupExit());
    EXPECT_FALSE(face.windowIcon().isNull());
}

} // namespace
} // namespace qm::test
