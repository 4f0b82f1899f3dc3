// Builds the real platform, the gateway over it and the console that drives
// it, wires them together and runs the event loop.

#include "qt/console/formfields.h"
#include "qt/console/smsconsole.h"
#include "qt/platform/systemclose.h"
#include "qt/platform/qtadapters.h"
#include "qt/platform/qtclock.h"
#include "qt/platform/qteventpump.h"
#include "qt/platform/qtserialport.h"
#include "qt/platform/qttimer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSessionManager>

namespace
{

// The folder of the real executable (symbolic links resolved), with a
// trailing separator.
std::string programFolder()
{
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    QString folder = QDir::toNativeSeparators(QFileInfo(exe).absolutePath());
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    const QByteArray bytes = folder.toLocal8Bit();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmast"));
    // Closing the window is not the end of the program: it lives in the tray
    // (or minimised where there is none). It ends only by Exit or a close the
    // system asks for, and then at once (SMSConsole::ExitProgram).
    QApplication::setQuitOnLastWindowClosed(false);

    const std::string folder = programFolder();
    // The console gives its timers their designed intervals.
    qm::QtTimer checkPendingSMS, sec1, sec2, sec4, sec8, sec10, startRetry;
    qm::QtEventPump pump;
    qm::QtClock clock;
    qm::MessageBoxNotifier notifier;
    qm::OpenFileDialog fileDialog(folder);

    // COM n is looked up in the program's own folder: the outbox path dialog
    // moves AppPath (outbox and logs), never the modem.
    qm::QtSerialPort port(folder);

    // The gateway reads the console's fields and writes its status line; the
    // console drives the gateway. Neither owns the other.
    qm::frmSMSConsole form;
    qm::FormFields fields(form);
    qm::Gateway gw{qm::GatewayState{},
                   port,
                   pump,
                   clock,
                   notifier,
                   fields,
                   fields,
                   qm::ConsoleTimers{checkPendingSMS, sec1, sec2, sec4, sec8, sec10}};
    qm::SMSConsole sms(form, gw,
                       qm::ConsoleOptions{fileDialog, folder, &startRetry,
                                          /*terminate: at once*/ {}, /*trayAvailable: ask Qt*/ {}});
    sms.startUp();
    form.show();

    // kill -TERM, a hang-up of the session, Ctrl+C; and the session manager
    // ending the session: the console lets itself close.
    qm::SystemCloseWatcher systemClose;
    QObject::connect(&systemClose, &qm::SystemCloseWatcher::requested, &sms,
                     [&sms] { sms.SystemClose(); });
    // The dial's carrier wait serves no events: it asks here after each pause.
    gw.serveEndRequest = [&sms, &systemClose] {
        if (systemClose.pending())
            sms.SystemClose();
    };
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &sms,
                     [&sms](QSessionManager &) { sms.SystemClose(); });
    return QApplication::exec();
}
