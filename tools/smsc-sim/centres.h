#pragma once
// The SMS Centres the simulator can put behind its modem, by name. A new
// centre kind is one more entry in centres.cpp.

#include "centre.h"

#include <memory>
#include <string>
#include <vector>

namespace qm::sim
{

struct CentreOptions {
    std::string kind = "echo";
};

// Null for an unknown kind. `recorder` outlives the centre.
std::unique_ptr<SmsCentre> MakeCentre(const CentreOptions &options, Recorder &recorder);
std::vector<std::string> CentreKinds();

} // namespace qm::sim
