#include "qt/console/smsconsole.h"

#include "commands/autosending.h"
#include "commands/outboxpath.h"
#include "commands/testmessage.h"
#include "config/settings.h"
#include "qt/widgets/steadycursor.h"
#include "qt/console/trayreaction.h"
#include "qt/dialogs/frmabout.h"
#include "qt/dialogs/frmchangepath.h"
#include "qt/dialogs/frmtestsms.h"
#include "modem/applymodemsettings.h"
#include "modem/portevents.h"
#include "pure/linesettings.h"
#include "pure/ucpframe.h"
#include "ui_frmsmsconsole.h"
#include "qt/widgets/ansi.h"
#include "qt/widgets/appicon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSystemTrayIcon>
#include <QTimer>

namespace qm
{
namespace
{

const QStringList Protocols{"UCP", "TAP"};
// The speeds and operation types the core accepts, as the lists offer them.
QStringList toList(const auto &entries)
{
    QStringList list;
    for (const auto &e : entries) {
        if constexpr (std::is_integral_v<std::decay_t<decltype(e)>>)
            list << QString::number(e);
        else
            list << QString::fromLatin1(e.data(), qsizetype(e.size()));
    }
    return list;
}
const QStringList OperationTypes = toList(UCPOperationTypes);
const QStringList BaudRates = toList(LineSpeeds);
const QStringList SMSTypes{"O,8,1", "E,8,1", "N,8,1", "O,7,1", "E,7,1", "N,7,1"};
const QStringList Modems{"COM 1", "COM 2", "COM 3", "COM 4"};

// Selects `text` when it is one of the list's entries; otherwise the list
// keeps its state and no change is handled.
void selectEntry(QComboBox *list, const std::string &text)
{
    const int index = list->findText(fromAnsi(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        list->setCurrentIndex(index);
}

} // namespace

SMSConsole::SMSConsole(frmSMSConsole &form, Gateway &gw, ConsoleOptions options, QObject *parent)
    : QObject(parent), form_(form), gw_(gw), options_(std::move(options))
{
    // The configuration format cannot hold a double quote: refuse it where
    // text is typed or pasted.
    auto *noQuote =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\"]*")), this);
    for (QLineEdit *field :
         {form_.ui->txtSMSCenterNumber, form_.ui->txtAuthenticationCode,
          form_.ui->txtLegitimizationCode, form_.ui->txtStored, form_.ui->txtDelivered}) {
        field->setValidator(noQuote);
        KeepCursorSteadyWhenLong(field);
    }
    // The six timers as designed: all off. sec10 waits 60 s despite its name.
    const std::pair<Timer *, int> designed[] = {{&gw_.timers.CheckPendingSMS, 1000},
                                                {&gw_.timers.sec1, 1000},
                                                {&gw_.timers.sec2, 2000},
                                                {&gw_.timers.sec4, 4000},
                                                {&gw_.timers.sec8, 8000},
                                                {&gw_.timers.sec10, 60000}};
    for (const auto &[timer, interval] : designed) {
        timer->setEnabled(false);
        timer->setInterval(interval);
    }
    ConnectConsoleTimers(gw_);
    if (Timer *retry = options_.startRetry) {
        retry->setEnabled(false);
        retry->setInterval(1000);
        retry->setTickHandler([this] { onStartRetry(); });
    }
    gw_.port.setEventHandler([this](PortEvent e) { OnPortEvent(gw_, e); });
    connectHandlers();
    connectWindowLife();
}

SMSConsole::~SMSConsole()
{
    // The dialogs are windows of their own (no parent): they go with the
    // console.
    delete about_;
    delete testSMS_;
    delete changePath_;
}

void SMSConsole::connectHandlers()
{
    auto *ui = form_.ui;
    for (QComboBox *list :
         {ui->cmbModem, ui->cmbBaudrate, ui->cmbSMSType, ui->cmbOperationType, ui->cmbProtocol})
        connect(list, &QComboBox::currentIndexChanged, this, [this, list] { listAction(list); });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *old, QWidget *now) { onFocusChanged(old, now); });
    connect(ui->cmdStartSendSMS, &QPushButton::clicked, this, [this] { onStartSendSMS(); });
    connect(ui->txtSMSCenterNumber, &QLineEdit::textChanged, this,
            [this] { onSMSCenterNumberChanged(); });
    for (QLineEdit *field : {ui->txtAuthenticationCode, ui->txtStored, ui->txtDelivered})
        connect(field, &QLineEdit::textChanged, this, [this] { saveIfLoaded(); });
    // txtLegitimizationCode has no handler: its text is saved with the next
    // save caused by another field.
}

