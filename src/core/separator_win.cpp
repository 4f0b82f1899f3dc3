#include "core/gateway.h"

namespace qm
{
const char PathSeparator = '\\';
} // namespace qm
