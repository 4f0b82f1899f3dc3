#pragma once
// The one reader of the modem's answers: lines collected from received
// pieces, and the result codes a line holds. Pure; the port-event handler,
// dialling and the carrier rule of AnswerCarrier all read answers here, and
// the result codes are spelled nowhere else.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qm
{

// The answer line being assembled from received pieces.
struct ModemLine {
    bool SkipToLineFeed = false; // after a CR, until the next LF
    std::string LineText;
};

// Feeds one received piece. Each CR completes a line: it leaves `ml` trimmed
// of spaces before `onLine` sees it, so text that arrives while `onLine`
// runs (a modal box serves events) starts the next line. Characters between
// a CR and the next LF are dropped. With `maxLine`, a line stops growing there.
void CollectModemLines(ModemLine &ml, std::string_view received,
                       const std::function<void(std::string line)> &onLine,
                       std::size_t maxLine = std::string::npos);

// The result codes one answer line holds (case-sensitive substrings, so
// "CONNECT 9600" is a CONNECT). Which one wins is the reader's to say: the
// answer handler puts CONNECT first, the carrier rule NO CARRIER.
struct ModemAnswer {
    bool connect = false;
    bool noCarrier = false;
    bool error = false;
    bool busy = false;
};
ModemAnswer ClassifyModemLine(std::string_view line);

// Whether a dial's first answer reports an error ("ERR" anywhere in it).
bool DialAnswerIsError(std::string_view received);

} // namespace qm
