#include "ucpcentre.h"
#include "pure/text.h"

#include <algorithm>

namespace qm::sim
{

namespace
{

constexpr char STX = '\x02';
constexpr char ETX = '\x03';

bool AllDigits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// LEN counts the characters between STX and ETX in a field of exactly five
// digits; any other form is refused, as a real centre does.
bool LengthMatches(std::string_view len, std::size_t frameLength)
{
    return len.size() == 5 && AllDigits(len) && std::stoul(std::string(len)) == frameLength;
}

bool IsTwoDigits(std::string_view s)
{
    return s.size() == 2 && AllDigits(s);
}

// IA5 hexadecimal back to bytes; false on odd length or a non-hex digit.
bool DecodeHex(std::string_view hex, std::string &out)
{
    if (hex.size() % 2 != 0)
        return false;
    out.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigitValue(hex[i]);
        const int lo = HexDigitValue(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out += static_cast<char>(hi * 16 + lo);
    }
    return true;
}

std::vector<std::string_view> Split(std::string_view s)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = s.find('/', start);
        if (slash == std::string_view::npos) {
            parts.push_back(s.substr(start));
            return parts;
        }
        parts.push_back(s.substr(start, slash - start));
        start = slash + 1;
    }
}

unsigned ByteSum(std::string_view s)
{
    unsigned sum = 0;
    for (const char c : s)
        sum += static_cast<unsigned char>(c);
    return sum;
}

std::string Hex2(unsigned v)
{
    static constexpr char d[] = "0123456789ABCDEF";
    return {d[(v >> 4) & 0xF], d[v & 0xF]};
}

UcpDecoded Refuse(UcpDecoded d, std::string code, std::string reason)
{
    d.ok = false;
    d.errorCode = std::move(code);
    d.reason = std::move(reason);
    return d;
}

// A destination address: 1 to 16 digits.
bool ValidAddress(std::string_view adc)
{
    return !adc.empty() && adc.size() <= 16 && AllDigits(adc);
}

} // namespace

UcpDecoded DecodeUcpFrame(std::string_view inner)
{
    UcpDecoded d;
    const std::vector<std::string_view> f = Split(inner);
    if (!f.empty() && IsTwoDigits(f[0]))
        d.trn = std::string(f[0]);
    if (f.size() > 3 && IsTwoDigits(f[3]))
        d.ot = std::string(f[3]);
    if (f.size() < 5)
        return Refuse(d, "02", "too few fields");

    // The checksum is the last two characters, whatever the fields look like.
    const std::string_view checksum = inner.substr(inner.size() - 2);
    if (HexDigitValue(checksum[0]) < 0 || HexDigitValue(checksum[1]) < 0)
        return Refuse(d, "02", "no checksum");
    const std::string_view body = inner.substr(0, inner.size() - 2);
    const unsigned want =
        static_cast<unsigned>(HexDigitValue(checksum[0]) * 16 + HexDigitValue(checksum[1]));
    if ((ByteSum(body) & 0xFF) != want)
        return Refuse(d, "01", "checksum error");

    if (f.back().size() != 2)
        return Refuse(d, "02", "checksum not in its own field");
    if (!IsTwoDigits(f[0]))
        return Refuse(d, "02", "bad TRN");
    if (!LengthMatches(f[1], inner.size()))
        return Refuse(d, "02", "bad LEN");
    if (f[2] != "O")
        return Refuse(d, "02", "not an operation");
    if (!IsTwoDigits(f[3]))
        return Refuse(d, "02", "bad OT");

    // Data fields: everything between the OT and the checksum.
    const std::vector<std::string_view> data(f.begin() + 4, f.end() - 1);
    const auto count = [&](std::size_t n) { return data.size() == n; };
    std::string_view adc, hex;
    if (d.ot == "01") {
        if (!count(5))
            return Refuse(d, "02", "wrong field count for 01");
        adc = data[0];
        if (data[3] != "3")
            return Refuse(d, "02", "MT is not 3");
        hex = data[4];
    } else if (d.ot == "03") {
        // AdC OAdC AC NPL, NPL fields, nine fields, message.
        if (data.size() < 4 || data[3].empty() || data[3].size() > 2 || !AllDigits(data[3]))
            return Refuse(d, "02", "bad NPL");
        const std::size_t npl = std::stoul(std::string(data[3]));
        if (!count(4 + npl + 9 + 1))
            return Refuse(d, "02", "wrong field count for 03");
        adc = data[0];
        if (const std::size_t comma = adc.find(','); comma != std::string_view::npos) {
            d.legitimizationCode = std::string(adc.substr(comma + 1));
            adc = adc.substr(0, comma);
        }
        d.authenticationCode = std::string(data[2]);
        hex = data.back();
    } else if (d.ot == "30") {
        if (!count(10))
            return Refuse(d, "02", "wrong field count for 30");
        adc = data[0];
        hex = data[9];
    } else if (d.ot == "51") {
        if (!count(33))
            return Refuse(d, "02", "wrong field count for 51");
        adc = data[0];
        d.authenticationCode = std::string(data[2]);
        // MT is taken in its usual place, or one field later where the
        // gateway puts it (with NB then missing).
        const bool usual = data[18] == "3" && AllDigits(data[19]);
        const bool shifted = data[18].empty() && data[19] == "3";
        if (!usual && !shifted)
            return Refuse(d, "02", "MT is not 3");
        hex = data[20];
    } else {
        return Refuse(d, "03", "operation not supported");
    }

    d.recipient = std::string(adc);
    if (!DecodeHex(hex, d.text))
        return Refuse(d, "02", "message is not IA5 hexadecimal");
    if (!ValidAddress(adc))
        return Refuse(d, "06", "AdC invalid");
    d.ok = true;
    return d;
}

