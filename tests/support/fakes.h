#pragma once
// Fakes for the seams, with hooks to push bytes and faults. Each records what
// the core did to it so tests assert on behaviour.

#include "core/gateway.h"
#include "platform/filedialog.h"
#include "simworld.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qm::test
{

struct Notice {
    std::string title;
    std::string text;
    bool question;
    bool operator==(const Notice &) const = default;
};

class FakeNotifier final : public Notifier
{
public:
    void message(const std::string &title, const std::string &text, NoticeIcon) override
    {
        notices.push_back({title, text, false});
        std::exchange(duringBox, [] {})(); // a modal box runs the event loop
    }
    bool askYesNo(const std::string &title, const std::string &text) override
    {
        notices.push_back({title, text, true});
        return answerYes;
    }
    std::vector<Notice> notices;
    bool answerYes = true;
    std::function<void()> duringBox = [] {}; // once, while the next box is open
};

// Records each question ("preset filter") and gives `answer`.
struct FakeFileDialog : FileDialog {
    std::optional<std::string> askOpenFile(const std::string &preset,
                                           const std::string &filter) override
    {
        asked.push_back(preset + " " + filter);
        return answer;
    }
    std::vector<std::string> asked;
    std::optional<std::string> answer;
};

struct FakeStatusLine final : StatusLine {
    void setText(const std::string &text) override { shown = text; }
    std::string text() const override { return shown; }
    std::string shown = "Status";
};

struct FakeConsoleFields final : ConsoleFields {
    std::string SMSCenterNumber, Protocol, OperationType, AuthenticationCode, LegitimizationCode,
        Stored, Delivered, BaudRate, SMSType;
    int ModemIndex = -1;
    std::function<void()> whenCodeRead = [] {}; // at each read of the code

    std::string smsCenterNumber() const override { return SMSCenterNumber; }
    std::string protocol() const override { return Protocol; }
    std::string operationType() const override { return OperationType; }
    std::string authenticationCode() const override
    {
        whenCodeRead();
        return AuthenticationCode;
    }
    std::string legitimizationCode() const override { return LegitimizationCode; }
    std::string storedText() const override { return Stored; }
    std::string deliveredText() const override { return Delivered; }
    int modemIndex() const override { return ModemIndex; }
    std::string baudRate() const override { return BaudRate; }
    std::string smsType() const override { return SMSType; }
};

// A serial port that records every operation. Settings are validated with the
// same parser as the real port. Faults are injected per operation name
// ("open", "close", "write", "clearInput", "setSettings", "setPortNumber",
// "setRtsCtsHandshaking"): failOnce fails the next call, failAlways every call.
class FakeSerialPort : public SerialPort
{
public:
    explicit FakeSerialPort(SimWorld &world) : world_(world) {}

    bool isOpen() const override { return open_; }
    MaybeFailure open() override
    {
        return open_ ? Failure{8005, "Port already open"}
                     : act("open", false, [this] { open_ = true; });
    }
    MaybeFailure close() override
    {
        return act("close", false, [this] { open_ = false; });
    }
    int portNumber() const override { return number_; }
    MaybeFailure setPortNumber(int number) override;
    std::string settings() const override { return settings_; }
    MaybeFailure setSettings(const std::string &text) override;
    MaybeFailure setRtsCtsHandshaking() override
    {
        return act("setRtsCtsHandshaking", false, [this] { rtsCts = true; });
    }
    void setReadLength(int) override { calls.push_back("setReadLength"); }
    MaybeFailure clearInput() override
    {
        return act("clearInput", true, [this] { rx.clear(); });
    }
    MaybeFailure write(std::string_view bytes) override
    {
        return act("write", true, [&] { written += bytes; });
    }
    std::string readAll() override;
    int bytesToWrite() const override { return pendingOut; }
    bool carrierDetect() override { return carrier; }
    void setEventHandler(EventHandler handler) override { handler_ = std::move(handler); }

    // Test hooks.
    // Raises a port event now, as the platform would during a pump.
    void raise(PortEvent event);
    void failOnce(const std::string &op, Failure f) { once_[op] = std::move(f); }
    void failAlways(const std::string &op, Failure f) { always_[op] = std::move(f); }

    std::vector<std::string> calls; // operation names in order
    std::string written;            // everything written while open
    std::string rx;                 // unread input held by the port
    bool carrier = false;
    bool rtsCts = false;
    int pendingOut = 0;

protected:
    // The injected fault for `op`, if any; else, for `needsOpen`, the closed-port failure.
    MaybeFailure fault(const std::string &op, bool needsOpen = false);
    // Records `op` and does `what` unless a fault answers instead.
    template <typename What> MaybeFailure act(const std::string &op, bool needsOpen, What what)
    {
        if (auto f = fault(op, needsOpen))
            return f;
        what();
        return std::nullopt;
    }
    SimWorld &world_;
    EventHandler handler_;
    bool open_ = false;
    int number_ = 1;
    std::string settings_ = "9600,N,8,1";
    std::map<std::string, Failure> once_, always_;
};

// Everything a core routine needs, over a temporary program folder.
struct TestGateway {
    TestGateway();
    ~TestGateway();

    std::string readFile(std::string_view name) const;

    std::filesystem::path dir;
    SimWorld world;
    SimTimer CheckPendingSMS{world, 1000}, sec1{world, 1000}, sec2{world, 2000}, sec4{world, 4000},
        sec8{world, 8000}, sec10{world, 60000};
    ConsoleTimers timers{CheckPendingSMS, sec1, sec2, sec4, sec8, sec10};
    FakeSerialPort port{world};
    FakeNotifier notifier;
    FakeStatusLine status;
    FakeConsoleFields fields;
    Gateway gw;
};

} // namespace qm::test
