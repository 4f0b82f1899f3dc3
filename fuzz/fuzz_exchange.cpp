// One pass of automatic sending, UCP or TAP, against a far end that says
// whatever the input says: bytes in pieces at chosen times, the carrier
// rising and falling, the device going away, or nothing at all. For any
// input: no crash, the pass ends within bounded virtual time, the port is
// closed after it, and the message is still in the outbox or its text is in
// Master.Log.
//
// Input: byte 0 chooses the protocol and the UCP operation type; then
// records of [what | delay] [length] [bytes...], where the low two bits of the
// first byte say what happens (0 bytes arrive, 1 carrier up, 2 carrier down,
// 3 the device vanishes) and the rest is the delay after the previous record,
// in quarter seconds.

#include "commands/autosending.h"
#include "fakes.h"
#include "modem/portevents.h"
#include "pure/ia5.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>

namespace
{

using namespace std::chrono_literals;

const std::string Text = "fuzz text";

// The carrier line follows the script by the clock, so a blocking carrier
// wait sees it change as it would on a real line.
class ScriptedPort final : public qm::test::FakeSerialPort
{
public:
    using FakeSerialPort::FakeSerialPort;
    bool carrierDetect() override
    {
        bool up = false;
        for (const auto &[at, level] : changes)
            if (at <= world_.elapsed())
                up = level;
        return open_ && up;
    }
    std::vector<std::pair<std::chrono::milliseconds, bool>> changes; // in time order
};

struct Rig {
    qm::test::TestGateway t;
    ScriptedPort port{t.world};
    qm::Gateway gw{qm::GatewayState{}, port,     t.world,  t.world,
                   t.notifier,         t.status, t.fields, t.gw.timers};
};

void schedule(Rig &r, const std::uint8_t *data, std::size_t size)
{
    std::chrono::milliseconds at{0};
    for (std::size_t i = 0; i < size;) {
        const std::uint8_t head = data[i++];
        at += std::chrono::milliseconds(250 * (head >> 2));
        switch (head & 3) {
        case 0: {
            std::size_t length = 0;
            if (i < size) {
                length = std::min<std::size_t>(data[i], size - i - 1);
                ++i;
            }
            r.t.world.after(
                at, [&r, bytes = std::string(reinterpret_cast<const char *>(data + i), length)] {
                    if (!r.port.isOpen())
                        return; // nothing reaches a closed port
                    r.port.rx += bytes;
                    r.port.raise(qm::PortEvent::DataReceived);
                });
            i += length;
            break;
        }
        case 1:
        case 2:
            r.port.changes.emplace_back(at, (head & 3) == 1);
            r.t.world.after(at, [&r] {
                if (r.port.isOpen())
                    r.port.raise(qm::PortEvent::CarrierChanged);
            });
            break;
        case 3:
            r.t.world.after(at, [&r] {
                r.port.failAlways("open", qm::Failure{2, "No such file or directory"});
                if (r.port.isOpen()) {
                    (void)r.port.close();
                    r.port.raise(qm::PortEvent::CarrierChanged);
                }
            });
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    Rig r;
    qm::test::TestGateway &t = r.t;
    qm::Gateway &gw = r.gw;
    gw.state.AppPath = t.gw.state.AppPath;
    qm::ConnectConsoleTimers(gw);
    r.port.setEventHandler([&gw](qm::PortEvent e) { qm::OnPortEvent(gw, e); });
    static const char *const OperationTypes[] = {"01", "03", "30", "51"};
    t.fields.SMSCenterNumber = "0612345678";
    t.fields.Protocol = data[0] & 1 ? "TAP" : "UCP";
    t.fields.OperationType = OperationTypes[(data[0] >> 1) & 3];
    std::filesystem::create_directories(t.dir / "outbox");
    std::ofstream(t.dir / "outbox" / "a.dat") << "\"0611\",\"" << Text << "\"\r\n";
    schedule(r, data + 1, size - 1);

    // Watches for the end of the first exchange (a dial was tried and the
    // loop is between messages), then stops the loop. An exchange may run
    // without a single pump, so the dial is seen on the port.
    bool ended = false, openAfter = false;
    const auto dialled = [&r] {
        return std::find(r.port.calls.begin(), r.port.calls.end(), "open") != r.port.calls.end();
    };
    std::function<void()> probe = [&] {
        if (!gw.state.ExchangeInProgress && dialled()) {
            ended = true;
            openAfter = r.port.isOpen();
            qm::StopAutomaticSending(gw);
            return;
        }
        if (t.world.elapsed() > 900s) {
            qm::StopAutomaticSending(gw);
            return;
        }
        t.world.after(100ms, probe);
    };
    t.world.after(0ms, probe);
    gw.state.AutoSending = true;
    std::string recipient, message;
    qm::SendPendingSMS(gw, recipient, message);

    if (std::getenv("QM_FUZZ_SHOW"))
        std::fprintf(stderr, "ended %d open %d\n%s---\n%s", ended, openAfter,
                     t.readFile("Master.Log").c_str(), t.readFile("Events.Log").c_str());
    const bool kept = std::filesystem::exists(t.dir / "outbox" / "a.dat");
    const std::string log = t.readFile("Master.Log");
    if (!kept && log.find(Text) == std::string::npos &&
        log.find(qm::IA5Encoding(Text)) == std::string::npos)
        std::abort(); // the message went without a trace
    if (!ended || openAfter)
        std::abort(); // the pass did not end in time, or left the port open
    return 0;
}
