// idle-probe: dials once through the real port adapter and Qt seams, exactly
// as the gateway does, and reports the CPU time the process used while it
// waited. Run against smsc-sim with a modem that never answers, the dial
// waits the full 60 s answer time-out and then the 30 s carrier wait.
//
//   idle-probe DIR [NUMBER]     (the port is DIR/COM1)

#include "core/gateway.h"
#include "modem/dial.h"
#include "modem/portevents.h"
#include "modem/qtserialport.h"
#include "platform/qtclock.h"
#include "platform/qteventpump.h"
#include "platform/qttimer.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

namespace
{

struct Sample {
    std::chrono::steady_clock::time_point wall;
    double cpu; // user + system seconds
};

Sample sample()
{
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    const double cpu = double(ru.ru_utime.tv_sec) + double(ru.ru_utime.tv_usec) / 1e6 +
                       double(ru.ru_stime.tv_sec) + double(ru.ru_stime.tv_usec) / 1e6;
    return {std::chrono::steady_clock::now(), cpu};
}

void report(const char *phase, const Sample &from, const Sample &to)
{
    const double wall = std::chrono::duration<double>(to.wall - from.wall).count();
    const double cpu = to.cpu - from.cpu;
    std::printf("%-22s wall %7.2f s  cpu %6.3f s  = %6.3f %% of one core\n", phase, wall, cpu,
                wall > 0 ? 100.0 * cpu / wall : 0.0);
}

struct PrintNotifier final : qm::Notifier {
    void message(const std::string &, const std::string &text, qm::NoticeIcon) override
    {
        std::printf("box: %s\n", text.c_str());
    }
    bool askYesNo(const std::string &, const std::string &) override { return false; }
};
struct PlainStatus final : qm::StatusLine {
    void setText(const std::string &t) override { text_ = t; }
    std::string text() const override { return text_; }
    std::string text_;
};
struct NoFields final : qm::ConsoleFields {
    std::string smsCenterNumber() const override { return {}; }
    std::string protocol() const override { return {}; }
    std::string operationType() const override { return {}; }
    std::string authenticationCode() const override { return {}; }
    std::string legitimizationCode() const override { return {}; }
    std::string storedText() const override { return {}; }
    std::string deliveredText() const override { return {}; }
    int modemIndex() const override { return 0; }
    std::string baudRate() const override { return "9600"; }
    std::string smsType() const override { return "N,8,1"; }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: idle-probe DIR [NUMBER]\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    const std::string appPath = std::string(argv[1]) + "/";
    const std::string number = argc > 2 ? argv[2] : "5550100";

    qm::QtSerialPort port([&appPath] { return appPath; });
    qm::QtEventPump pump;
    qm::QtClock clock;
    PrintNotifier notifier;
    PlainStatus status;
    NoFields fields;
    qm::QtTimer checkPending(1000), sec1(1000), sec2(2000), sec4(4000), sec8(8000), sec10(60000);
    qm::Gateway gw{
        qm::GatewayState{}, port,   pump,   clock,
        notifier,           status, fields, {checkPending, sec1, sec2, sec4, sec8, sec10}};
    gw.state.AppPath = appPath;
    qm::ConnectConsoleTimers(gw);
    port.setEventHandler([&gw](int code) { qm::OnPortEvent(gw, code); });

    // The sec10 tick ends the answer wait: note the time and CPU then.
    Sample answerEnd{};
    sec10.setTickHandler([&] {
        gw.state.WaitSec10 = false;
        answerEnd = sample();
    });

    const Sample start = sample();
    qm::DialSMSCenter(gw, number);
    const Sample end = sample();
    if (answerEnd.wall == std::chrono::steady_clock::time_point{})
        answerEnd = end; // answered: no time-out phase

    std::printf("connected: %s\n", gw.state.Connected ? "yes" : "no");
    report("answer wait (pumping)", start, answerEnd);
    report("carrier wait (pauses)", answerEnd, end);
    report("whole dial", start, end);
    port.close();
    return 0;
}
