#include "win32/win32serialport.h"

#include "platform/comport.h"
#include "platform/lasterror_win.h"
#include "pure/linesettings.h"
#include "win32/commsettings.h"

#include <utility>

namespace qm
{
namespace
{

constexpr DWORD ReadPiece = 4096;
// A read that ends at once with nothing, again and again, is a device at
// its end (the far side of a pseudo-terminal closed), not a quiet line.
constexpr int EmptyReadsOfALostDevice = 3;

} // namespace

Win32SerialPort::Win32SerialPort(MessageWindow &ui, std::string programFolder)
    : ui_(ui), programFolder_(std::move(programFolder)),
      writeDone_(CreateEventA(nullptr, TRUE, FALSE, nullptr))
{
}

Win32SerialPort::~Win32SerialPort()
{
    handler_ = nullptr;
    close();
    ui_.forget(this);
    if (writeDone_)
        CloseHandle(writeDone_);
}

std::string Win32SerialPort::devicePath(int number) const
{
    return "\\\\.\\" + ComPortDevice(programFolder_, number);
}

MaybeFailure Win32SerialPort::applySettings()
{
    LineSettings line;
    if (auto f = ParseLineSettings(settings_, line))
        return f;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb))
        return WindowsFailure(GetLastError());
    dcb = DcbFor(line, rtsCts_, dcb);
    if (!SetCommState(handle_, &dcb))
        return WindowsFailure(GetLastError());
    COMMTIMEOUTS timeouts = CommTimeoutsFor(line.speed);
    if (!SetCommTimeouts(handle_, &timeouts))
        return WindowsFailure(GetLastError());
    return std::nullopt;
}

