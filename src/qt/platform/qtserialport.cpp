#include "qt/platform/qtserialport.h"

#include "platform/comport.h"
#include "pure/linesettings.h"

#include <cerrno>
#include <utility>

namespace qm
{
namespace
{

constexpr int PollInterval = 100; // ms, modem lines and error counters

QSerialPort::Parity toQt(Parity p)
{
    switch (p) {
    case Parity::None:
        return QSerialPort::NoParity;
    case Parity::Even:
        return QSerialPort::EvenParity;
    case Parity::Odd:
        return QSerialPort::OddParity;
    case Parity::Mark:
        return QSerialPort::MarkParity;
    case Parity::Space:
        return QSerialPort::SpaceParity;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits toQtStopBits(int stopBits)
{
    switch (stopBits) {
    case 2:
        return QSerialPort::TwoStop;
    case 15:
        return QSerialPort::OneAndHalfStop;
    default:
        return QSerialPort::OneStop;
    }
}

} // namespace

QtSerialPort::QtSerialPort(std::string programFolder) : programFolder_(std::move(programFolder))
{
    QObject::connect(&port_, &QSerialPort::readyRead, &port_, [this] { onReadyRead(); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError e) { onError(e); });
    poll_.setInterval(PollInterval);
    QObject::connect(&poll_, &QTimer::timeout, &port_, [this] { poll(); });
}

QtSerialPort::~QtSerialPort()
{
    handler_ = nullptr;
    if (port_.isOpen())
        port_.close();
}

std::string QtSerialPort::devicePath(int number) const
{
    return ComPortDevice(programFolder_, number);
}

Failure QtSerialPort::failure(const char *what) const
{
    const int code = port_.error() == QSerialPort::NoError ? EIO : int(port_.error());
    std::string text = port_.errorString().toLocal8Bit().toStdString();
    if (text.empty() || port_.error() == QSerialPort::NoError)
        text = what;
    return Failure{code, text};
}

MaybeFailure QtSerialPort::applySettings()
{
    LineSettings ls;
    if (auto f = ParseLineSettings(settings_, ls))
        return f;
    const bool ok =
        port_.setBaudRate(ls.speed) &&
        port_.setDataBits(static_cast<QSerialPort::DataBits>(ls.dataBits)) &&
        port_.setParity(toQt(ls.parity)) && port_.setStopBits(toQtStopBits(ls.stopBits)) &&
        port_.setFlowControl(rtsCts_ ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl);
    if (!ok)
        return failure("The device refused the line settings");
    return std::nullopt;
}

MaybeFailure QtSerialPort::open()
{
    if (port_.isOpen())
        return Failure{int(QSerialPort::OpenError), "Port already open"};
    port_.setPortName(QString::fromLocal8Bit(devicePath(number_).c_str()));
    if (auto f = applySettings())
        return f;
    if (!port_.open(QIODevice::ReadWrite))
        return failure("The port could not be opened");

    side_.clear();
    answerCarrier_.reset();
    modemLines_.probe(port_);
    if (modemLines_.worthPolling())
        poll_.start();
    return std::nullopt;
}

MaybeFailure QtSerialPort::close()
{
    poll_.stop();
    if (!port_.isOpen())
        return std::nullopt;
    // Let what was written last (a hang-up, say) leave before the line drops.
    port_.flush();
    if (port_.bytesToWrite() > 0)
        port_.waitForBytesWritten(500);
    port_.close();
    side_.clear();
    modemLines_.clear();
    // A carrier taken from the modem's answers goes with the port, and is
    // reported like a real line's carrier drop.
    if (answerCarrier_.reset())
        post(PortEvent::CarrierChanged);
    return std::nullopt;
}

MaybeFailure QtSerialPort::setPortNumber(int number)
{
    if (port_.isOpen())
        return Failure{EBUSY, "Operation not valid while the port is opened"};
    if (number < 1 || number > 99)
        return Failure{EINVAL, "Invalid port number"};
    number_ = number;
    return std::nullopt;
}

MaybeFailure QtSerialPort::setSettings(const std::string &text)
{
    LineSettings ls;
    if (auto f = ParseLineSettings(text, ls))
        return f;
    settings_ = text;
    if (port_.isOpen())
        return applySettings();
    return std::nullopt;
}

MaybeFailure QtSerialPort::setRtsCtsHandshaking()
{
    rtsCts_ = true;
    if (port_.isOpen() && !port_.setFlowControl(QSerialPort::HardwareControl))
        return failure("The device refused RTS/CTS handshaking");
    return std::nullopt;
}

MaybeFailure QtSerialPort::clearInput()
{
    if (!port_.isOpen())
        return Failure{int(QSerialPort::NotOpenError), "Device is not open"};
    // What is thrown away is still read for the result codes first: a call
    // that dropped just now ("NO CARRIER" waiting unread) must not keep the
    // carrier taken from the answers.
    if (!modemLines_.hasLines())
        drainDevice();
    side_.clear();
    if (!port_.clear(QSerialPort::Input))
        return failure("The receive queue could not be cleared");
    return std::nullopt;
}

MaybeFailure QtSerialPort::write(std::string_view bytes)
{
    if (!port_.isOpen())
        return Failure{int(QSerialPort::NotOpenError), "Device is not open"};
    const qint64 n = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
    if (n != static_cast<qint64>(bytes.size()))
        return failure("The port could not be written");
    // Hand the bytes to the device now: the caller may block next. A device
    // that refuses them must not look like a sent frame.
    port_.flush();
    if (port_.error() == QSerialPort::WriteError || port_.error() == QSerialPort::ResourceError) {
        Failure f = failure("The port could not be written");
        port_.clearError();
        return f;
    }
    return std::nullopt;
}

std::string QtSerialPort::readAll()
{
    const QByteArray fresh = port_.readAll();
    std::string out;
    out.swap(side_);
    if (!modemLines_.hasLines())
        scanForCarrier(std::string_view(fresh.constData(), static_cast<std::size_t>(fresh.size())));
    out.append(fresh.constData(), static_cast<std::size_t>(fresh.size()));
    return out;
}

int QtSerialPort::bytesToWrite() const
{
    return static_cast<int>(port_.bytesToWrite());
}

bool QtSerialPort::carrierDetect()
{
    if (!port_.isOpen())
        return false;
    if (modemLines_.hasLines())
        return modemLines_.carrier(port_);
    drainDevice();
    return answerCarrier_.up();
}

void QtSerialPort::drainDevice()
{
    // QSerialPort's own non-blocking read: it takes what waits in the device
    // into its buffer without serving any other event. (A read behind its
    // back could leave its read notifier to meet an empty device.)
    for (int chunk = 0; chunk < 64 && port_.waitForReadyRead(0); ++chunk) {
    }
    port_.clearError(); // the zero wait reports a time-out when nothing came
    const QByteArray fresh = port_.readAll();
    if (fresh.isEmpty())
        return;
    scanForCarrier(std::string_view(fresh.constData(), static_cast<std::size_t>(fresh.size())));
    side_.append(fresh.constData(), static_cast<std::size_t>(fresh.size()));
    // Delivered as data at the next pump, not inside the caller's wait.
    onReadyRead();
}

void QtSerialPort::scanForCarrier(std::string_view bytes)
{
    for (int changes = answerCarrier_.feed(bytes); changes > 0; --changes)
        post(PortEvent::CarrierChanged);
}

void QtSerialPort::onError(QSerialPort::SerialPortError e)
{
    // The device went away (unplugged, the far end of a pseudo-terminal
    // closed): its read notifier would fire without end, so close the port.
    // A pseudo-terminal reports this as a read error (end of file), hence
    // the hang-up check.
    if (!port_.isOpen() || lossPosted_)
        return;
    if (e != QSerialPort::ResourceError && !(e == QSerialPort::ReadError && DeviceHungUp(port_)))
        return;
    lossPosted_ = true;
    QMetaObject::invokeMethod(
        &port_,
        [this] {
            lossPosted_ = false;
            if (!port_.isOpen())
                return;
            const bool hadLineCarrier = modemLines_.hadCarrier();
            close(); // reports a derived carrier itself
            // The carrier went with the device.
            if (hadLineCarrier)
                raise(PortEvent::CarrierChanged);
        },
        Qt::QueuedConnection);
}

void QtSerialPort::raise(PortEvent event)
{
    if (handler_)
        handler_(event);
}

void QtSerialPort::post(PortEvent event)
{
    QMetaObject::invokeMethod(
        &port_, [this, event] { raise(event); }, Qt::QueuedConnection);
}

void QtSerialPort::onReadyRead()
{
    // The handler runs from our own queued call, never inside QSerialPort's
    // signal: a handler that pumps (a modal box) would otherwise keep the
    // port from announcing what arrives meanwhile.
    if (dataPosted_)
        return;
    dataPosted_ = true;
    QMetaObject::invokeMethod(
        &port_,
        [this] {
            dataPosted_ = false;
            deliverData();
        },
        Qt::QueuedConnection);
}

void QtSerialPort::deliverData()
{
    if (!port_.isOpen() || (side_.empty() && port_.bytesAvailable() == 0))
        return;
    raise(PortEvent::DataReceived);
    // Whatever a handler left unread is announced again.
    if (port_.isOpen() && (!side_.empty() || port_.bytesAvailable() > 0))
        onReadyRead();
}

void QtSerialPort::poll()
{
    modemLines_.poll(port_, [this](PortEvent event) { raise(event); });
}

} // namespace qm
