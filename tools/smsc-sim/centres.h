#pragma once
// The SMS Centres the simulator can put behind its modem, by name, and their
// scenario options from the command line. A new centre kind is one more
// entry in centres.cpp.

#include "centre.h"
#include "tapcentre.h"
#include "ucpcentre.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qm::sim
{

struct CentreOptions {
    explicit CentreOptions(std::string centreKind = "echo") : kind(std::move(centreKind)) {}
    std::string kind;
    UcpCentreOptions ucp;
    TapCentreOptions tap;
};

// Null for an unknown kind. `recorder` outlives the centre.
std::unique_ptr<SmsCentre> MakeCentre(const CentreOptions &options, Recorder &recorder);
std::vector<std::string> CentreKinds();

// Takes one "--option value" pair meant for a centre. Returns false when the
// option is not a centre option or its value is invalid (`error` says which).
bool ParseCentreOption(CentreOptions &options, const std::string &option, const std::string &value,
                       std::string &error);
// The centre options, for the usage text.
const char *CentreOptionsUsage();

} // namespace qm::sim