MaybeFailure Win32SerialPort::open()
{
    if (isOpen())
        return WindowsFailure(ERROR_BUSY);
    LineSettings line;
    if (auto f = ParseLineSettings(settings_, line))
        return f;
    const HANDLE h = CreateFileA(devicePath(number_).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return WindowsFailure(GetLastError());
    handle_ = h;
    if (auto f = applySettings()) {
        CloseHandle(h);
        handle_ = INVALID_HANDLE_VALUE;
        return f;
    }
    SetupComm(h, ReadPiece, ReadPiece); // a size hint; a port may keep its own

    DWORD lines = 0;
    hasLines_ = GetCommModemStatus(h, &lines) != 0;
    lineCarrier_ = hasLines_ && (lines & MS_RLSD_ON) != 0;
    side_.clear();
    answerCarrier_.reset();
    {
        std::lock_guard lock(mutex_);
        incoming_.clear();
        events_.clear();
        lost_ = false;
    }
    notified_ = false;
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    reader_ = std::thread([this, h, stop = stop_, lines] { readerLoop(h, stop, lines); });
    return std::nullopt;
}

void Win32SerialPort::stopReader()
{
    if (reader_.joinable()) {
        SetEvent(stop_);
        reader_.join();
    }
    if (stop_) {
        CloseHandle(stop_);
        stop_ = nullptr;
    }
}

MaybeFailure Win32SerialPort::close()
{
    if (!isOpen())
        return std::nullopt;
    stopReader();
    const BOOL closed = CloseHandle(handle_);
    const DWORD error = closed ? 0 : GetLastError();
    handle_ = INVALID_HANDLE_VALUE;
    ui_.forget(this);
    notified_ = false;
    {
        std::lock_guard lock(mutex_);
        incoming_.clear();
        events_.clear();
        lost_ = false;
    }
    side_.clear();
    hasLines_ = false;
    lineCarrier_ = false;
    // A carrier taken from the modem's answers goes with the port, and is
    // reported like a real line's carrier drop.
    if (answerCarrier_.reset())
        postCarrierChange();
    if (!closed)
        return WindowsFailure(error);
    return std::nullopt;
}

MaybeFailure Win32SerialPort::setPortNumber(int number)
{
    if (isOpen())
        return WindowsFailure(ERROR_BUSY);
    if (number < 1 || number > 99)
        return WindowsFailure(ERROR_INVALID_PARAMETER);
    number_ = number;
    return std::nullopt;
}

MaybeFailure Win32SerialPort::setSettings(const std::string &text)
{
    LineSettings line;
    if (auto f = ParseLineSettings(text, line))
        return f;
    settings_ = text;
    if (isOpen())
        return applySettings();
    return std::nullopt;
}

MaybeFailure Win32SerialPort::setRtsCtsHandshaking()
{
    rtsCts_ = true;
    if (isOpen())
        return applySettings();
    return std::nullopt;
}

MaybeFailure Win32SerialPort::clearInput()
{
    if (!isOpen())
        return WindowsFailure(ERROR_INVALID_HANDLE);
    // What is thrown away is still read for the result codes first: a call
    // that dropped just now ("NO CARRIER" waiting unread) must not keep the
    // carrier taken from the answers.
    takeIncoming();
    side_.clear();
    if (!PurgeComm(handle_, PURGE_RXCLEAR))
        return WindowsFailure(GetLastError());
    return std::nullopt;
}

MaybeFailure Win32SerialPort::write(std::string_view bytes)
{
    if (!isOpen())
        return WindowsFailure(ERROR_INVALID_HANDLE);
    OVERLAPPED o{};
    o.hEvent = writeDone_;
    ResetEvent(writeDone_);
    const DWORD size = static_cast<DWORD>(bytes.size());
    if (!WriteFile(handle_, bytes.data(), size, nullptr, &o) && GetLastError() != ERROR_IO_PENDING)
        return WindowsFailure(GetLastError());
    DWORD written = 0;
    if (!GetOverlappedResult(handle_, &o, &written, TRUE))
        return WindowsFailure(GetLastError());
    // Fewer bytes: the write time-out ran out (CTS held off).
    if (written != size)
        return WindowsFailure(ERROR_COUNTER_TIMEOUT);
    return std::nullopt;
}

std::string Win32SerialPort::readAll()
{
    takeIncoming();
    return std::exchange(side_, {});
}

int Win32SerialPort::bytesToWrite() const
{
    if (!isOpen())
        return 0;
    return static_cast<int>(takeLineErrors(handle_).cbOutQue);
}

bool Win32SerialPort::carrierDetect()
{
    if (!isOpen())
        return false;
    if (hasLines_) {
        DWORD lines = 0;
        return GetCommModemStatus(handle_, &lines) && (lines & MS_RLSD_ON) != 0;
    }
    takeIncoming();
    // Delivered as data at the next pump, not inside the caller's wait.
    if (!side_.empty())
        notifyUi();
    return answerCarrier_.up();
}

void Win32SerialPort::takeIncoming()
{
    std::string fresh;
    {
        std::lock_guard lock(mutex_);
        fresh.swap(incoming_);
    }
    if (fresh.empty())
        return;
    if (!hasLines_)
        for (int changes = answerCarrier_.feed(fresh); changes > 0; --changes)
            postCarrierChange();
    side_ += fresh;
}

void Win32SerialPort::raise(PortEvent event)
{
    if (handler_)
        handler_(event);
}

void Win32SerialPort::postCarrierChange()
{
    ui_.post(this, [this] { raise(PortEvent::CarrierChanged); });
}

void Win32SerialPort::notifyUi() const
{
    if (!notified_.exchange(true))
        ui_.post(this, [this] { const_cast<Win32SerialPort *>(this)->serve(); });
}

void Win32SerialPort::queueEvent(PortEvent event) const
{
    {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
    }
    notifyUi();
}

void Win32SerialPort::serve()
{
    notified_ = false;
    if (!isOpen())
        return;
    std::vector<PortEvent> events;
    bool lost = false;
    {
        std::lock_guard lock(mutex_);
        events.swap(events_);
        lost = std::exchange(lost_, false);
    }
    takeIncoming();
    // Each handler may close the port, or pump and so serve the port nested.
    for (PortEvent e : events) {
        if (!isOpen())
            return;
        raise(e);
    }
    if (isOpen() && !side_.empty())
        raise(PortEvent::DataReceived);
    if (!isOpen())
        return;
    if (lost) {
        onDeviceLost();
        return;
    }
    // Whatever a handler left unread, or came meanwhile, is announced again.
    bool more = !side_.empty();
    {
        std::lock_guard lock(mutex_);
        more = more || !incoming_.empty() || !events_.empty();
    }
    if (more)
        notifyUi();
}

void Win32SerialPort::onDeviceLost()
{
    // The device went away (unplugged, the far end of a pseudo-terminal
    // closed): the port closes, and the carrier goes with the device.
    const bool hadLineCarrier = hasLines_ && lineCarrier_;
    close(); // reports a carrier taken from the answers itself
    if (hadLineCarrier)
        raise(PortEvent::CarrierChanged);
}

COMSTAT Win32SerialPort::takeLineErrors(HANDLE port) const
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(port, &errors, &status))
        return status;
    if (errors & CE_BREAK)
        queueEvent(PortEvent::Break);
    if (errors & CE_FRAME)
        queueEvent(PortEvent::Framing);
    if (errors & CE_OVERRUN)
        queueEvent(PortEvent::Overrun);
    if (errors & CE_RXOVER)
        queueEvent(PortEvent::RxOverflow);
    if (errors & CE_RXPARITY)
        queueEvent(PortEvent::Parity);
    if (errors & CE_TXFULL)
        queueEvent(PortEvent::TxFull);
    return status;
}

