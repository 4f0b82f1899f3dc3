// Builds the real platform, creates the console and runs the event loop.

#include "console/qtadapters.h"
#include "console/smsconsole.h"
#include "modem/qtserialport.h"
#include "platform/qtclock.h"
#include "platform/qteventpump.h"
#include "platform/qttimer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSystemTrayIcon>

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
    // Closing the window is not the end of the program: it lives in the tray.
    QApplication::setQuitOnLastWindowClosed(!QSystemTrayIcon::isSystemTrayAvailable());

    const std::string folder = programFolder();
    // The console gives its timers their designed intervals.
    qm::QtTimer checkPendingSMS, sec1, sec2, sec4, sec8, sec10, startRetry;
    qm::QtEventPump pump;
    qm::QtClock clock;
    qm::MessageBoxNotifier notifier;
    qm::OpenFileDialog fileDialog(folder);

    // The console's gateway state is created with the console; the port
    // finds COM n under AppPath, which the console owns.
    qm::SMSConsole *console = nullptr;
    qm::QtSerialPort port(
        [&console] { return console ? console->gateway().state.AppPath : std::string(); });

    qm::SMSConsole sms(qm::ConsolePlatform{
        port, pump, clock, notifier, fileDialog,
        qm::ConsoleTimers{checkPendingSMS, sec1, sec2, sec4, sec8, sec10}, folder, &startRetry});
    console = &sms;
    sms.startUp();
    sms.form().show();
    return QApplication::exec();
}
