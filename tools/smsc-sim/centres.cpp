#include "centres.h"

#include "basiccentres.h"

#include <cctype>

#include <cerrno>
#include <cstdlib>

namespace qm::sim
{
namespace
{

bool toCount(const std::string &text, long long max, long long &out)
{
    char *end = nullptr;
    errno = 0;
    out = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end != text.c_str() && *end == '\0' && out >= 0 && out <= max;
}

bool isTwoDigits(const std::string &s)
{
    return s.size() == 2 && std::isdigit(static_cast<unsigned char>(s[0])) &&
           std::isdigit(static_cast<unsigned char>(s[1]));
}

} // namespace

std::unique_ptr<SmsCentre> MakeCentre(const CentreOptions &options, Recorder &recorder)
{
    if (options.kind == "echo")
        return std::make_unique<EchoCentre>();
    if (options.kind == "quiet")
        return std::make_unique<RecordingCentre>();
    if (options.kind == "ucp")
        return std::make_unique<UcpCentre>(options.ucp, &recorder);
    if (options.kind == "tap")
        return std::make_unique<TapCentre>(options.tap, &recorder);
    return nullptr;
}

std::vector<std::string> CentreKinds()
{
    return {"echo", "quiet", "ucp", "tap"};
}

const char *CentreOptionsUsage()
{
    return "  UCP centre: [--ucp-mode accept|reject|silent|garbage|half] [--ucp-reject-code NN]\n"
           "  TAP centre: [--tap-password PW] [--tap-ignored-prompts N]\n"
           "              [--tap-login check|refuse|disconnect] [--tap-go-ahead yes|no]\n"
           "              [--tap-blocks check|nak|refuse] [--tap-go-ahead-delay MS]\n"
           "  both:       [--reply-pieces N] [--reply-delay MS]\n";
}

bool ParseCentreOption(CentreOptions &o, const std::string &option, const std::string &value,
                       std::string &error)
{
    long long n = 0;
    error.clear();
    if (option == "--ucp-mode") {
        if (value == "accept")
            o.ucp.mode = UcpCentreOptions::Mode::Accept;
        else if (value == "reject")
            o.ucp.mode = UcpCentreOptions::Mode::Reject;
        else if (value == "silent")
            o.ucp.mode = UcpCentreOptions::Mode::Silent;
        else if (value == "garbage")
            o.ucp.mode = UcpCentreOptions::Mode::Garbage;
        else if (value == "half")
            o.ucp.mode = UcpCentreOptions::Mode::Half;
        else
            error = "unknown UCP mode '" + value + "'";
    } else if (option == "--ucp-reject-code") {
        if (isTwoDigits(value))
            o.ucp.rejectCode = value;
        else
            error = "a UCP error code has two digits";
    } else if (option == "--tap-password") {
        o.tap.password = value;
    } else if (option == "--tap-ignored-prompts") {
        if (toCount(value, 100, n))
            o.tap.ignoredPrompts = int(n);
        else
            error = "bad number of ignored prompts";
    } else if (option == "--tap-login") {
        if (value == "check")
            o.tap.login = TapCentreOptions::Login::Check;
        else if (value == "refuse")
            o.tap.login = TapCentreOptions::Login::Refuse;
        else if (value == "disconnect")
            o.tap.login = TapCentreOptions::Login::Disconnect;
        else
            error = "unknown TAP login answer '" + value + "'";
    } else if (option == "--tap-go-ahead") {
        if (value == "yes" || value == "no")
            o.tap.goAhead = value == "yes";
        else
            error = "--tap-go-ahead takes yes or no";
    } else if (option == "--tap-go-ahead-delay") {
        if (toCount(value, 3600000, n))
            o.tap.goAheadDelay = std::chrono::milliseconds(n);
        else
            error = "bad go-ahead delay";
    } else if (option == "--tap-blocks") {
        if (value == "check")
            o.tap.blocks = TapCentreOptions::Blocks::Check;
        else if (value == "nak")
            o.tap.blocks = TapCentreOptions::Blocks::Nak;
        else if (value == "refuse")
            o.tap.blocks = TapCentreOptions::Blocks::Refuse;
        else
            error = "unknown TAP block answer '" + value + "'";
    } else if (option == "--reply-pieces") {
        if (toCount(value, 1000, n) && n >= 1)
            o.ucp.replyPieces = o.tap.replyPieces = int(n);
        else
            error = "bad number of reply pieces";
    } else if (option == "--reply-delay") {
        if (toCount(value, 3600000, n))
            o.ucp.replyDelay = o.tap.replyDelay = std::chrono::milliseconds(n);
        else
            error = "bad reply delay";
    } else {
        error = "unknown option " + option;
        return false;
    }
    return error.empty();
}

} // namespace qm::sim
