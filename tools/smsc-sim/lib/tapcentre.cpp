#include "tapcentre.h"

#include <algorithm>

namespace qm::sim
{

namespace
{

constexpr char STX = '\x02';
constexpr char ETX = '\x03';
constexpr char EOT = '\x04';
constexpr char ACK = '\x06';
constexpr char CR = '\r';
constexpr char NAK = '\x15';
constexpr char ESC = '\x1b';
constexpr char RS = '\x1e';

bool ValidPagerId(std::string_view id)
{
    if (!id.empty() && id.front() == '+')
        id.remove_prefix(1);
    return !id.empty() &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

TapDecoded DecodeTapBlock(std::string_view block)
{
    TapDecoded d;
    // STX, at least "x" CR CR for the fields... ETX, three checksum bytes, CR.
    if (block.size() < 6 || block.front() != STX || block.back() != CR ||
        block[block.size() - 5] != ETX) {
        d.reason = "not a block";
        return d;
    }
    unsigned sum = 0;
    for (const char c : block.substr(0, block.size() - 4))
        sum += static_cast<unsigned char>(c);
    const std::string_view got = block.substr(block.size() - 4, 3);
    for (int i = 0; i < 3; ++i) {
        const unsigned nibble = (sum >> (8 - 4 * i)) & 0xF;
        if (static_cast<unsigned char>(got[static_cast<std::size_t>(i)]) != '0' + nibble) {
            d.status = TapDecoded::Status::BadChecksum;
            d.reason = "checksum error";
            return d;
        }
    }
    std::string_view content = block.substr(1, block.size() - 6);
    if (content.empty() || content.back() != CR) {
        d.reason = "last field not ended by CR";
        return d;
    }
    content.remove_suffix(1);
    const std::size_t cr = content.find(CR);
    if (cr == std::string_view::npos) {
        d.reason = "no message field";
        return d;
    }
    d.recipient = std::string(content.substr(0, cr));
    d.text = std::string(content.substr(cr + 1));
    if (!ValidPagerId(d.recipient)) {
        d.status = TapDecoded::Status::InvalidRecipient;
        d.reason = "invalid pager id";
        return d;
    }
    d.status = TapDecoded::Status::Ok;
    return d;
}

TapCentre::TapCentre(TapCentreOptions options, Recorder *recorder)
    : options_(std::move(options)), recorder_(recorder)
{
}

std::vector<Reply> TapCentre::onConnect()
{
    onHangup();
    return {};
}

void TapCentre::onHangup()
{
    state_ = State::Prompting;
    promptsSeen_ = 0;
    pending_.clear();
    inBlock_ = false;
    etxAt_ = std::string::npos;
    sawEot_ = false;
}

void TapCentre::answer(std::vector<Reply> &out, const std::string &bytes, int order) const
{
    const auto base = options_.replyDelay + options_.pieceGap * order;
    const std::size_t pieces = std::clamp<std::size_t>(
        static_cast<std::size_t>(std::max(options_.replyPieces, 1)), 1, bytes.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < pieces; ++i) {
        const std::size_t end = bytes.size() * (i + 1) / pieces;
        out.push_back(
            {base + options_.pieceGap * static_cast<int>(i), bytes.substr(start, end - start)});
        start = end;
    }
}

std::vector<Reply> TapCentre::feed(std::string_view bytes)
{
    std::vector<Reply> out;
    for (const char c : bytes) {
        switch (state_) {
        case State::Prompting:
            if (c == CR && ++promptsSeen_ > options_.ignoredPrompts) {
                answer(out, "ID=", static_cast<int>(out.size()));
                state_ = State::AwaitingLogin;
                pending_.clear();
            }
            break;
        case State::AwaitingLogin:
            if (c != CR) {
                pending_ += c;
                if (pending_.size() > options_.maxBlockBytes)
                    pending_.clear();
                break;
            }
            handleLoginLine(out, pending_);
            pending_.clear();
            break;
        case State::LoggedIn:
            if (!inBlock_) {
                if (c == STX) {
                    inBlock_ = true;
                    etxAt_ = std::string::npos;
                    pending_.assign(1, STX);
                } else if (c == EOT) {
                    sawEot_ = true;
                } else if (c == CR && sawEot_) {
                    answer(out, std::string{ESC, EOT, CR}, static_cast<int>(out.size()));
                    state_ = State::Done;
                } else {
                    sawEot_ = false;
                }
                break;
            }
            if (c == STX && etxAt_ == std::string::npos) {
                // A new block starts; the broken one is dropped.
                pending_.assign(1, STX);
                break;
            }
            pending_ += c;
            if (c == ETX && etxAt_ == std::string::npos)
                etxAt_ = pending_.size() - 1;
            if (etxAt_ != std::string::npos && pending_.size() == etxAt_ + 5) {
                handleBlock(out, pending_);
                inBlock_ = false;
                pending_.clear();
            } else if (pending_.size() > options_.maxBlockBytes) {
                handleBlock(out, pending_); // refused as not a block
                inBlock_ = false;
                pending_.clear();
            }
            break;
        case State::Done:
            break;
        }
    }
    return out;
}

void TapCentre::handleLoginLine(std::vector<Reply> &out, const std::string &line)
{
    const int order = static_cast<int>(out.size());
    if (line.empty()) { // another prompt
        answer(out, "ID=", order);
        return;
    }
    // Anything before the last ESC is noise; a line without a login is ignored.
    const std::size_t esc = line.rfind(ESC);
    if (esc == std::string::npos || line.compare(esc + 1, 3, "PG1") != 0)
        return;
    const std::string password = line.substr(esc + 4);
    SimEvent event{"login", {{"protocol", "TAP"}}};
    if (options_.login == TapCentreOptions::Login::Disconnect) {
        event.fields["result"] = "disconnected";
        answer(out, std::string{ESC, EOT, CR}, order);
        state_ = State::Done;
    } else if (options_.login == TapCentreOptions::Login::Check && password == options_.password) {
        event.fields["result"] = "accepted";
        answer(out, std::string{ACK, CR}, order);
        if (options_.goAhead) {
            const std::size_t first = out.size();
            answer(out, std::string{ESC, '[', 'p', CR}, order);
            for (std::size_t i = first; i < out.size(); ++i)
                out[i].delay += options_.goAheadDelay;
        }
        state_ = State::LoggedIn;
    } else {
        event.fields["result"] = "refused";
        answer(out, std::string{NAK, CR}, order);
    }
    if (recorder_)
        recorder_->record(event);
}

void TapCentre::handleBlock(std::vector<Reply> &out, const std::string &block)
{
    const TapDecoded d = DecodeTapBlock(block);
    SimEvent event{"refused", {{"protocol", "TAP"}}};
    std::string reply{NAK, CR};
    std::string reason = d.reason;
    if (d.status == TapDecoded::Status::Ok || d.status == TapDecoded::Status::InvalidRecipient) {
        event.fields["recipient"] = d.recipient;
        event.fields["text"] = d.text;
    }
    if (options_.blocks == TapCentreOptions::Blocks::Nak) {
        reason = "refused by scenario (NAK)";
    } else if (d.status == TapDecoded::Status::Ok &&
               options_.blocks == TapCentreOptions::Blocks::Refuse) {
        reply = std::string{RS, CR};
        reason = "refused by scenario (RS)";
    } else if (d.status == TapDecoded::Status::Ok) {
        event.kind = "accepted";
        reply = std::string{ACK, CR};
    } else if (d.status == TapDecoded::Status::InvalidRecipient) {
        reply = std::string{RS, CR};
    }
    if (event.kind == "refused") {
        event.fields["reason"] = reason;
        event.fields["code"] = reply[0] == RS ? "RS" : "NAK";
    }
    if (recorder_)
        recorder_->record(event);
    answer(out, reply, static_cast<int>(out.size()));
}

} // namespace qm::sim
