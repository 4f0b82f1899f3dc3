#pragma once
// The real serial port over QSerialPort.
//
// COM n is the device ComPortDevice names. Events are raised from the event
// loop only: data received as soon as one byte waits; modem-line changes and
// line-error counters polled every 100 ms where the device reports them.
//
// A device without modem lines (a pseudo-terminal, some USB adapters) gets
// its carrier from the result codes passing through: a line holding
// "CONNECT" raises it, "NO CARRIER" drops it (AnswerCarrier), each with a
// carrier event.
// Carrier queries look at what waits in the device, so a caller blocked
// without pumping still sees a CONNECT; those bytes are kept and delivered
// as data at the next pump. Clearing the input reads what it throws away
// for the result codes first.

#include "platform/serialport.h"
#include "pure/answercarrier.h"
#include "qt/platform/modemlines.h"

#include <QSerialPort>
#include <QTimer>

#include <functional>
#include <string>

namespace qm
{

class QtSerialPort final : public SerialPort
{
public:
    // `programFolder` (with its trailing separator) is where COM n links
    // lie. It is fixed: moving the outbox and logs (AppPath) never moves the
    // modem.
    explicit QtSerialPort(std::string programFolder);
    ~QtSerialPort() override;

    bool isOpen() const override { return port_.isOpen(); }
    MaybeFailure open() override;
    MaybeFailure close() override;
    int portNumber() const override { return number_; }
    MaybeFailure setPortNumber(int number) override;
    std::string settings() const override { return settings_; }
    MaybeFailure setSettings(const std::string &text) override;
    MaybeFailure setRtsCtsHandshaking() override;
    // Every read takes everything waiting: the only length the gateway sets.
    void setReadLength(int) override {}
    MaybeFailure clearInput() override;
    MaybeFailure write(std::string_view bytes) override;
    std::string readAll() override;
    int bytesToWrite() const override;
    bool carrierDetect() override;
    void setEventHandler(EventHandler handler) override { handler_ = std::move(handler); }

    // The device path COM n stands for now.
    std::string devicePath(int number) const;

private:
    MaybeFailure applySettings();
    Failure failure(const char *what) const;
    void raise(PortEvent event);
    void post(PortEvent event);
    void onReadyRead();
    void onError(QSerialPort::SerialPortError e);
    void deliverData();
    void poll();
    // Takes in what waits in the device without serving any event.
    void drainDevice();
    void scanForCarrier(std::string_view bytes);

    std::string programFolder_;
    QSerialPort port_;
    QTimer poll_;
    EventHandler handler_;
    int number_ = 1;
    std::string settings_ = "9600,N,8,1";
    bool rtsCts_ = false;

    ModemLines modemLines_;

    // Without modem lines: bytes taken from the device but not yet read, and
    // the carrier the answers among them gave.
    std::string side_;
    AnswerCarrier answerCarrier_;
    bool dataPosted_ = false;
    bool lossPosted_ = false;
};

} // namespace qm