std::string BuildUcpAnswer(std::string_view trn, std::string_view ot, std::string_view errorCode,
                           std::string_view sm)
{
    std::string tail;
    if (errorCode.empty()) {
        tail = "A/";
        if (ot == "30" || ot == "51")
            tail += "/"; // MVP field before the SM
        tail.append(sm).append("/");
    } else {
        tail = "N/";
        tail.append(errorCode).append("//");
    }
    // TRN/LLLLL/R/OT/ is 15 characters when TRN and OT have two each.
    const std::size_t len = trn.size() + 1 + 5 + 1 + 2 + ot.size() + 1 + tail.size() + 2;
    std::string lenText = std::to_string(len);
    lenText.insert(0, lenText.size() < 5 ? 5 - lenText.size() : 0, '0');
    std::string body;
    body.append(trn).append("/").append(lenText).append("/R/").append(ot).append("/");
    body.append(tail);
    std::string frame(1, STX);
    frame.append(body).append(Hex2(ByteSum(body))).append(1, ETX);
    return frame;
}

UcpCentre::UcpCentre(UcpCentreOptions options, Recorder *recorder)
    : options_(std::move(options)), recorder_(recorder)
{
}

void UcpCentre::onHangup()
{
    inFrame_ = false;
    frame_.clear();
}

std::vector<Reply> UcpCentre::feed(std::string_view bytes)
{
    std::vector<Reply> replies;
    for (const char c : bytes) {
        if (c == STX) {
            // A new STX restarts the frame: the bytes before it were noise.
            inFrame_ = true;
            frame_.clear();
            continue;
        }
        if (!inFrame_)
            continue;
        if (c == ETX) {
            inFrame_ = false;
            std::vector<Reply> r = handleFrame(frame_);
            replies.insert(replies.end(), r.begin(), r.end());
            frame_.clear();
            continue;
        }
        frame_ += c;
        if (frame_.size() > options_.maxFrameBytes) {
            inFrame_ = false;
            frame_.clear();
        }
    }
    return replies;
}

std::vector<Reply> UcpCentre::handleFrame(std::string_view inner)
{
    UcpDecoded d = DecodeUcpFrame(inner);
    if (d.ok && options_.checkAuthentication) {
        if ((d.ot == "03" || d.ot == "51") && d.authenticationCode != options_.authenticationCode)
            d = Refuse(d, "07", "authentication failure");
        else if (d.ot == "03" && d.legitimizationCode != options_.legitimizationCode)
            d = Refuse(d, "08", "legitimisation code failure");
    }
    if (d.ok && options_.mode == UcpCentreOptions::Mode::Reject)
        d = Refuse(d, options_.rejectCode, "refused by scenario");

    SimEvent event;
    event.fields["protocol"] = "UCP";
    event.fields["ot"] = d.ot;
    event.fields["recipient"] = d.recipient;
    event.fields["text"] = d.text;
    const bool answers = options_.mode != UcpCentreOptions::Mode::Silent &&
                         options_.mode != UcpCentreOptions::Mode::Garbage &&
                         options_.mode != UcpCentreOptions::Mode::Half;
    if (!answers) {
        event.kind = "ignored";
    } else if (d.ok) {
        event.kind = "accepted";
    } else {
        event.kind = "refused";
        event.fields["code"] = d.errorCode;
        event.fields["reason"] = d.reason;
    }
    if (recorder_)
        recorder_->record(event);
    if (options_.mode == UcpCentreOptions::Mode::Silent)
        return {};
    if (options_.mode == UcpCentreOptions::Mode::Garbage)
        return {{options_.replyDelay, std::string("\x7f\xff#~+ NO FRAME\x10\x00\r\n", 18)}};

    const std::string sm =
        d.ok ? d.recipient + ":" + (options_.timestamp ? options_.timestamp() : std::string())
             : std::string();
    std::string answer = BuildUcpAnswer(d.trn, d.ot, d.ok ? "" : d.errorCode, sm);
    if (options_.mode == UcpCentreOptions::Mode::Half)
        answer.resize(answer.size() / 2);

    std::vector<Reply> replies;
    const std::size_t pieces = std::clamp<std::size_t>(
        static_cast<std::size_t>(std::max(options_.replyPieces, 1)), 1, answer.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < pieces; ++i) {
        const std::size_t end = answer.size() * (i + 1) / pieces;
        replies.push_back({options_.replyDelay + options_.pieceGap * static_cast<int>(i),
                           answer.substr(start, end - start)});
        start = end;
    }
    return replies;
}

} // namespace qm::sim