void SMSConsole::connectWindowLife()
{
    frmSMSConsole &w = form_;
    w.installEventFilter(this);
    connect(w.mnuPopupOpen(), &QAction::triggered, this, [this] { OpenConsole(); });
    connect(w.mnuPopupAbout(), &QAction::triggered, this, [this] { ShowAbout(); });
    connect(w.mnuPopupExit(), &QAction::triggered, this, [this] { ExitProgram(); });
    connect(w.ui->cmdAbout, &QPushButton::clicked, this, [this] { ShowAbout(); });
    connect(w.ui->cmdSendTestSMS, &QPushButton::clicked, this, [this] { ShowTestSMS(); });

    // Not on the designed face: the outbox path dialog, by a shortcut and
    // from the window's context menu, which also carries the tray menu's
    // commands where there is no tray.
    changePathAction_ = new QAction(QStringLiteral("Change Outbox &Path..."), &w);
    changePathAction_->setObjectName(QStringLiteral("actChangeOutboxPath"));
    changePathAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    changePathAction_->setShortcutContext(Qt::WindowShortcut);
    w.addAction(changePathAction_);
    connect(changePathAction_, &QAction::triggered, this, [this] { ChangeOutboxPath(); });

    consoleMenu_ = new QMenu(&w);
    consoleMenu_->setObjectName(QStringLiteral("mnuConsole"));
    consoleMenu_->addAction(w.mnuPopupOpen());
    consoleMenu_->addAction(w.mnuPopupAbout());
    consoleMenu_->addSeparator();
    consoleMenu_->addAction(changePathAction_);
    consoleMenu_->addSeparator();
    consoleMenu_->addAction(w.mnuPopupExit());
    w.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&w, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { consoleMenu_->popup(form_.mapToGlobal(at)); });
}

void SMSConsole::OnTrayNotification(int code)
{
    switch (ReactionTo(code)) {
    case TrayReaction::Restore:
        RestoreConsole();
        break;
    case TrayReaction::PopupMenu:
        // The tray shows its context menu, mnuPopup, itself (where the
        // desktop draws the icon, the desktop draws the menu).
        if (!tray_ || tray_->contextMenu() != form_.popupMenu())
            form_.popupMenu()->popup(QCursor::pos());
        break;
    case TrayReaction::Nothing:
        break;
    }
}

