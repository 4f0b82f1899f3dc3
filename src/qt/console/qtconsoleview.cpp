#include "qt/console/qtconsoleview.h"

#include "console/trayreaction.h"

#include "qt/dialogs/qtaboutview.h"
#include "qt/dialogs/qtchangepathview.h"
#include "qt/dialogs/qttestsmsview.h"
#include "qt/widgets/ansi.h"
#include "qt/widgets/appicon.h"
#include "qt/widgets/steadycursor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <functional>

namespace qm
{
namespace
{

// The close box is the console's to decide: the window never closes itself.
class ConsoleWindow final : public QWidget
{
public:
    std::function<void()> onCloseBox;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (onCloseBox)
            onCloseBox();
    }
};

} // namespace

int TrayNotificationCode(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return TrayCode::LeftUp;
    case QSystemTrayIcon::DoubleClick:
        return TrayCode::LeftDoubleClick;
    case QSystemTrayIcon::Context:
        return TrayCode::RightUp;
    case QSystemTrayIcon::MiddleClick:
        return TrayCode::MiddleUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return TrayCode::MouseMove;
}

QtConsoleView::QtConsoleView()
    : QtFormView(new ConsoleWindow, ConsoleFace), tray_(applicationIcon())
{
    const auto chosen = [this](MenuCommand c) { tell([c](ConsoleEvents &e) { e.menuChosen(c); }); };
    popup_ = BuildMenu(*window(), PopupMenuFace, context(), chosen);
    consoleMenu_ = BuildMenu(*window(), ConsoleMenuFace, context(), chosen);
    tray_.setToolTip(fromAnsi(TrayTip));
    tray_.setContextMenu(popup_);
    connectControls();
}

QtConsoleView::~QtConsoleView()
{
    static_cast<ConsoleWindow *>(window())->onCloseBox = {};
}

void QtConsoleView::tell(auto event)
{
    if (events_)
        event(*events_);
}

void QtConsoleView::setEvents(ConsoleEvents &events)
{
    events_ = &events;
}

void QtConsoleView::connectControls()
{
    QWidget *w = window();
    QObject *ctx = context();
    for (const ControlFace<ConsoleControl> &row : ConsoleFace.controls) {
        const ConsoleControl id = row.id;
        if (auto *list = widgetAs<QComboBox>(id)) {
            QObject::connect(list, &QComboBox::currentIndexChanged, ctx, [this, id] {
                if (!applying())
                    tell([id](ConsoleEvents &e) { e.listClicked(id); });
            });
        } else if (auto *field = widgetAs<QLineEdit>(id)) {
            // Only the operator's edits: setText signals no edit.
            QObject::connect(field, &QLineEdit::textEdited, ctx,
                             [this, id] { tell([id](ConsoleEvents &e) { e.textChanged(id); }); });
            KeepCursorSteadyWhenLong(field);
        } else if (auto *button = widgetAs<QPushButton>(id)) {
            QObject::connect(button, &QPushButton::clicked, ctx,
                             [this, id] { tell([id](ConsoleEvents &e) { e.clicked(id); }); });
        }
    }
    QObject::connect(qApp, &QApplication::focusChanged, ctx, [this](QWidget *old, QWidget *now) {
        const std::optional<ConsoleControl> from = controlOf(old);
        const std::optional<ConsoleControl> to =
            now && now->window() == window() ? controlOf(now) : std::nullopt;
        if (from || to)
            tell([&](ConsoleEvents &e) { e.focusMoved(from, to); });
    });
    static_cast<ConsoleWindow *>(w)->onCloseBox = [this] {
        tell([](ConsoleEvents &e) { e.closeBox(); });
    };
    QObject::connect(&tray_, &QSystemTrayIcon::activated, ctx,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                         const int code = TrayNotificationCode(reason);
                         tell([code](ConsoleEvents &e) { e.trayNotification(code); });
                     });
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(w, &QWidget::customContextMenuRequested, ctx,
                     [this](const QPoint &at) { consoleMenu_->popup(window()->mapToGlobal(at)); });
}

void QtConsoleView::minimise()
{
    window()->showMinimized();
}

void QtConsoleView::restore()
{
    QWidget *w = window();
    w->setWindowState(w->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    w->raise();
    w->activateWindow();
    w->show();
}

void QtConsoleView::focusWindow()
{
    QWidget *w = window();
    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->raise();
    w->activateWindow();
}

bool QtConsoleView::trayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtConsoleView::showTrayIcon()
{
    tray_.show();
}

void QtConsoleView::hideTrayIcon()
{
    tray_.hide();
}

void QtConsoleView::popUpTrayMenu()
{
    // Where the desktop draws the icon, it pops up the icon's menu itself.
    if (!tray_.isVisible())
        popup_->popup(QCursor::pos());
}

std::unique_ptr<TestSMSView> QtConsoleView::createTestSMS(TestSMSEvents &events)
{
    return std::make_unique<QtTestSMSView>(events);
}

std::unique_ptr<ChangePathView> QtConsoleView::createChangePath(ChangePathEvents &events)
{
    return std::make_unique<QtChangePathView>(events);
}

std::unique_ptr<AboutView> QtConsoleView::createAbout(AboutEvents &events)
{
    return std::make_unique<QtAboutView>(events);
}

} // namespace qm
