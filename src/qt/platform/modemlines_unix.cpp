// The modem lines and error counters on Linux: the tty's own ioctls.

#include "qt/platform/modemlines.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>

namespace qm
{

void ModemLines::probe(QSerialPort &port)
{
    const int fd = static_cast<int>(port.handle());
    int bits = 0;
    hasLines_ = ::ioctl(fd, TIOCMGET, &bits) == 0;
    lines_ = hasLines_ ? bits : 0;
    serial_icounter_struct ic{};
    hasCounters_ = ::ioctl(fd, TIOCGICOUNT, &ic) == 0;
    if (hasCounters_)
        counters_ = {ic.brk, ic.frame, ic.overrun, ic.buf_overrun, ic.parity};
}

bool ModemLines::carrier(QSerialPort &port) const
{
    int bits = 0;
    if (::ioctl(static_cast<int>(port.handle()), TIOCMGET, &bits) == 0)
        return (bits & TIOCM_CAR) != 0;
    return false;
}

bool ModemLines::hadCarrier() const
{
    return hasLines_ && (lines_ & TIOCM_CAR) != 0;
}

void ModemLines::poll(QSerialPort &port, const std::function<void(PortEvent)> &raise)
{
    if (!port.isOpen())
        return;
    const int fd = static_cast<int>(port.handle());
    if (hasLines_) {
        int bits = 0;
        if (::ioctl(fd, TIOCMGET, &bits) == 0) {
            const int changed = bits ^ lines_;
            lines_ = bits;
            if (changed & TIOCM_CTS)
                raise(PortEvent::CtsChanged);
            if (changed & TIOCM_DSR)
                raise(PortEvent::DsrChanged);
            if (changed & TIOCM_CAR)
                raise(PortEvent::CarrierChanged);
            if (changed & TIOCM_RNG)
                raise(PortEvent::Ring);
        }
    }
    serial_icounter_struct ic{};
    if (hasCounters_ && port.isOpen() && ::ioctl(fd, TIOCGICOUNT, &ic) == 0) {
        const Counters was = counters_;
        counters_ = {ic.brk, ic.frame, ic.overrun, ic.buf_overrun, ic.parity};
        if (counters_.brk != was.brk)
            raise(PortEvent::Break);
        if (counters_.frame != was.frame)
            raise(PortEvent::Framing);
        if (counters_.overrun != was.overrun)
            raise(PortEvent::Overrun);
        if (counters_.bufOverrun != was.bufOverrun)
            raise(PortEvent::RxOverflow);
        if (counters_.parity != was.parity)
            raise(PortEvent::Parity);
    }
}

bool DeviceHungUp(const QSerialPort &port)
{
    pollfd pfd{static_cast<int>(port.handle()), POLLIN, 0};
    return ::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace qm