void SMSConsole::RestoreConsole()
{
    form_.setWindowState(form_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    form_.raise();
    form_.activateWindow();
    form_.show();
}

void SMSConsole::OpenConsole()
{
    form_.show();
    form_.setWindowState(form_.windowState() & ~Qt::WindowMinimized);
    form_.raise();
    form_.activateWindow();
}

void SMSConsole::hideConsole()
{
    // Hidden in the tray; where there is none, hiding would leave no way
    // back, so the console is minimised instead.
    if (hasTray_)
        form_.hide();
    else
        form_.showMinimized();
}

void SMSConsole::ShowAbout()
{
    hideConsole();
    if (!about_)
        about_ = new frmAbout;
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void SMSConsole::ShowTestSMS()
{
    if (!testSMS_) {
        testSMS_ = new frmTestSMS(
            [this](const std::string &number) { return SendTestMessage(gw_, number); });
        // A dialog closed by its close box is on its way out: the next
        // opening makes a fresh one even before it is gone.
        frmTestSMS *dialog = testSMS_;
        connect(dialog, &frmTestSMS::discarded, this, [this, dialog] {
            if (testSMS_ == dialog)
                testSMS_ = nullptr;
        });
    }
    testSMS_->show();
    testSMS_->raise();
    testSMS_->activateWindow();
}

void SMSConsole::ChangeOutboxPath()
{
    if (!changePath_)
        changePath_ = new frmChangePath(
            PathTarget{[this] { return gw_.state.AppPath; },
                       [this](const std::string &folder) { UpdateAppPath(gw_, folder); }});
    changePath_->show();
    changePath_->raise();
    changePath_->activateWindow();
    saveIfLoaded();
}

void SMSConsole::ExitProgram()
{
    gw_.state.ExitRequested = true;
    form_.close();
    endProcess();
}

void SMSConsole::SystemClose()
{
    systemClosing_ = true;
    form_.close();
    endProcess();
}

void SMSConsole::endProcess()
{
    if (tray_)
        tray_->hide();
    EndProcess(gw_, options_.terminate);
}

bool SMSConsole::onClose(bool fromCloseBox)
{
    if (fromCloseBox && !gw_.state.ExitRequested) {
        hideConsole();
        return false;
    }
    // Unload: the tray icon goes.
    if (tray_)
        tray_->hide();
    return true;
}

bool SMSConsole::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &form_ && event->type() == QEvent::Close) {
        // Any close the program did not ask for itself is the window's own
        // close box (or its system menu).
        if (!onClose(!systemClosing_)) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void SMSConsole::onFocusChanged(QWidget *old, QWidget *now)
{
    // A list is left only when the keyboard focus moves from it straight to
    // another control of the console. Another window taking the activation
    // (About, a message box, the list's own drop-down) or the console hiding
    // takes the focus out of the console, and its coming back is no move.
    if (auto *list = qobject_cast<QComboBox *>(old); list && now && now->window() == &form_)
        listAction(list);
}

void SMSConsole::listAction(QComboBox *list)
{
    auto *ui = form_.ui;
    if (list == ui->cmbModem || list == ui->cmbBaudrate || list == ui->cmbSMSType)
        ApplyModemSettings(gw_);
    else if (list == ui->cmbOperationType)
        saveIfLoaded();
    else if (list == ui->cmbProtocol)
        onProtocolSwitch();
}

void SMSConsole::onStartSendSMS()
{
    QPushButton *button = form_.ui->cmdStartSendSMS;
    const auto setCaption = [button](std::string_view caption) {
        button->setText(fromAnsi(caption));
    };
    const SendCycleResult result = PressStartSendSMS(gw_, toAnsi(button->text()), setCaption);
    if (result == SendCycleResult::ExchangeBusy)
        retryStartLater();
}

void SMSConsole::retryStartLater()
{
    // A test message is under way further up the stack, and the loop cannot
    // start inside it: try again each second until it has ended.
    if (options_.startRetry)
        options_.startRetry->setEnabled(true);
}

void SMSConsole::onStartRetry()
{
    options_.startRetry->setEnabled(false);
    // A Stop in between cancels: the flag and the caption are checked again.
    if (!gw_.state.AutoSending || form_.ui->cmdStartSendSMS->text() != fromAnsi(StopSendingCaption))
        return;
    if (RunAutomaticSending(gw_) == SendCycleResult::ExchangeBusy)
        retryStartLater();
}

void SMSConsole::saveIfLoaded()
{
    if (gw_.state.SettingsLoaded)
        SaveSettings(gw_);
}

void SMSConsole::onProtocolSwitch()
{
    if (gw_.fields.protocol() == "UCP")
        ShowUCPFields();
    else
        ShowTAPFields();
    saveIfLoaded();
}

void SMSConsole::onSMSCenterNumberChanged()
{
    // Blanks count as text.
    const bool enable = !form_.ui->txtSMSCenterNumber->text().isEmpty();
    form_.ui->cmdStartSendSMS->setEnabled(enable);
    form_.ui->cmdSendTestSMS->setEnabled(enable);
    saveIfLoaded();
}

void SMSConsole::ShowUCPFields()
{
    auto *ui = form_.ui;
    ui->cmbOperationType->setVisible(true);
    ui->lcmbOperationType->setVisible(true);
    ui->ltxtAuthenticationCode->setText(QStringLiteral("Authentication Code"));
    ui->txtAuthenticationCode->setVisible(true);
    ui->txtLegitimizationCode->setVisible(true);
    ui->ltxtLegitimizationCode->setText(QStringLiteral("Legitimization Code"));
    ui->txtDelivered->setVisible(false);
    ui->txtStored->setVisible(false);
    ui->ltxtStored->setVisible(false);
}

void SMSConsole::ShowTAPFields()
{
    auto *ui = form_.ui;
    ui->cmbOperationType->setVisible(false);
    ui->lcmbOperationType->setVisible(false);
    ui->ltxtAuthenticationCode->setText(QStringLiteral("Password"));
    ui->txtAuthenticationCode->setVisible(true);
    ui->txtLegitimizationCode->setVisible(false);
    ui->ltxtLegitimizationCode->setText(QStringLiteral("Delivered Text"));
    ui->txtDelivered->setVisible(true);
    ui->txtStored->setVisible(true);
    ui->ltxtStored->setVisible(true);
}

void SMSConsole::startUp()
{
    GatewayState &st = gw_.state;
    form_.hide();
    st.Connected = false;
    st.TestMode = false;
    gw_.timers.CheckPendingSMS.setEnabled(false);
    st.ExitRequested = false;
    gw_.port.setReadLength(0);

    tray_ = std::make_unique<QSystemTrayIcon>(applicationIcon());
    tray_->setToolTip(QStringLiteral("SMS Console Configuration"));
    tray_->setContextMenu(form_.popupMenu());
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                OnTrayNotification(TrayNotificationCode(reason));
            });

    st.SettingsLoaded = false;
    // From here on each step stands on its own: a value that does not fit
    // leaves that one thing as it was.
    loaded_ = LoadSettings(gw_, options_.programFolder, options_.fileDialog);
    st.AppPath = options_.programFolder;
    hasTray_ = trayAvailable();
    if (hasTray_)
        tray_->show();
    else
        watchForTray();
    fillLists();
    gw_.port.setReadLength(0);
    putLoadedValues();
    st.SettingsLoaded = true;
}

