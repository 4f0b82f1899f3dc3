// CPU per message through the real routines (send cycle, UCP and TAP sending,
// dialling, port events, logging to disk) with the simulated modem and
// centre in virtual time, so only the gateway's own work is measured. Figures
// per block of 100 messages show whether the cost grows with the number sent.
//
//   send_cost [MESSAGES]      (default 1000, per protocol)

#include "commands/autosending.h"
#include "sendrig.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>

namespace
{

using namespace std::chrono_literals;

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Runs the automatic cycle until the outbox is empty (looked at every
// virtual second).
void drain(qm::test::SendRig &r)
{
    std::function<void()> look = [&] {
        if (r.outbox().empty())
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
    const int total = argc > 1 ? std::max(100, std::atoi(argv[1])) : 1000;
    for (const char *protocol : {"UCP", "TAP"}) {
        qm::test::RigOptions o =
            std::string(protocol) == "UCP" ? qm::test::RigOptions{} : qm::test::Tap();
        qm::test::SendRig r(o);
        std::printf("%s, %d messages, blocks of 100:\n  cpu ms per message:", protocol, total);
        const double start = cpuSeconds();
        int sent = 0;
        while (sent < total) {
            for (int i = 0; i < 100; ++i)
                r.addMessage("m" + std::to_string(sent + i) + ".dat",
                             "\"0612345678\",\"Message number " + std::to_string(sent + i) +
                                 "\"\r\n");
            const double t0 = cpuSeconds();
            drain(r);
            std::printf(" %.2f", 1000 * (cpuSeconds() - t0) / 100);
            std::fflush(stdout);
            sent += 100;
        }
        const int accepted = int(r.record.messages("accepted").size());
        std::printf("\n  accepted by the centre: %d of %d; overall %.2f ms per message; "
                    "virtual time %.1f s per message\n",
                    accepted, total, 1000 * (cpuSeconds() - start) / total,
                    std::chrono::duration<double>(r.t.world.elapsed()).count() / total);
    }
    return 0;
}
