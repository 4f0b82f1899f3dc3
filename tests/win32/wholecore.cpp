// The core over the real Win32 seams, for the whole-core test: a Gateway
// with the Windows edge's serial port, event pump, timers, clock, recipient
// filter and session-end watcher, the console's fields fixed, and a
// notifier that writes its boxes to the standard output instead of showing
// them. It presses Start as an operator would and, once the outbox is
// empty, Stop; then it ends.
//
//   qm_wholecore FOLDER PROTOCOL OPTYPE PASSWORD [--keep-going]
//
// FOLDER is AppPath (ending in \) with outbox\ in it; COM 1 at 9600,N,8,1.
// --keep-going: no Stop; the program runs until the session ends.

#include "commands/autosending.h"
#include "commands/endprogram.h"
#include "core/gateway.h"
#include "modem/applymodemsettings.h"
#include "modem/portevents.h"
#include "win32/comrecipientfilter.h"
#include "win32/messagewindow.h"
#include "win32/sessionend.h"
#include "win32/win32clock.h"
#include "win32/win32eventpump.h"
#include "win32/win32serialport.h"
#include "win32/win32timer.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

struct Fields final : qm::ConsoleFields {
    std::string protocolText, opType, password;
    std::string smsCenterNumber() const override { return "0612345678"; }
    std::string protocol() const override { return protocolText; }
    std::string operationType() const override { return opType; }
    std::string authenticationCode() const override { return password; }
    std::string legitimizationCode() const override { return ""; }
    std::string storedText() const override { return ""; }
    std::string deliveredText() const override { return ""; }
    int modemIndex() const override { return 0; } // COM 1
    std::string baudRate() const override { return "9600"; }
    std::string smsType() const override { return "N,8,1"; }
};

struct Status final : qm::StatusLine {
    void setText(const std::string &t) override
    {
        shown = t;
        std::printf("status: %s\n", t.c_str());
        std::fflush(stdout);
    }
    std::string text() const override { return shown; }
    std::string shown = "Status";
};

// A box stops the unattended gateway until someone answers; here it is
// answered at once, and written down.
struct LoggingNotifier final : qm::Notifier {
    void message(const std::string &title, const std::string &text, qm::NoticeIcon) override
    {
        std::printf("box: %s: %s\n", title.c_str(), text.c_str());
        std::fflush(stdout);
    }
    bool askYesNo(const std::string &title, const std::string &text) override
    {
        std::printf("question: %s: %s\n", title.c_str(), text.c_str());
        std::fflush(stdout);
        return true;
    }
};

bool outboxEmpty(const std::string &folder)
{
    WIN32_FIND_DATAA found;
    const HANDLE h = FindFirstFileA((folder + "outbox\\*.dat").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return true;
    FindClose(h);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: qm_wholecore FOLDER PROTOCOL OPTYPE PASSWORD [--keep-going]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool keepGoing = argc > 5 && std::strcmp(argv[5], "--keep-going") == 0;

    qm::ComApartment com;
    qm::MessageWindow ui;
    qm::Win32EventPump pump;
    qm::Win32Clock clock;
    LoggingNotifier notifier;
    Status status;
    Fields fields;
    fields.protocolText = argv[2];
    fields.opType = argv[3];
    fields.password = argv[4];
    qm::Win32Timer checkPendingSMS(ui, 1000), sec1(ui, 1000), sec2(ui, 2000), sec4(ui, 4000),
        sec8(ui, 8000), sec10(ui, 60000);
    qm::Win32SerialPort port(ui, folder);

    qm::Gateway gw{qm::GatewayState{},
                   port,
                   pump,
                   clock,
                   notifier,
                   status,
                   fields,
                   qm::ConsoleTimers{checkPendingSMS, sec1, sec2, sec4, sec8, sec10}};
    gw.state.AppPath = folder;
    gw.state.ConfigFilePath = folder + "smsconf.conf";
    gw.recipientFilter = qm::MakeComRecipientFilterFactory();
    port.setEventHandler([&gw](qm::PortEvent e) { qm::OnPortEvent(gw, e); });
    qm::ConnectConsoleTimers(gw);
    qm::ApplyModemSettings(gw);

    const auto end = [&gw] {
        std::printf("ending: the session ends\n");
        std::fflush(stdout);
        qm::EndProcess(gw, {});
    };
    qm::SessionEndWatcher sessionEnd(ui, end);
    gw.serveEndRequest = [&sessionEnd, &end] {
        if (sessionEnd.pending())
            end();
    };

    std::string caption(qm::StartSendingCaption);
    const qm::SetCaption setCaption = [&caption](std::string_view c) { caption = c; };
    // The operator's Stop, once nothing is left to send.
    qm::Win32Timer watch(ui, 200);
    watch.setTickHandler([&] {
        if (!keepGoing && caption == qm::StopSendingCaption && outboxEmpty(folder))
            qm::PressStartSendSMS(gw, caption, setCaption);
    });
    watch.setEnabled(true);
    qm::PressStartSendSMS(gw, caption, setCaption);
    std::printf("stopped\n");
    return 0;
}
