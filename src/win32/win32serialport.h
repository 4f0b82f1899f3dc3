#pragma once
// The real serial port on the Win32 comm API.
//
// COM n is \\.\COMn (the prefix reaches COM10 and above too). A reader
// thread reads the port with an interval and a total time-out and hands
// what arrived to the UI thread as a port event, through the MessageWindow:
// events are served only while the UI thread pumps (a modal box's loop
// included). Between reads the thread looks at the modem lines (CTS, DSR,
// carrier, ring) and the line errors and raises an event for each change.
// Writes are made on the calling thread and return once the bytes are out.
//
// A port without modem lines (GetCommModemStatus fails: Wine's
// pseudo-terminals, some USB adapters) gets its carrier from the result
// codes passing through (AnswerCarrier), as on Linux: a line holding
// "CONNECT" raises it, "NO CARRIER" drops it, each with a carrier event.
// Carrier queries take in what the reader has received, so a caller blocked
// without pumping (the dial's carrier wait) still sees a CONNECT; those
// bytes are kept and delivered as data at the next pump. Clearing the input
// reads what it throws away for the result codes first.

#include "platform/serialport.h"
#include "pure/answercarrier.h"
#include "win32/messagewindow.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qm
{

class Win32SerialPort final : public SerialPort
{
public:
    // `programFolder` is handed to ComPortDevice (on Windows COM n is the
    // system's COMn whatever the folder).
    Win32SerialPort(MessageWindow &ui, std::string programFolder);
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort &) = delete;
    Win32SerialPort &operator=(const Win32SerialPort &) = delete;

    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
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

    // The path opened for COM n.
    std::string devicePath(int number) const;
    // Whether the open port reports modem lines (else the carrier follows
    // the answers).
    bool hasModemLines() const { return hasLines_; }

private:
    MaybeFailure applySettings();
    void readerLoop(HANDLE port, HANDLE stop, DWORD lines);
    // Reader thread: modem line changes and line errors as events.
    void watchLines(HANDLE port, DWORD &lines);
    // Line errors since the last look, as events (either thread); gives the
    // COMSTAT it read.
    COMSTAT takeLineErrors(HANDLE port) const;
    void queueEvent(PortEvent event) const;
    void notifyUi() const;
    // UI thread.
    void serve();
    void takeIncoming();
    void raise(PortEvent event);
    void postCarrierChange();
    void onDeviceLost();
    void stopReader();

    MessageWindow &ui_;
    std::string programFolder_;
    EventHandler handler_;
    int number_ = 1;
    std::string settings_ = "9600,N,8,1";
    bool rtsCts_ = false;

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr; // tells the reader to end
    HANDLE writeDone_ = nullptr;
    std::thread reader_;
    bool hasLines_ = false;
    std::atomic<bool> lineCarrier_{false}; // the carrier line as last read

    // Handed from the reader to the UI thread.
    mutable std::mutex mutex_;
    std::string incoming_;
    mutable std::vector<PortEvent> events_;
    bool lost_ = false;
    mutable std::atomic<bool> notified_{false};

    // UI thread: bytes taken in but not yet read, and the carrier the
    // answers among them gave.
    std::string side_;
    AnswerCarrier answerCarrier_;
};

} // namespace qm
