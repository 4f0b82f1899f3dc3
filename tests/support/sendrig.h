#pragma once
// The gateway wired to a simulated Hayes modem with a UCP or TAP centre
// behind it, in virtual time, over a temporary program folder with an
// outbox: the world the send routines run in.

#include "commands/autosending.h"
#include "fakes.h"
#include "send/sendcycle.h"

#include "hayesmodem.h"
#include "simport.h"
#include "tapcentre.h"
#include "ucpcentre.h"
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qm::test
{

// Keeps every simulator event, in order.
struct EventList final : sim::Recorder {
    void record(const sim::SimEvent &e) override { events.push_back(e); }
    // (recipient, text) of each event of `kind` ("accepted", "refused", ...).
    std::vector<std::pair<std::string, std::string>> messages(const std::string &kind) const;
    int count(const std::string &kind) const;
    std::vector<sim::SimEvent> events;
};

struct RigOptions {
    std::string protocol = "UCP";
    std::string operationType = "01";
    sim::ModemScenario modem = [] {
        sim::ModemScenario s;
        s.echo = false;
        s.connectDelay = std::chrono::milliseconds(2000);
        return s;
    }();
    sim::UcpCentreOptions ucp;
    sim::TapCentreOptions tap;
};

// The texts of a log file's entries. Entries may hold CR LF themselves
// (received text is logged raw), so an entry ends at "/False" CR LF followed
// by the next time stamp or the end.
std::vector<std::string> LogTexts(const std::string &file);

inline RigOptions Tap(std::string password = "")
{
    RigOptions o;
    o.protocol = "TAP";
    o.tap.password = std::move(password);
    return o;
}

struct SendRig {
    explicit SendRig(RigOptions options = {});

    // Writes `content` to outbox/<name>, making the folder.
    void addMessage(const std::string &name, const std::string &content);
    // The outbox's file names, sorted.
    std::vector<std::string> outbox() const;
    // The texts of the log's entries, without time stamp and "/False".
    std::vector<std::string> master() const { return LogTexts(t.readFile("Master.Log")); }
    std::vector<std::string> events() const { return LogTexts(t.readFile("Events.Log")); }
    // How many Master.Log entries start with `text`.
    int logged(const std::string &text) const;

    TestGateway t;
    EventList record;
    std::unique_ptr<sim::SmsCentre> centre;
    sim::HayesModem modem;
    SimSerialPort port;
    Gateway gw;
};

// The console's button, as the operator presses it.
struct Button {
    explicit Button(SendRig &rig) : r(rig) {}
    SendCycleResult press()
    {
        return PressStartSendSMS(r.gw, caption,
                                 [this](std::string_view c) { caption = std::string(c); });
    }
    // Start now and stop `stopAt` later, nested in whatever waits then; returns when the loop
    // has ended.
    void runUntil(std::chrono::milliseconds stopAt)
    {
        r.t.world.after(stopAt, [this] { press(); });
        EXPECT_EQ(press(), SendCycleResult::Done);
    }
    SendRig &r;
    std::string caption{StartSendingCaption};
};

} // namespace qm::test
