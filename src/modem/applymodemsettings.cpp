#include "modem/applymodemsettings.h"

namespace qm {

void ApplyModemSettings(Gateway &) {}

} // namespace qm
