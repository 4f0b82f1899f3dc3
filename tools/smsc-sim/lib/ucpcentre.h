#pragma once
// A UCP SMS Centre for the simulator. It finds STX...ETX frames in the byte
// stream (bytes between frames are noise and dropped), checks the checksum and
// LEN, decodes operation types 01, 03, 30 and 51 in the layouts the gateway
// sends, and answers like a centre does, with the frame's TRN and OT:
//   01/03 accepted:  TRN/LEN/R/OT/A/<SM>/CS
//   30/51 accepted:  TRN/LEN/R/OT/A//<SM>/CS      (SM = recipient ":" timestamp)
//   refused:         TRN/LEN/R/OT/N/<EC>//CS      (empty SM)
// Error codes used: 01 checksum error, 02 syntax error, 03 operation not
// supported, 06 AdC invalid, 07 authentication failure, 08 legitimisation
// code failure (or whatever code the Reject scenario names).
//
// The decoder is independent of the gateway's frame builder on purpose, so a
// build-then-decode round trip checks something.

#include "centre.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qm::sim
{

struct UcpCentreOptions {
    enum class Mode {
        Accept,  // judge each frame on its merits (the default)
        Reject,  // refuse every well-formed frame with `rejectCode`
        Silent,  // answer nothing (frames are recorded as "ignored")
        Garbage, // answer with line noise that holds no frame
        Half,    // answer with the first half of a positive answer, never the rest
    };
    Mode mode = Mode::Accept;
    std::string rejectCode = "04"; // two digits, used by Mode::Reject
    // Each answer is sent in this many pieces (at least 1), the first after
    // `replyDelay`, the others `pieceGap` apart.
    int replyPieces = 1;
    std::chrono::milliseconds replyDelay{300};
    std::chrono::milliseconds pieceGap{50};
    // When not empty, the AC of 03 and 51 must equal it (else error 07), and
    // the legitimisation code of 03 must equal `legitimizationCode` (else 08).
    std::string authenticationCode;
    std::string legitimizationCode;
    bool checkAuthentication = false;
    // Timestamp in the SM of a positive answer (DDMMYYhhmmss).
    std::function<std::string()> timestamp = [] { return std::string("061206120000"); };
    // A frame growing past this many bytes without ETX is dropped as noise.
    std::size_t maxFrameBytes = 16384;
};

// One decoded frame, or why it was refused.
struct UcpDecoded {
    bool ok = false;
    std::string errorCode; // "01", "02", ... when !ok
    std::string reason;    // human-readable, when !ok
    // As found, "00" when unreadable.
    std::string trn = "00";
    std::string ot = "00";
    std::string recipient; // AdC without ",legitimisation"
    std::string text;      // decoded message bytes
    std::string authenticationCode;
    std::string legitimizationCode;
};

// Decodes the bytes between STX and ETX (both excluded). Never throws.
UcpDecoded DecodeUcpFrame(std::string_view inner);

// The answer frame (STX...ETX) to a decoded frame. `errorCode` empty means
// positive; `sm` is the SM field of a positive answer.
std::string BuildUcpAnswer(std::string_view trn, std::string_view ot, std::string_view errorCode,
                           std::string_view sm);

class UcpCentre final : public SmsCentre
{
public:
    explicit UcpCentre(UcpCentreOptions options = {}, Recorder *recorder = nullptr);

    std::vector<Reply> feed(std::string_view bytes) override;
    void onHangup() override;

private:
    std::vector<Reply> handleFrame(std::string_view inner);

    UcpCentreOptions options_;
    Recorder *recorder_;
    bool inFrame_ = false;
    std::string frame_;
};

} // namespace qm::sim
