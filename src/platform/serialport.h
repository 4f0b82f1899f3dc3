#pragma once
// The serial port with modem control as the gateway uses it. The core is
// handed one; it never creates a port itself. Texts are byte strings.

#include "platform/failure.h"

#include <functional>
#include <string>
#include <string_view>

namespace qm
{

// Codes with which the port reports what happened on the line.
namespace PortEvent
{
inline constexpr int TransmitDrained = 1;
inline constexpr int DataReceived = 2;
inline constexpr int CtsChanged = 3;
inline constexpr int DsrChanged = 4;
inline constexpr int CarrierChanged = 5;
inline constexpr int Ring = 6;
inline constexpr int EndOfFile = 7;
inline constexpr int Break = 1001;
inline constexpr int CtsTimeout = 1002;
inline constexpr int DsrTimeout = 1003;
inline constexpr int Framing = 1004;
inline constexpr int Overrun = 1006;
inline constexpr int CarrierTimeout = 1007;
inline constexpr int RxOverflow = 1008;
inline constexpr int Parity = 1009;
inline constexpr int TxFull = 1010;
inline constexpr int DeviceSettings = 1011;
} // namespace PortEvent

class SerialPort
{
public:
    using EventHandler = std::function<void(int code)>;

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
    virtual bool carrierDetect() const = 0;

    // Events are delivered only while the owner pumps events, on its thread.
    virtual void setEventHandler(EventHandler handler) = 0;
};

} // namespace qm
