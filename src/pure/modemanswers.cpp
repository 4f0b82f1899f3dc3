#include "pure/modemanswers.h"

#include "pure/controlchars.h"
#include "pure/text.h"

namespace qm
{
namespace
{
bool contains(std::string_view text, std::string_view what)
{
    return text.find(what) != std::string_view::npos;
}
} // namespace

void CollectModemLines(ModemLine &ml, std::string_view received,
                       const std::function<void(std::string line)> &onLine, std::size_t maxLine)
{
    for (const char c : received) {
        if (c == Ctl::CR) {
            ml.SkipToLineFeed = true;
            std::string line(TrimSpaces(ml.LineText));
            ml.LineText.clear();
            onLine(std::move(line));
        } else if (c == Ctl::LF) {
            ml.SkipToLineFeed = false;
        } else if (!ml.SkipToLineFeed && ml.LineText.size() < maxLine) {
            ml.LineText += c;
        }
    }
}

ModemAnswer ClassifyModemLine(std::string_view line)
{
    return {contains(line, "CONNECT"), contains(line, "NO CARRIER"), contains(line, "ERROR"),
            contains(line, "BUSY")};
}

bool DialAnswerIsError(std::string_view received)
{
    return contains(received, "ERR");
}

} // namespace qm
