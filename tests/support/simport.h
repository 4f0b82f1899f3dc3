#pragma once
// A serial port whose far end is the simulated Hayes modem, in virtual time.
// What the core writes goes to the modem at once; what the modem sends is
// delivered as data-received events when the world's clock reaches it; a
// carrier change raises its event at the next pump. Carrier queries consult
// the modem at the world's current time, so a blocking pause sees the carrier
// come up even though nothing is delivered during it.

#include "fakes.h"
#include "hayesmodem.h"

namespace qm::test
{

class SimSerialPort final : public FakeSerialPort
{
public:
    SimSerialPort(SimWorld &world, sim::HayesModem &modem) : FakeSerialPort(world), modem_(modem) {}

    MaybeFailure close() override;
    MaybeFailure write(std::string_view bytes) override;
    bool carrierDetect() override;

    // The far end hangs up now.
    void dropCarrier();
    // A bare port, or a modem set to force carrier detect on.
    bool carrierForcedOn = false;
    // The device goes away (a USB adapter pulled out): the port closes itself
    // as the real adapter does, reporting a carrier it had, and every later
    // open fails.
    void vanish();

private:
    sim::SimTime simNow() const { return world_.elapsed(); }
    void schedule();
    void sync();

    sim::HayesModem &modem_;
    bool reportedCarrier_ = false;
    std::optional<sim::SimTime> scheduled_;
};

} // namespace qm::test
