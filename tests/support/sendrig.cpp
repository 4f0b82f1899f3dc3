#include "sendrig.h"

#include "modem/portevents.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace qm::test
{

std::vector<std::pair<std::string, std::string>> EventList::messages(const std::string &kind) const
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const sim::SimEvent &e : events)
        if (e.kind == kind && e.fields.count("recipient"))
            out.emplace_back(e.fields.at("recipient"), e.fields.at("text"));
    return out;
}

int EventList::count(const std::string &kind) const
{
    return int(std::ranges::count(events, kind, &sim::SimEvent::kind));
}

SendRig::SendRig(RigOptions o)
    : centre(o.protocol == "UCP"
                 ? std::unique_ptr<sim::SmsCentre>(std::make_unique<sim::UcpCentre>(o.ucp, &record))
                 : std::make_unique<sim::TapCentre>(o.tap, &record)),
      modem(o.modem, centre.get(), &record),
      port(t.world, modem), gw{t.gw.state, port,     t.world,  t.world,
                               t.notifier, t.status, t.fields, t.timers}
{
    ConnectConsoleTimers(gw);
    port.setEventHandler([this](PortEvent e) { OnPortEvent(gw, e); });
    t.fields.SMSCenterNumber = "0612345678";
    t.fields.Protocol = o.protocol;
    t.fields.OperationType = o.operationType;
    t.fields.AuthenticationCode = o.tap.password;
}

void SendRig::addMessage(const std::string &name, const std::string &content)
{
    std::filesystem::create_directories(t.dir / "outbox");
    std::ofstream(t.dir / "outbox" / name, std::ios::binary) << content;
}

std::vector<std::string> SendRig::outbox() const
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &e : std::filesystem::directory_iterator(t.dir / "outbox", ec))
        names.push_back(e.path().filename().string());
    std::ranges::sort(names);
    return names;
}

std::vector<std::string> LogTexts(const std::string &file)
{
    static const std::string Tail = "/False\r\n";
    constexpr std::size_t StampLength = 21; // "dd/mm/yyyy hh:mm:ss: "
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t pos = file.find(Tail); pos != std::string::npos;
         pos = file.find(Tail, pos + 1)) {
        const std::size_t next = pos + Tail.size();
        if (next < file.size() && !std::isdigit(static_cast<unsigned char>(file[next])))
            continue;
        out.push_back(file.substr(start + StampLength, pos - start - StampLength));
        start = next;
    }
    return out;
}

int SendRig::logged(const std::string &text) const
{
    return int(
        std::ranges::count_if(master(), [&](const std::string &e) { return e.starts_with(text); }));
}

} // namespace qm::test
