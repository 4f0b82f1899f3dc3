#pragma once
// A TAP SMS Centre for the simulator.
//
// Dialogue (bytes the caller sends -> what the centre answers):
//   CR                      -> "ID="   (the first `ignoredPrompts` CRs get nothing)
//   ESC "PG1" password CR   -> ACK CR, then ESC "[p" CR (the go-ahead)
//                              NAK CR when the password is wrong (try again)
//                              ESC EOT CR when told to disconnect
//   CR (after "ID=")        -> "ID=" again; other lines before the login are ignored
//   STX id CR text CR ETX c1 c2 c3 CR (a block, once logged in)
//                           -> ACK CR accepted, NAK CR bad checksum or
//                              malformed block (resend), RS CR refused
//                              (invalid pager id, or by scenario)
//   EOT CR                  -> ESC EOT CR, and the centre is done
// Bytes outside these (noise, a modem's "ATH") are dropped.
//
// The block decoder is independent of the gateway's block builder on purpose.

#include "centre.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qm::sim
{

struct TapCentreOptions {
    std::string password;   // expected after ESC "PG1"
    int ignoredPrompts = 0; // CRs left unanswered before the first "ID="
    enum class Login {
        Check,      // ACK for the right password, NAK otherwise
        Refuse,     // NAK whatever the password
        Disconnect, // ESC EOT CR whatever the password; the centre is done
    };
    Login login = Login::Check;
    bool goAhead = true; // send ESC "[p" CR after a login ACK
    // The go-ahead comes this much later than the ACK (a slow centre).
    std::chrono::milliseconds goAheadDelay{0};
    enum class Blocks {
        Check,  // ACK a good block, NAK a bad checksum
        Nak,    // NAK every block
        Refuse, // RS for every block with a good checksum
    };
    Blocks blocks = Blocks::Check;
    // Each answer is sent in this many pieces (at least 1), the first after
    // `replyDelay`, the others `pieceGap` apart.
    int replyPieces = 1;
    std::chrono::milliseconds replyDelay{200};
    std::chrono::milliseconds pieceGap{50};
    // A login line or block growing past this is dropped (and a block NAKed).
    std::size_t maxBlockBytes = 16384;
};

struct TapDecoded {
    enum class Status {
        Ok,
        BadChecksum,      // answered NAK: the caller may resend
        Malformed,        // no recipient and text fields; answered NAK
        InvalidRecipient, // not "+"? digits; answered RS
    };
    Status status = Status::Malformed;
    std::string reason;
    std::string recipient;
    std::string text; // every field after the first, joined by CR
};

// Decodes one block: STX through the CR after the checksum. Never throws.
TapDecoded DecodeTapBlock(std::string_view block);

class TapCentre final : public SmsCentre
{
public:
    explicit TapCentre(TapCentreOptions options = {}, Recorder *recorder = nullptr);

    std::vector<Reply> onConnect() override;
    std::vector<Reply> feed(std::string_view bytes) override;
    void onHangup() override;

    enum class State { Prompting, AwaitingLogin, LoggedIn, Done };
    State state() const { return state_; }

private:
    void answer(std::vector<Reply> &out, const std::string &bytes, int order) const;
    void handleLoginLine(std::vector<Reply> &out, const std::string &line);
    void handleBlock(std::vector<Reply> &out, const std::string &block);

    TapCentreOptions options_;
    Recorder *recorder_;
    State state_ = State::Prompting;
    int promptsSeen_ = 0;
    std::string pending_; // the login line or block being collected
    bool inBlock_ = false;
    std::size_t etxAt_ = std::string::npos; // ETX position in a block
    bool sawEot_ = false;
};

} // namespace qm::sim
