#pragma once
// The modem's status lines (CTS, DSR, carrier, ring) and the line-error
// counters of an open port, where its device reports them. Each platform
// reads them its own way (modemlines_unix.cpp, modemlines_win.cpp).

#include "platform/serialport.h"

#include <QSerialPort>

#include <functional>

namespace qm
{

class ModemLines
{
public:
    // Finds out what the freshly opened device reports, and its state now.
    void probe(QSerialPort &port);
    // The port closed: no line is up any more.
    void clear() { lines_ = 0; }

    bool hasLines() const { return hasLines_; }
    // Whether anything changes that only polling sees.
    bool worthPolling() const { return hasLines_ || hasCounters_; }
    // The carrier line now, read from the device.
    bool carrier(QSerialPort &port) const;
    // The carrier line as last read.
    bool hadCarrier() const;
    // Reads the lines and counters again and raises an event for each change.
    // `raise` may close the port.
    void poll(QSerialPort &port, const std::function<void(PortEvent)> &raise);

private:
    bool hasLines_ = false;
    bool hasCounters_ = false;
    int lines_ = 0; // as the platform reports them
    struct Counters {
        int brk = 0, frame = 0, overrun = 0, bufOverrun = 0, parity = 0;
    } counters_;
};

// Whether the device behind the open port hung up (the far end of a
// pseudo-terminal closed): what a read error alone does not tell.
bool DeviceHungUp(const QSerialPort &port);

} // namespace qm
