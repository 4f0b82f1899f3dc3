#pragma once
// The serial port with modem control as the gateway uses it. The core is
// handed one; it never creates a port itself. Texts are byte strings.

#include "pure/failure.h"

#include <functional>
#include <string>
#include <string_view>

namespace qm
{

// What the port reports happened on the line, by its fixed code.
enum class PortEvent {
    TransmitDrained = 1,
    DataReceived = 2,
    CtsChanged = 3,
    DsrChanged = 4,
    CarrierChanged = 5,
    Ring = 6,
    EndOfFile = 7,
    Break = 1001,
    CtsTimeout = 1002,
    DsrTimeout = 1003,
    Framing = 1004,
    Overrun = 1006,
    CarrierTimeout = 1007,
    RxOverflow = 1008,
    Parity = 1009,
    TxFull = 1010,
    DeviceSettings = 1011,
};

class SerialPort
{
public:
    using EventHandler = std::function<void(PortEvent event)>;

    virtual ~SerialPort() = default;

    virtual bool isOpen() const = 0;
    virtual MaybeFailure open() = 0;
    virtual MaybeFailure close() = 0;

    // 1-based port number (COM n).
    virtual int portNumber() const = 0;
    virtual MaybeFailure setPortNumber(int number) = 0;

    // Line settings as text: speed, parity letter, data bits, stop bits,
    // e.g. "9600,N,8,1". An incomplete or invalid text is refused.
    virtual std::string settings() const = 0;
    virtual MaybeFailure setSettings(const std::string &text) = 0;

    virtual MaybeFailure setRtsCtsHandshaking() = 0;
    // 0: a read takes everything waiting.
    virtual void setReadLength(int length) = 0;

    // Discards what the port itself holds unread.
    virtual MaybeFailure clearInput() = 0;
    virtual MaybeFailure write(std::string_view bytes) = 0;
    // Reads and removes everything waiting.
    virtual std::string readAll() = 0;
    virtual int bytesToWrite() const = 0;
    // Not const: a port that follows the modem's answers reads what waits
    // in the device to tell.
    virtual bool carrierDetect() = 0;

    // Events are delivered only while the owner pumps events, on its thread.
    virtual void setEventHandler(EventHandler handler) = 0;
};

} // namespace qm
