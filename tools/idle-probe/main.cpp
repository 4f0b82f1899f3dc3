// idle-probe: runs the gateway's routines through the real port adapter and
// Qt seams against smsc-sim, and reports the CPU time and wall time they take.
//
//   idle-probe dial DIR              one dial (against a silent modem it waits
//                                    the full 60 s answer time-out, then the
//                                    30 s carrier wait)
//   idle-probe idle DIR SECONDS      automatic sending on, empty outbox
//   idle-probe deliver DIR N UCP|TAP N messages through the send cycle
//
// The port is DIR/COM1; logs and the outbox are in DIR.

#include "commands/autosending.h"
#include "core/gateway.h"
#include "modem/dial.h"
#include "modem/portevents.h"
#include "qt/platform/qtclock.h"
#include "qt/platform/qteventpump.h"
#include "qt/platform/qtserialport.h"
#include "qt/platform/qttimer.h"
#include "send/sendcycle.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace
{

using SteadyClock = std::chrono::steady_clock;

struct Sample {
    SteadyClock::time_point wall;
    double cpu; // user + system seconds
};

Sample sample()
{
    rusage ru{};
    ::getrusage(RUSAGE_SELF, &ru);
    const double cpu = double(ru.ru_utime.tv_sec) + double(ru.ru_utime.tv_usec) / 1e6 +
                       double(ru.ru_stime.tv_sec) + double(ru.ru_stime.tv_usec) / 1e6;
    return {SteadyClock::now(), cpu};
}

double seconds(SteadyClock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void report(const char *phase, const Sample &from, const Sample &to)
{
    const double wall = seconds(to.wall - from.wall);
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
struct Fields final : qm::ConsoleFields {
    std::string number = "5550100", protocolText = "UCP";
    std::string smsCenterNumber() const override { return number; }
    std::string protocol() const override { return protocolText; }
    std::string operationType() const override { return "01"; }
    std::string authenticationCode() const override { return {}; }
    std::string legitimizationCode() const override { return {}; }
    std::string storedText() const override { return {}; }
    std::string deliveredText() const override { return {}; }
    int modemIndex() const override { return 0; }
    std::string baudRate() const override { return "9600"; }
    std::string smsType() const override { return "N,8,1"; }
};

// The real pump and clock, keeping the wall time spent waiting in them: the
// waits the protocols prescribe (windows, pauses, the modem's answer).
struct TimingPump final : qm::EventPump {
    void pump(std::optional<qm::TimePoint> wakeBy) override
    {
        const auto t0 = SteadyClock::now();
        real.pump(wakeBy);
        waited += SteadyClock::now() - t0;
    }
    qm::QtEventPump real;
    SteadyClock::duration waited{};
};
struct TimingClock final : qm::QtClock {
    void pause(std::chrono::milliseconds d) override
    {
        const auto t0 = SteadyClock::now();
        QtClock::pause(d);
        waited += SteadyClock::now() - t0;
    }
    SteadyClock::duration waited{};
};

struct Probe {
    explicit Probe(const std::string &dir)
        : appPath(dir + "/"), port(appPath),
          gw{qm::GatewayState{}, port,   pump,   clock,
             notifier,           status, fields, {checkPending, sec1, sec2, sec4, sec8, sec10}}
    {
        gw.state.AppPath = appPath;
        qm::ConnectConsoleTimers(gw);
        port.setEventHandler([this](qm::PortEvent e) { qm::OnPortEvent(gw, e); });
    }
    std::string appPath;
    qm::QtSerialPort port;
    TimingPump pump;
    TimingClock clock;
    PrintNotifier notifier;
    PlainStatus status;
    Fields fields;
    qm::QtTimer checkPending{1000}, sec1{1000}, sec2{2000}, sec4{4000}, sec8{8000}, sec10{60000};
    qm::Gateway gw;
};

int dial(Probe &p)
{
    // The sec10 tick ends the answer wait: note the time and CPU then.
    Sample answerEnd{};
    p.sec10.setTickHandler([&] {
        p.gw.state.WaitSec10 = false;
        answerEnd = sample();
    });
    const Sample start = sample();
    qm::DialSMSCenter(p.gw, p.fields.number);
    const Sample end = sample();
    if (answerEnd.wall == SteadyClock::time_point{})
        answerEnd = end; // answered: no time-out phase
    std::printf("connected: %s\n", p.gw.state.Connected ? "yes" : "no");
    report("answer wait (pumping)", start, answerEnd);
    report("carrier wait (pauses)", answerEnd, end);
    report("whole dial", start, end);
    p.port.close();
    return 0;
}

// Runs the send cycle until `done` says so (checked every 50 ms) or `limit`.
void runCycle(Probe &p, const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (done())
            qm::StopAutomaticSending(p.gw);
    });
    watch.start(50);
    QTimer::singleShot(int(limit.count()), [&p] { qm::StopAutomaticSending(p.gw); });
    p.gw.state.AutoSending = true;
    std::string recipient, message;
    qm::SendPendingSMS(p.gw, recipient, message);
}

int idle(Probe &p, int secondsToRun)
{
    std::filesystem::create_directories(p.appPath + "outbox");
    const Sample start = sample();
    runCycle(
        p, [] { return false; }, std::chrono::seconds(secondsToRun));
    report("send cycle, empty outbox", start, sample());
    return 0;
}

int deliver(Probe &p, int count, const std::string &protocol)
{
    namespace fs = std::filesystem;
    const fs::path outbox = p.appPath + "outbox";
    fs::create_directories(outbox);
    for (int i = 0; i < count; ++i)
        std::ofstream(outbox / ("m" + std::to_string(i) + ".dat"), std::ios::binary)
            << "\"0612345678\",\"Message number " << i << "\"\r\n";
    p.fields.protocolText = protocol;
    const Sample start = sample();
    runCycle(
        p, [&] { return fs::is_empty(outbox) && !p.gw.state.ExchangeInProgress; },
        std::chrono::seconds(20 * count + 30));
    const Sample end = sample();
    const double wall = seconds(end.wall - start.wall);
    const double waited = seconds(p.pump.waited + p.clock.waited);
    int left = 0;
    for ([[maybe_unused]] const auto &e : fs::directory_iterator(outbox))
        ++left;
    std::printf("%s: %d messages, %d left in the outbox\n", protocol.c_str(), count, left);
    std::printf("  wall per message            %8.1f ms\n", 1000 * wall / count);
    std::printf("  waiting in pump and pauses  %8.1f ms per message\n", 1000 * waited / count);
    std::printf("  working (wall - waits)      %8.1f ms per message\n",
                1000 * (wall - waited) / count);
    std::printf("  cpu                         %8.1f ms per message\n",
                1000 * (end.cpu - start.cpu) / count);
    return left == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc < 3 || (mode != "dial" && mode != "idle" && mode != "deliver")) {
        std::fprintf(stderr, "usage: idle-probe dial DIR | idle DIR SECONDS | "
                             "deliver DIR N UCP|TAP\n");
        return 2;
    }
    QCoreApplication app(argc, argv);
    Probe p(argv[2]);
    if (mode == "dial")
        return dial(p);
    if (mode == "idle")
        return idle(p, argc > 3 ? std::atoi(argv[3]) : 60);
    return deliver(p, argc > 3 ? std::atoi(argv[3]) : 20, argc > 4 ? argv[4] : "UCP");
}
