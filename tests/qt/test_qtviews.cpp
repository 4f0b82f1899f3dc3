// The Qt windows as views: built from the face tables, a widget's signal
// reaches the console's events as the operator's doing, an order reaches the
// widget and signals nothing back.

#include "qt/console/qtconsoleview.h"
#include "qt/dialogs/qtchangepathview.h"
#include "qt/dialogs/qttestsmsview.h"
#include "qt/widgets/ansi.h"
#include "qt/widgets/steadycursor.h"
#include "qtapp.h"
#include "recordedevents.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyleHints>
#include <QTreeView>

#include <filesystem>

namespace qm::test
{
namespace
{

namespace fs = std::filesystem;
using C = ConsoleControl;

void key(QWidget *w, Qt::Key k, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
}

struct ConsoleWindow {
    ConsoleWindow()
    {
        view.setEvents(events);
        view.show();
        QApplication::setActiveWindow(view.window());
        events.said.clear(); // the focus coming into the window
    }
    template <typename W> W *at(C c) { return view.widgetAs<W>(c); }
    QtConsoleView view;
    RecordedEvents events;
};

// The controls reached by Tab from `first`, by name.
std::string tabChain(QWidget *first)
{
    std::string chain = first->objectName().toStdString();
    for (QWidget *next = first->nextInFocusChain(); next != first; next = next->nextInFocusChain())
        if (next->focusPolicy() != Qt::NoFocus && next->window() == first->window())
            chain += " " + next->objectName().toStdString();
    return chain;
}

TEST(QtConsoleView, SizeTabOrderWindowOrdersAndTheSteadyCursorOfALongValue)
{
    ConsoleWindow c;
    QWidget *w = c.view.window();
    EXPECT_EQ(w->size(), QSize(801, 418));
    EXPECT_EQ(tabChain(c.view.widget(C::txtSMSCenterNumber)),
              "txtSMSCenterNumber cmbOperationType cmbModem cmbBaudrate cmbSMSType cmbProtocol "
              "txtLegitimizationCode txtAuthenticationCode cmdSendTestSMS cmdAbout "
              "cmdStartSendSMS txtStored txtDelivered");
    // Status texts carry rendered control characters such as "<STX>": never rich text.
    EXPECT_EQ(c.at<QLabel>(C::statusBar)->textFormat(), Qt::PlainText);
    EXPECT_EQ(c.view.trayIcon().contextMenu()->defaultAction()->text(), "&Open");
    for (auto state : {Qt::WindowMinimized, Qt::WindowMaximized, Qt::WindowNoState}) {
        w->setWindowState(state);
        c.view.hide();
        c.view.restore();
        EXPECT_TRUE(w->isVisible() && w->windowState() == Qt::WindowNoState);
    }
    c.view.minimise();
    c.view.focusWindow();
    EXPECT_FALSE(w->isMinimized());

    const int normal = QGuiApplication::styleHints()->cursorFlashTime();
    ASSERT_NE(normal, 0);
    c.at<QLineEdit>(C::txtAuthenticationCode)->setText(QString(1 << 20, '7'));
    EXPECT_EQ(c.at<QLineEdit>(C::txtAuthenticationCode)->text().size(), 1 << 20);
    const auto focus = [](QWidget *field, QEvent::Type type) {
        QFocusEvent event(type, Qt::TabFocusReason);
        QApplication::sendEvent(field, &event);
    };
    for (const auto &[field, type, flash] :
         {std::tuple(C::txtAuthenticationCode, QEvent::FocusIn, 0),
          std::tuple(C::txtAuthenticationCode, QEvent::FocusOut, normal),
          std::tuple(C::txtStored, QEvent::FocusIn, normal)}) {
        focus(c.view.widget(field), type);
        EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), flash);
    }
}

// A button's click, Exit from a menu and the focus moves (leaving a list for another window is no
// edit, Tab out of it saves) are the whole-program tests' in tests/e2e.
TEST(QtConsoleView, TheOperatorsDoingsReachTheConsoleAndOrdersDoNot)
{
    ConsoleWindow c;
    c.view.setEntries(C::cmbModem, {"COM 1", "COM 2", "COM 3"});
    c.view.select(C::cmbModem, 1);
    c.view.setText(C::txtStored, "caf\xe9");
    EXPECT_EQ(c.events.said, Said{});
    EXPECT_EQ(c.at<QComboBox>(C::cmbModem)->currentText(), "COM 2");
    EXPECT_EQ(c.at<QLineEdit>(C::txtStored)->text(), QString::fromUtf8("caf\xc3\xa9"));

    c.at<QComboBox>(C::cmbModem)->setCurrentIndex(2);
    // Typed text reaches the console in the single-byte code page.
    key(c.at<QLineEdit>(C::txtStored), Qt::Key_unknown, QString::fromUtf8("\xe2\x82\xac"));
    c.view.window()->findChild<QAction *>("mnuChangeOutboxPath")->trigger();
    for (auto reason :
         {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Context,
          QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Unknown})
        emit c.view.trayIcon().activated(reason);
    // The close box is the console's to decide: the window stays.
    c.view.window()->close();
    EXPECT_TRUE(c.view.window()->isVisible());
    EXPECT_EQ(c.events.said, (Said{"list cmbModem", "text txtStored", "menu 3", "tray 514",
                                   "tray 515", "tray 517", "tray 520", "tray 512", "close box"}));
    EXPECT_EQ(c.view.text(C::txtStored),
              std::string(ansiCodePageName()) == "windows-1252" ? "caf\xe9\x80" : "caf\xe9?");
}

// Enter in the number sending the message is tests/e2e's TAP test.
TEST(QtDialogViews, EscapeTheCloseBoxAndADrivePickedGoToTheRulesADroppedViewTakesItsWindow)
{
    RecordedDialog<TestSMSControl> events(TestSMSFace);
    auto view = std::make_unique<QtTestSMSView>(events);
    QPointer<QWidget> window = view->window();
    view->show();
    EXPECT_EQ(window->focusWidget(), view->widget(TestSMSControl::txtSMSNumber));
    key(window, Qt::Key_Escape);
    window->close();
    view->widgetAs<QPushButton>(TestSMSControl::cmdCancel)->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(events.said, (Said{"escape", "close box", "click cmdCancel"}));
    EXPECT_EQ(tabChain(view->widget(TestSMSControl::txtSMSNumber)),
              "txtSMSNumber cmdSend cmdCancel txtSMSMessage");
    view.reset();
    EXPECT_TRUE(window && !window->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(window);

    // The folder list opens only folders; a drive picked is told, a drive selected is not.
    const fs::path dir = fs::temp_directory_path() / ("qm-qtviews-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    RecordedChangePath pathEvents;
    QtChangePathView path(pathEvents);
    EXPECT_TRUE(path.openFolder(dir.string() + "/"));
    EXPECT_FALSE(path.openFolder((dir / "missing").string()) || path.openFolder(""));
    EXPECT_EQ(path.currentFolder(), dir.string());
    path.selectDriveOf("/");
    EXPECT_EQ(path.selectedDrive(), "/");
    auto *drives = path.widgetAs<QComboBox>(ChangePathControl::drvPath);
    drives->setCurrentIndex(drives->count() > 1 ? (drives->currentIndex() + 1) % drives->count()
                                                : -1);
    EXPECT_EQ(pathEvents.said, Said{"drive"});
    fs::remove_all(dir);
}

} // namespace
} // namespace qm::test