void Win32SerialPort::watchLines(HANDLE port, DWORD &lines)
{
    DWORD now = 0;
    if (hasLines_ && GetCommModemStatus(port, &now)) {
        const DWORD changed = now ^ lines;
        lines = now;
        lineCarrier_ = (now & MS_RLSD_ON) != 0;
        if (changed & MS_CTS_ON)
            queueEvent(PortEvent::CtsChanged);
        if (changed & MS_DSR_ON)
            queueEvent(PortEvent::DsrChanged);
        if (changed & MS_RLSD_ON)
            queueEvent(PortEvent::CarrierChanged);
        if (changed & MS_RING_ON)
            queueEvent(PortEvent::Ring);
    }
    takeLineErrors(port);
}

void Win32SerialPort::readerLoop(HANDLE port, HANDLE stop, DWORD lines)
{
    OVERLAPPED o{};
    o.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::string buffer(ReadPiece, '\0');
    int emptyAtOnce = 0;
    bool lost = false;
    for (;;) {
        ResetEvent(o.hEvent);
        const ULONGLONG started = GetTickCount64();
        if (!ReadFile(port, buffer.data(), ReadPiece, nullptr, &o) &&
            GetLastError() != ERROR_IO_PENDING) {
            lost = true;
            break;
        }
        const HANDLE waits[2] = {o.hEvent, stop};
        DWORD got = 0;
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            // Closing: what this read still brings goes with the port.
            CancelIoEx(port, &o);
            GetOverlappedResult(port, &o, &got, TRUE);
            break;
        }
        if (!GetOverlappedResult(port, &o, &got, FALSE)) {
            const DWORD error = GetLastError();
            // Windows ends a read at its time-out as a success with what came;
            // Wine fails it with ERROR_TIMEOUT (and what came in the count).
            if (error != ERROR_TIMEOUT && error != ERROR_OPERATION_ABORTED) {
                lost = true;
                break;
            }
        }
        if (got > 0) {
            emptyAtOnce = 0;
            {
                std::lock_guard lock(mutex_);
                incoming_.append(buffer.data(), got);
            }
            notifyUi();
        } else if (GetTickCount64() - started < ReadTotalMs / 2) {
            if (++emptyAtOnce >= EmptyReadsOfALostDevice) {
                lost = true;
                break;
            }
        } else {
            emptyAtOnce = 0;
        }
        watchLines(port, lines);
    }
    CloseHandle(o.hEvent);
    if (lost) {
        {
            std::lock_guard lock(mutex_);
            lost_ = true;
        }
        notifyUi();
    }
}

} // namespace qm
