#include "win32/commsettings.h"

namespace qm
{
namespace
{

BYTE parityCode(Parity p)
{
    switch (p) {
    case Parity::None:
        return NOPARITY;
    case Parity::Even:
        return EVENPARITY;
    case Parity::Odd:
        return ODDPARITY;
    case Parity::Mark:
        return MARKPARITY;
    case Parity::Space:
        return SPACEPARITY;
    }
    return NOPARITY;
}

BYTE stopBitsCode(int stopBits)
{
    switch (stopBits) {
    case 2:
        return TWOSTOPBITS;
    case 15:
        return ONE5STOPBITS;
    default:
        return ONESTOPBIT;
    }
}

} // namespace

DCB DcbFor(const LineSettings &line, bool rtsCts, DCB base)
{
    DCB d = base;
    d.DCBlength = sizeof(DCB);
    d.BaudRate = static_cast<DWORD>(line.speed);
    d.ByteSize = static_cast<BYTE>(line.dataBits);
    d.Parity = parityCode(line.parity);
    d.StopBits = stopBitsCode(line.stopBits);
    d.fBinary = TRUE;
    d.fParity = line.parity != Parity::None;
    d.fOutxCtsFlow = rtsCts;
    d.fRtsControl = rtsCts ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    d.fDtrControl = DTR_CONTROL_ENABLE;
    d.fOutxDsrFlow = FALSE;
    d.fDsrSensitivity = FALSE;
    d.fTXContinueOnXoff = TRUE;
    d.fOutX = FALSE;
    d.fInX = FALSE;
    d.fErrorChar = FALSE;
    d.fNull = FALSE;
    d.fAbortOnError = FALSE;
    return d;
}

COMMTIMEOUTS CommTimeoutsFor(int speed)
{
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = ReadIntervalMs;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = ReadTotalMs;
    // Ten bits a byte, twice over: 20000 / speed ms, at least 1.
    const int perByte = speed > 0 ? 20000 / speed : 20000;
    t.WriteTotalTimeoutMultiplier = static_cast<DWORD>(perByte < 1 ? 1 : perByte);
    t.WriteTotalTimeoutConstant = 5000;
    return t;
}

} // namespace qm
