// Months of traffic in virtual time: messages one after another through the
// real routines (automatic sending, UCP and TAP alternately, dialling, port
// events, logging to disk), with a transient fault on every tenth. Prints
// resident memory at the start, after a warm-up and at the end, CPU per
// message, and where every message ended up. Exits non-zero when a message is
// unaccounted for or memory grew by more than 1 MiB after the warm-up.
//
//   soak [MESSAGES]      (default 10000)

#include "pure/ia5.h"
#include "sendrig.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>

namespace
{

using namespace std::chrono_literals;
using qm::test::SendRig;

long residentKiB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * 4; // 4 KiB pages
}

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// The faults, one per tenth message in turn; each hits one call only.
const std::function<void(SendRig &)> Faults[] = {
    [](SendRig &r) {
        r.port.failOnce("open", qm::Failure{16, "Device or resource busy"});
    },
    [](SendRig &r) { // the frame or block write
        r.t.world.after(1999ms, [&r] { r.port.failOnce("write", qm::Failure{5, "I/O error"}); });
    },
    [](SendRig &r) { r.t.world.after(2100ms, [&r] { r.port.dropCarrier(); }); },
    [](SendRig &r) { r.t.world.after(500ms, [&r] { r.port.dropCarrier(); }); }, // while dialling
};

// Runs automatic sending until the outbox is empty or `limit` has passed.
void drain(SendRig &r, std::chrono::seconds limit)
{
    const auto until = r.t.world.now() + limit;
    std::function<void()> look = [&] {
        if (r.outbox().empty() || r.t.world.now() >= until)
            qm::StopAutomaticSending(r.gw);
        else
            r.t.world.after(1s, look);
    };
    r.t.world.after(1s, look);
    r.gw.state.AutoSending = true;
    std::string recipient, message;
    qm::SendPendingSMS(r.gw, recipient, message);
}

} // namespace

int main(int argc, char **argv)
{
    const int total = argc > 1 ? std::max(100, std::atoi(argv[1])) : 10000;
    const long rssStart = residentKiB();
    SendRig ucp, tap(qm::test::Tap());
    int delivered = 0, kept = 0, logged = 0, lost = 0, calls = 0;
    long rssWarm = 0;
    const double cpuStart = cpuSeconds();
    for (int i = 0; i < total; ++i) {
        if (i == 100)
            rssWarm = residentKiB();
        SendRig &r = i % 2 ? tap : ucp;
        const std::string text = "Soak message " + std::to_string(i);
        r.addMessage("m.dat", "\"0612345678\",\"" + text + "\"\r\n");
        if (i % 10 == 9)
            Faults[(i / 10) % std::size(Faults)](r);
        drain(r, 120s);

        calls += r.record.count("dial");
        bool accepted = false;
        for (const auto &e : r.record.events)
            accepted = accepted || (e.kind == "accepted" && e.fields.at("text") == text);
        // What the fakes record for tests grows with every call; it is not
        // the gateway's memory.
        r.record.events.clear();
        r.port.calls.clear();
        r.port.written.clear();
        r.t.notifier.notices.clear();
        if (!r.outbox().empty()) {
            ++kept;
            std::filesystem::remove(r.t.dir / "outbox" / "m.dat");
        } else if (accepted) {
            ++delivered;
        } else {
            const std::string log = r.t.readFile("Master.Log");
            const bool found = log.find(text) != std::string::npos ||
                               log.find(qm::IA5Encoding(text)) != std::string::npos;
            found ? ++logged : ++lost;
        }
        // The logs grow on disk without bound; start them afresh now and
        // then so the run measures the gateway, not the file system.
        if (i % 1000 == 999)
            for (SendRig *s : {&ucp, &tap})
                for (const char *name : {"Master.Log", "Events.Log"})
                    std::filesystem::remove(s->t.dir / name);
    }
    const double cpu = cpuSeconds() - cpuStart;
    const long rssEnd = residentKiB();
    std::printf("messages %d (UCP and TAP alternately, a fault on every tenth)\n", total);
    std::printf("calls dialled %d (a faulted call is made again)\n", calls);
    std::printf("delivered %d, kept in the outbox %d, text in Master.Log %d, unaccounted %d\n",
                delivered, kept, logged, lost);
    std::printf("cpu %.3f ms per message (%.1f s in all)\n", 1000 * cpu / total, cpu);
    std::printf("rss KiB: start %ld, after 100 messages %ld, end %ld (growth after warm-up %ld)\n",
                rssStart, rssWarm, rssEnd, rssEnd - rssWarm);
    return lost == 0 && rssEnd - rssWarm <= 1024 ? 0 : 1;
}
