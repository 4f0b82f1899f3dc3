#include "hayesmodem.h"

#include "pure/text.h"

#include <algorithm>
#include <cctype>

namespace qm::sim
{
namespace
{

constexpr std::size_t MaxCommandLine = 256;

std::string upper(std::string_view s)
{
    std::string u(s);
    for (char &c : u)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

} // namespace

std::optional<DialResult> ParseDialResult(std::string_view name)
{
    for (DialResult r : {DialResult::Connect, DialResult::Busy, DialResult::NoCarrier,
                         DialResult::NoDialtone, DialResult::Error, DialResult::Silent})
        if (DialResultName(r) == name)
            return r;
    return std::nullopt;
}

std::string_view DialResultName(DialResult result)
{
    switch (result) {
    case DialResult::Connect:
        return "connect";
    case DialResult::Busy:
        return "busy";
    case DialResult::NoCarrier:
        return "no-carrier";
    case DialResult::NoDialtone:
        return "no-dialtone";
    case DialResult::Error:
        return "error";
    case DialResult::Silent:
        return "silent";
    }
    return "?";
}

HayesModem::HayesModem(ModemScenario scenario, SmsCentre *centre, Recorder *recorder)
    : scenario_(scenario), centre_(centre), recorder_(recorder), echo_(scenario.echo)
{
}

void HayesModem::record(std::string kind, std::map<std::string, std::string> fields)
{
    if (recorder_)
        recorder_->record(SimEvent{std::move(kind), std::move(fields)});
}

void HayesModem::emit(SimTime due, std::string bytes)
{
    if (bytes.empty())
        return;
    // A serial line keeps order: nothing overtakes what was queued before it.
    if (!out_.empty())
        due = std::max(due, out_.back().due);
    out_.push_back({due, std::move(bytes)});
}

void HayesModem::result(SimTime due, std::string_view code)
{
    emit(due, "\r\n" + std::string(code) + "\r\n");
}

void HayesModem::advance(SimTime now)
{
    completeDial(now);
    if (carrierAt_ && *carrierAt_ <= now && state_ == State::Online) {
        carrierAt_.reset();
        carrier_ = true;
    }
    if (dropAt_ && *dropAt_ <= now && state_ == State::Online) {
        const SimTime at = *dropAt_;
        dropAt_.reset();
        hangup(at, "remote");
        result(at, "NO CARRIER");
    }
}

void HayesModem::completeDial(SimTime now)
{
    if (state_ != State::Dialling || !dialDoneAt_ || *dialDoneAt_ > now)
        return;
    const SimTime at = *dialDoneAt_;
    dialDoneAt_.reset();
    switch (scenario_.result) {
    case DialResult::Connect:
        state_ = State::Online;
        if (scenario_.carrierDelay)
            carrierAt_ = at + *scenario_.carrierDelay;
        result(at, "CONNECT " + std::to_string(scenario_.speed));
        record("connect", {{"speed", std::to_string(scenario_.speed)}});
        if (scenario_.dropAfter)
            dropAt_ = at + *scenario_.dropAfter;
        if (centre_)
            for (Reply &r : centre_->onConnect())
                emit(at + r.delay, std::move(r.bytes));
        advance(now);
        return;
    case DialResult::Busy:
        result(at, "BUSY");
        break;
    case DialResult::NoCarrier:
        result(at, "NO CARRIER");
        break;
    case DialResult::NoDialtone:
        result(at, "NO DIALTONE");
        break;
    case DialResult::Error:
        result(at, "ERROR");
        break;
    case DialResult::Silent:
        return; // never completes
    }
    state_ = State::Command;
    record("result", {{"code", std::string(DialResultName(scenario_.result))}});
}

void HayesModem::input(SimTime now, std::string_view bytes)
{
    advance(now);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        switch (state_) {
        case State::Command:
            commandByte(now, bytes[i]);
            break;
        case State::Dialling:
            // Any character from the computer aborts a dial in progress.
            dialDoneAt_.reset();
            state_ = State::Command;
            result(now, "NO CARRIER");
            record("result", {{"code", "aborted"}});
            break;
        case State::Online: {
            const std::string_view data = bytes.substr(i);
            record("received", {{"bytes", std::string(data)}});
            if (centre_)
                for (Reply &r : centre_->feed(data))
                    emit(now + r.delay, std::move(r.bytes));
            return;
        }
        }
    }
}

void HayesModem::commandByte(SimTime now, char c)
{
    if (echo_)
        emit(now, std::string(1, c));
    if (c == '\r') {
        std::string line;
        line.swap(line_);
        commandLine(now, std::move(line));
    } else if (c == '\b') {
        if (!line_.empty())
            line_.pop_back();
    } else if (c != '\n' && line_.size() < MaxCommandLine) {
        line_ += c;
    }
}

void HayesModem::commandLine(SimTime now, std::string line)
{
    line = std::string(TrimSpaces(line));
    const std::string cmd = upper(line);
    if (cmd.size() < 2 || cmd.compare(0, 2, "AT") != 0)
        return; // not addressed to the modem
    record("command", {{"line", line}});

    // Commands follow one another after AT; D takes the rest of the line.
    std::size_t i = 2;
    auto number = [&](int fallback) {
        int v = 0;
        bool any = false;
        while (i < cmd.size() && std::isdigit(static_cast<unsigned char>(cmd[i]))) {
            v = v * 10 + (cmd[i++] - '0');
            any = true;
            if (v > 255)
                return -1;
        }
        return any ? v : fallback;
    };
    while (i < cmd.size()) {
        const char letter = cmd[i++];
        switch (letter) {
        case ' ':
            break;
        case 'E': {
            const int v = number(0);
            if (v != 0 && v != 1)
                return result(now, "ERROR");
            echo_ = v == 1;
            break;
        }
        case 'H':
            if (number(0) != 0)
                return result(now, "ERROR");
            break; // on hook already: command mode means no call is up
        case 'Z':
            number(0);
            echo_ = scenario_.echo;
            break;
        case 'Q':
        case 'V':
        case 'X':
        case 'L':
        case 'M':
            if (number(0) < 0)
                return result(now, "ERROR");
            break;
        case 'D': {
            std::string dialled(TrimSpaces(std::string_view(line).substr(i)));
            if (!dialled.empty() &&
                (dialled[0] == 'T' || dialled[0] == 't' || dialled[0] == 'P' || dialled[0] == 'p'))
                dialled.erase(0, 1);
            dialled = std::string(TrimSpaces(dialled));
            record("dial", {{"number", dialled},
                            {"result", std::string(DialResultName(scenario_.result))}});
            state_ = State::Dialling;
            dialDoneAt_ = now + scenario_.connectDelay;
            if (scenario_.result == DialResult::Silent)
                dialDoneAt_.reset();
            advance(now);
            return;
        }
        default:
            return result(now, "ERROR");
        }
    }
    result(now, "OK");
}

std::string HayesModem::takeOutput(SimTime now)
{
    advance(now);
    std::string bytes;
    while (!out_.empty() && out_.front().due <= now) {
        bytes += out_.front().bytes;
        out_.pop_front();
    }
    return bytes;
}

std::optional<SimTime> HayesModem::nextDue() const
{
    std::optional<SimTime> next = dialDoneAt_;
    if (dropAt_ && (!next || *dropAt_ < *next))
        next = dropAt_;
    if (carrierAt_ && (!next || *carrierAt_ < *next))
        next = carrierAt_;
    if (!out_.empty() && (!next || out_.front().due < *next))
        next = out_.front().due;
    return next;
}

void HayesModem::hangup(SimTime, std::string_view reason)
{
    const bool wasOnline = state_ == State::Online;
    state_ = State::Command;
    carrier_ = false;
    dialDoneAt_.reset();
    dropAt_.reset();
    carrierAt_.reset();
    if (wasOnline && centre_)
        centre_->onHangup();
    record("hangup", {{"reason", std::string(reason)}});
}

void HayesModem::dropCarrier(SimTime now)
{
    advance(now);
    if (state_ != State::Online)
        return;
    hangup(now, "remote");
    result(now, "NO CARRIER");
}

void HayesModem::portClosed(SimTime now)
{
    advance(now);
    if (state_ != State::Command)
        hangup(now, "port closed");
    line_.clear();
    out_.clear();
}

} // namespace qm::sim
