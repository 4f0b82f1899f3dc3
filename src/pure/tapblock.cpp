#include "pure/tapblock.h"

#include "pure/controlchars.h"

namespace qm
{

std::string TAPChecksum(std::string_view stxToEtx)
{
    unsigned sum = 0;
    for (const char c : stxToEtx)
        sum += static_cast<unsigned char>(c);
    sum &= 0x0FFF;
    return {static_cast<char>('0' + ((sum >> 8) & 0x0F)),
            static_cast<char>('0' + ((sum >> 4) & 0x0F)), static_cast<char>('0' + (sum & 0x0F))};
}

std::string BuildTAPBlock(std::string_view recipient, std::string_view messageText)
{
    std::string block(1, Ctl::STX);
    block.append(recipient).append(1, Ctl::CR).append(messageText).append(1, Ctl::CR);
    block.append(1, Ctl::ETX);
    block.append(TAPChecksum(block)).append(1, Ctl::CR);
    return block;
}

} // namespace qm
