#pragma once
// The carrier of a device without modem lines, taken from the result codes
// passing through: a line holding "CONNECT" raises it, one holding
// "NO CARRIER" drops it (that one wins when a line holds both).

#include "pure/modemanswers.h"

#include <string_view>

namespace qm
{

class AnswerCarrier
{
public:
    // Reads one received piece; gives how many times the carrier changed.
    int feed(std::string_view bytes);
    bool up() const { return up_; }
    // Starts afresh, carrier down; gives whether it was up.
    bool reset();

private:
    ModemLine line_;
    bool up_ = false;
};

} // namespace qm
