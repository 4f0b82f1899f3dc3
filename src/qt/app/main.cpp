// Builds the real platform, the console's window, the gateway over them and
// the console's rules, wires the system's close requests to them and runs the
// event loop.

#include "console/smsconsole.h"
#include "console/viewfields.h"
#include "qt/console/qtconsoleview.h"
#include "qt/platform/qtadapters.h"
#include "qt/platform/qtclock.h"
#include "qt/platform/qteventpump.h"
#include "qt/platform/qtserialport.h"
#include "qt/platform/qttimer.h"
#include "qt/platform/systemclose.h"

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
    // Closing the window is not the end of the program: the console decides
    // what its close box does, and the program ends only through it.
    QApplication::setQuitOnLastWindowClosed(false);

    const std::string folder = programFolder();
    // The console gives its timers their designed intervals.
    qm::QtTimer checkPendingSMS, sec1, sec2, sec4, sec8, sec10, startRetry, trayWatch;
    qm::QtEventPump pump;
    qm::QtClock clock;
    qm::MessageBoxNotifier notifier;
    qm::OpenFileDialog fileDialog(folder);
    // COM n is looked up in the program's own folder: the outbox path dialog
    // moves AppPath (outbox and logs), never the modem.
    qm::QtSerialPort port(folder);

    // The gateway reads the console's fields and writes its status line; the
    // console drives the gateway. Neither owns the other.
    qm::QtConsoleView view;
    qm::ViewFields fields(view);
    qm::Gateway gw{qm::GatewayState{},
                   port,
                   pump,
                   clock,
                   notifier,
                   fields,
                   fields,
                   qm::ConsoleTimers{checkPendingSMS, sec1, sec2, sec4, sec8, sec10}};
    QApplication::setApplicationName(QString::fromStdString(gw.programName));
    // kill -TERM, a hang-up of the session, Ctrl+C: noticed in the event loop,
    // and by the console between the pauses of a wait that serves no events.
    qm::SystemCloseWatcher systemClose;
    qm::SMSConsole console(view, gw,
                           qm::ConsoleOptions{fileDialog, folder, startRetry, trayWatch,
                                              /*terminate: at once*/ {},
                                              [&systemClose] { return systemClose.pending(); }});
    QObject::connect(&systemClose, &qm::SystemCloseWatcher::requested, view.window(),
                     [&console] { console.systemClose(); });
    // The session manager ending the session.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, view.window(),
                     [&console](QSessionManager &) { console.systemClose(); });
    console.startUp();
    return QApplication::exec();
}
