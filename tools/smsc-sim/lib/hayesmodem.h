#pragma once
// A Hayes-command modem as seen from the serial line: command mode with echo,
// result codes in verbose form, a dial whose outcome the scenario fixes, and a
// data mode that hands the caller's bytes to an SmsCentre. A pure state
// machine: the transport tells it the time and the bytes that came in, and
// takes from it the bytes that are due and the carrier state.

#include "centre.h"

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace qm::sim
{

// Time since the transport's own start.
using SimTime = std::chrono::milliseconds;

enum class DialResult { Connect, Busy, NoCarrier, NoDialtone, Error, Silent };

// "connect", "busy", "no-carrier", "no-dialtone", "error", "silent".
std::optional<DialResult> ParseDialResult(std::string_view name);
std::string_view DialResultName(DialResult result);

struct ModemScenario {
    DialResult result = DialResult::Connect;
    // From the end of the dial command to the result code (and carrier).
    std::chrono::milliseconds connectDelay{1000};
    int speed = 9600;
    // The stored echo setting, in force at power-up and after ATZ.
    bool echo = true;
    // When set, the far end drops every call this long after CONNECT.
    std::optional<std::chrono::milliseconds> dropAfter;
    // The carrier line rises this long after CONNECT; never when empty (a
    // modem that reports a connection its line does not hold).
    std::optional<std::chrono::milliseconds> carrierDelay{std::chrono::milliseconds(0)};
};

class HayesModem
{
public:
    enum class State { Command, Dialling, Online };

    // `centre` and `recorder` may be null; both must outlive the modem.
    explicit HayesModem(ModemScenario scenario, SmsCentre *centre = nullptr,
                        Recorder *recorder = nullptr);

    // Bytes from the computer, arriving at `now`.
    void input(SimTime now, std::string_view bytes);
    // Brings the state up to `now` (a dial completing, say).
    void advance(SimTime now);
    // Removes and returns the bytes due for the computer by `now`, in order.
    std::string takeOutput(SimTime now);
    // When something next happens by itself (output due, dial completing).
    std::optional<SimTime> nextDue() const;

    bool carrier(SimTime now)
    {
        advance(now);
        return carrier_;
    }
    State state() const { return state_; }
    bool echo() const { return echo_; }

    // The far end ends the call: "NO CARRIER", back to command mode.
    void dropCarrier(SimTime now);
    // The computer closed the port (DTR dropped): any call ends, the command
    // line is forgotten and undelivered output is discarded.
    void portClosed(SimTime now);

private:
    struct Output {
        SimTime due;
        std::string bytes;
    };
    void completeDial(SimTime now);
    void emit(SimTime due, std::string bytes);
    void result(SimTime due, std::string_view code);
    void commandByte(SimTime now, char c);
    void commandLine(SimTime now, std::string line);
    void hangup(SimTime now, std::string_view reason);
    void record(std::string kind, std::map<std::string, std::string> fields = {});

    ModemScenario scenario_;
    SmsCentre *centre_;
    Recorder *recorder_;
    State state_ = State::Command;
    bool echo_;
    bool carrier_ = false;
    std::string line_;
    std::optional<SimTime> dialDoneAt_;
    std::optional<SimTime> dropAt_;
    std::optional<SimTime> carrierAt_;
    std::deque<Output> out_;
};

} // namespace qm::sim
