// The modem lines on Windows, as QSerialPort reports them: the carrier when
// asked, no events and no error counters. Not compiled yet: the Windows build
// has no Qt, so it holds the core and its tests only.

#include "qt/platform/modemlines.h"

namespace qm
{

void ModemLines::probe(QSerialPort &port)
{
    const QSerialPort::PinoutSignals pins = port.pinoutSignals();
    hasLines_ = port.error() == QSerialPort::NoError;
    hasCounters_ = false;
    lines_ = pins.testFlag(QSerialPort::DataCarrierDetectSignal) ? 1 : 0;
    port.clearError();
}

bool ModemLines::carrier(QSerialPort &port) const
{
    return port.pinoutSignals().testFlag(QSerialPort::DataCarrierDetectSignal);
}

bool ModemLines::hadCarrier() const
{
    return hasLines_ && lines_ != 0;
}

void ModemLines::poll(QSerialPort &, const std::function<void(PortEvent)> &) {}

// Not told apart here: only a resource error closes the port.
bool DeviceHungUp(const QSerialPort &)
{
    return false;
}

} // namespace qm
