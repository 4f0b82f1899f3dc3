#include "simport.h"

namespace qm::test
{

MaybeFailure SimSerialPort::close()
{
    const bool wasOpen = open_;
    if (auto f = FakeSerialPort::close())
        return f;
    if (wasOpen) {
        modem_.portClosed(simNow());
        // A closed port reports nothing; the next open starts from the line's state.
        reportedCarrier_ = modem_.carrier(simNow());
        rx.clear();
    }
    return std::nullopt;
}

MaybeFailure SimSerialPort::write(std::string_view bytes)
{
    if (auto f = FakeSerialPort::write(bytes))
        return f;
    modem_.input(simNow(), bytes);
    schedule();
    return std::nullopt;
}

bool SimSerialPort::carrierDetect()
{
    return carrierForcedOn || modem_.carrier(simNow());
}

void SimSerialPort::dropCarrier()
{
    modem_.dropCarrier(simNow());
    schedule();
}

void SimSerialPort::vanish()
{
    failAlways("open", Failure{2, "No such file or directory"});
    if (!open_)
        return;
    const bool hadCarrier = reportedCarrier_;
    open_ = false;
    modem_.portClosed(simNow());
    reportedCarrier_ = false;
    rx.clear();
    if (hadCarrier)
        raise(PortEvent::CarrierChanged);
}

void SimSerialPort::schedule()
{
    const auto due = modem_.nextDue();
    if (!due || (scheduled_ && *scheduled_ <= *due))
        return;
    scheduled_ = due;
    world_.after(*due - simNow(), [this] {
        scheduled_.reset();
        sync();
    });
}

void SimSerialPort::sync()
{
    const std::string out = modem_.takeOutput(simNow());
    const bool carrierNow = modem_.carrier(simNow());
    if (open_) {
        if (!out.empty()) {
            rx += out;
            raise(PortEvent::DataReceived);
        }
        if (carrierNow != reportedCarrier_) {
            reportedCarrier_ = carrierNow;
            raise(PortEvent::CarrierChanged);
        }
    }
    schedule();
}

} // namespace qm::test
