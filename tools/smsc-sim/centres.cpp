#include "centres.h"

#include "basiccentres.h"

namespace qm::sim
{

std::unique_ptr<SmsCentre> MakeCentre(const CentreOptions &options, Recorder &)
{
    if (options.kind == "echo")
        return std::make_unique<EchoCentre>();
    if (options.kind == "quiet")
        return std::make_unique<RecordingCentre>();
    return nullptr;
}

std::vector<std::string> CentreKinds()
{
    return {"echo", "quiet"};
}

} // namespace qm::sim
