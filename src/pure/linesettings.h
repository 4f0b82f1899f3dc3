#pragma once
// Line settings text such as "9600,N,8,1": speed, parity letter, data bits,
// stop bits. Shared by every serial-port implementation so that all refuse
// the same texts.

#include "pure/failure.h"
#include <array>

#include <string_view>

namespace qm
{

enum class Parity { None, Even, Odd, Mark, Space };

struct LineSettings {
    int speed = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    int stopBits = 1; // 1 or 2; 15 stands for one and a half
};

// The speeds a port accepts (bit/s), in the order the console lists them.
inline constexpr std::array<int, 16> LineSpeeds{110,   300,    600,    1200,  2400,  4800,
                                                9600,  14400,  19200,  28800, 38400, 56000,
                                                57600, 115200, 128000, 256000};
bool IsSupportedSpeed(int speed);

// Parses `text` into `out`; refuses incomplete or invalid texts (",N,8,1",
// "12345,N,8,1", "9600,X,8,1") with EINVAL and a description.
MaybeFailure ParseLineSettings(std::string_view text, LineSettings &out);

} // namespace qm