bool SMSConsole::trayAvailable() const
{
    return options_.trayAvailable ? options_.trayAvailable()
                                  : QSystemTrayIcon::isSystemTrayAvailable();
}

void SMSConsole::watchForTray()
{
    // The desktop's panel often starts after the program: look again every
    // two seconds until a tray is there, then put the icon in it; from then
    // on the console hides into it.
    auto *watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, [this, watch] {
        if (!trayAvailable())
            return;
        hasTray_ = true;
        tray_->show();
        watch->deleteLater();
    });
    watch->start(2000);
}

void SMSConsole::fillLists()
{
    auto *ui = form_.ui;
    auto fill = [](QComboBox *list, const QStringList &entries) {
        // Filling a list selects nothing and is not a change.
        const QSignalBlocker quiet(list);
        list->addItems(entries);
        list->setCurrentIndex(-1);
    };
    fill(ui->cmbProtocol, Protocols);
    fill(ui->cmbOperationType, OperationTypes);
    fill(ui->cmbBaudrate, BaudRates);
    fill(ui->cmbSMSType, SMSTypes);
    ui->cmdStartSendSMS->setEnabled(false);
    ui->cmdSendTestSMS->setEnabled(false);
    fill(ui->cmbModem, Modems);
}

void SMSConsole::putLoadedValues()
{
    auto *ui = form_.ui;
    const ConsoleSettings &s = loaded_;
    // Each selection runs its change handler, so the serial settings are
    // applied as each modem list is filled.
    if (s.Port >= 1 && s.Port <= ui->cmbModem->count())
        ui->cmbModem->setCurrentIndex(s.Port - 1);
    selectEntry(ui->cmbSMSType, s.Setting);
    selectEntry(ui->cmbBaudrate, s.BaudRate);
    ui->txtSMSCenterNumber->setText(fromAnsi(s.SMSCenterNumber));
    selectEntry(ui->cmbProtocol, s.Protocol);
    selectEntry(ui->cmbOperationType, s.OpType);
    if (s.PollingInterval >= 0)
        gw_.timers.CheckPendingSMS.setInterval(s.PollingInterval);
    ui->txtStored->setText(fromAnsi(s.TAPStoredText));
    ui->txtDelivered->setText(fromAnsi(s.TAPDeliveredText));
    ui->txtAuthenticationCode->setText(fromAnsi(s.AuthenticationCode));
    ui->txtLegitimizationCode->setText(fromAnsi(s.LegitimizationCode));
}

} // namespace qm
